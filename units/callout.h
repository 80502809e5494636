// The decision-height callout: a recorded sound played once on each descent
// through the decision height. It runs inside the decision-height unit's
// service callback.
#pragma once

#include "module/host_abi.h"

namespace orvane {

// Install: finds the host's main window, opens the sound device and loads the
// callout from the module's resources. `instance` is the module's own
// instance handle, the extra value of the install call.
void callout_install(ServiceExtra instance);

// Every update, after the unit's lights: arms the callout above the decision
// height and plays it when the aircraft descends below.
void callout_update();

// Kill: releases the sound buffer, then the device.
void callout_kill();

}  // namespace orvane
