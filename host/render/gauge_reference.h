// The per-gauge reference of a module, in Markdown: size, clickable areas
// with their tooltips and cursors, the host variables each gauge reads and
// the key events its clicks send. Read from the module's records and found
// by flying each gauge alone (install, update, every click after every
// other, with the aircraft model on), so that it cannot drift from the module.
#pragma once

#include <string>

#include "host/render/render_setup.h"

namespace panelhost {

std::string gauge_reference(RenderSetup& setup);

}  // namespace panelhost
