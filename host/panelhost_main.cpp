#include <cstdio>
#include <string>
#include <vector>

#include "host/commands.h"

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    return panelhost::panelhost_command(args, stdout, stderr);
}
