// For the platform implementations: records why the current call failed.
#pragma once

#include "platform/platform.h"

// Records error as the reason of the current failure and returns false, so that a failing call
// can end with "return FailWith(PlatformError::NotFound);".
bool FailWith(PlatformError error);
