// The native build's stand-ins for the Windows services the module uses.
#pragma once

#include "platform/win_types.h"
#include "platform/win_resources.h"
#include "platform/win_kernel.h"
#include "platform/win_multimedia.h"
#include "platform/win_dsound.h"
