#include "module/cockpit.h"

namespace orvane {

CockpitState cockpit = cockpit_state_at_load;

}  // namespace orvane
