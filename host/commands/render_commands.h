// The native panelhost's drawing commands: render, demo and reference.
#pragma once

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace panelhost {

// args without the program name. Nothing when args name no drawing command;
// else the exit code: 0 done, 1 a step or expectation failed, 2 unusable input.
std::optional<int> render_command(const std::vector<std::string>& args, std::FILE* out, std::FILE* err);

}  // namespace panelhost
