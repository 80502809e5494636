#include "units/callout.h"

namespace orvane {

void callout_install(ServiceExtra) {}
void callout_update() {}
void callout_kill() {}

}  // namespace orvane
