// The Windows services the callout needs. The win32 build uses the real ones;
// the native build gets the same names and signatures from platform/, where
// each call can be made to fail on demand.
#pragma once

#if defined(_WIN32)
#include <windows.h>
#include <mmsystem.h>
#include <dsound.h>
#else
#include "platform/win_api.h"
#endif
