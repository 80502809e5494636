// What the scenario room asks of its table of verbs (verbs.cpp), beyond what
// scenario.h offers everyone.
#pragma once

#include <string>
#include <vector>

#include "host/scenario/line_words.h"
#include "host/scenario/steps.h"

namespace panelhost {

// What a file's lines have done before the line being read.
struct FileRules {
    int line = 0;  // the line being read
    bool placed = false;
    bool clicked = false;
    int first_fly = 0;  // its line, 0 before
};

// The step a line's tokens make; the error, empty when there is none, says
// what is wrong (what is allowed).
std::string parse_tokens(const std::vector<Token>& tokens, Step& step);

// What the step needs of the lines before it, noted when it has it: empty,
// or why it cannot stand here.
std::string check_rules(FileRules& file, const Step& step);

// The gauge the step names, "all" included; null for a step that names none.
const std::string* step_gauge(const Step& step);

}  // namespace panelhost
