// The panelhost command: run, inspect, help.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace panelhost {

// args without the program name. Returns the exit code: 0 all held, 1 a
// step or expectation failed, 2 the command, module or scenario is unusable.
int panelhost_command(const std::vector<std::string>& args, std::FILE* out, std::FILE* err);

}  // namespace panelhost
