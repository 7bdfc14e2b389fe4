// Failure points of the stand-in layer, for the tests that try every failure a run can meet.
// Production builds link fault_points_none.cpp, where no call ever fails on purpose.
#pragma once

#include "platform/platform.h"

enum class FaultOperation {
    Open,           // opening an existing file for reading or writing
    Create,         // creating or truncating a file
    Write,          // writing bytes to a file
    Flush,          // forcing a file onto the disk
    Rename,         // renaming a file (also the last step of an atomic replace)
    Copy,           // copying a file
    Delete,         // deleting a file
    RegistryOpen,   // opening a registry key
    RegistrySet,    // setting a registry value
    RegistryDelete, // deleting a registry value
};

// Asked at the start of each such call. True when the call must fail now, with error set to the
// reason to report. May also end the process on the spot, to stand for a kill at that point.
bool FaultInjected(FaultOperation operation, PlatformError& error);
