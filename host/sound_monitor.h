// How the host learns that the module played its decision-height callout.
// The host starts the monitor once it has loaded the module and takes the
// count after every update.
#pragma once

namespace panelhost {

// Starts counting callout plays from now.
void start_sound_monitor();

// The callout plays since the monitor started or since the last call.
int take_callout_plays();

}  // namespace panelhost
