#include <cstdio>
#include <string>
#include <vector>

#include "host/commands/commands.h"
#if defined(ORVANE_RENDERING)
#include "host/commands/render_commands.h"
#endif

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
#if defined(ORVANE_RENDERING)
    if (const auto code = panelhost::render_command(args, stdout, stderr)) return *code;
#endif
    return panelhost::panelhost_command(args, stdout, stderr);
}
