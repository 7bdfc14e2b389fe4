// How the Windows layer turns the error codes of the Windows calls into a PlatformError.
#pragma once

#include "platform/platform.h"

#include <windows.h>

PlatformError PlatformErrorOfCode(DWORD code);

// Records the reason of the failing call from its Windows error code and returns false.
bool FailWithCode(DWORD code);
// The same with the thread's last error (for the calls that report through GetLastError).
bool FailWithLastError();
