#include <cstdio>
#include <string>
#include <vector>

#include "host/commands/commands.h"

int main(int argc, char** argv) {
    return panelhost::panelhost_main(std::vector<std::string>(argv + 1, argv + argc), stdout, stderr);
}
