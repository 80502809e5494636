// Reading a scenario file: its lines, each into a step by its verb's row
// (verbs.cpp), its moments, what each line needs of the lines before it,
// and what the file asks of its bounds.
#include <optional>
#include <utility>

#include "host/base/files.h"
#include "host/base/text_lines.h"
#include "host/scenario/line_words.h"
#include "host/scenario/messages.h"
#include "host/scenario/scenario.h"
#include "host/scenario/verbs.h"

namespace panelhost {
namespace {

// The caption of a "# moment: <caption>" line, or nothing.
std::optional<std::string> moment_caption(std::string_view line) {
    constexpr std::string_view marker = "# moment:";
    auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!line.empty() && blank(line.front())) line.remove_prefix(1);
    if (!line.starts_with(marker)) return std::nullopt;
    line.remove_prefix(marker.size());
    while (!line.empty() && blank(line.front())) line.remove_prefix(1);
    while (!line.empty() && blank(line.back())) line.remove_suffix(1);
    return std::string(line);
}

// What the file asks for by this step, told at the line that passes a bound.
void charge(Scenario& scenario, const ScenarioStep& step, std::vector<Diagnostic>& errors) {
    const StepCost cost = step_cost(step.step);
    if (scenario.updates <= max_updates_per_file && scenario.updates + cost.updates > max_updates_per_file) {
        errors.push_back(scenario_message(Severity::unusable, scenario.file, step.line,
                                          "the file asks for more than " + std::to_string(max_updates_per_file) +
                                              " update cycles by this line (at most " +
                                              std::to_string(max_updates_per_file) + " a file)"));
    }
    if (scenario.presses <= max_presses_per_file && scenario.presses + cost.presses > max_presses_per_file) {
        errors.push_back(scenario_message(Severity::unusable, scenario.file, step.line,
                                          "the file asks for more than " + std::to_string(max_presses_per_file) +
                                              " clicks and repeats by this line (at most " +
                                              std::to_string(max_presses_per_file) + " a file)"));
    }
    if (scenario.edits <= max_edits_per_file && scenario.edits + cost.edits > max_edits_per_file) {
        errors.push_back(scenario_message(Severity::unusable, scenario.file, step.line,
                                          "the file makes more than " + std::to_string(max_edits_per_file) +
                                              " edits of the panel.cfg by this line (at most " +
                                              std::to_string(max_edits_per_file) + " a file)"));
    }
    scenario.updates += cost.updates;
    scenario.presses += cost.presses;
    scenario.edits += cost.edits;
}

}  // namespace

std::string parse_step(std::string_view line, Step& step) {
    std::vector<Token> tokens;
    if (std::string problem = tokenize(line, tokens); !problem.empty()) return problem;
    if (tokens.empty()) return "no step on the line (a step, then its words)";
    return parse_tokens(tokens, step);
}

std::vector<Diagnostic> parse_scenario(std::string_view text, Scenario& scenario) {
    std::vector<Diagnostic> errors;
    scenario.steps.clear();
    scenario.moments.clear();
    scenario.updates = 0;
    scenario.presses = 0;
    scenario.edits = 0;
    FileRules rules;
    auto error = [&](int line, const std::string& problem) {
        errors.push_back(scenario_message(Severity::unusable, scenario.file, line, problem));
    };
    for (const TextLine& line : text_lines(text)) {
        if (const std::string problem = control_byte_problem(line.text); !problem.empty()) {
            error(line.number, problem + " (a scenario is text: no control bytes but tabs)");
            continue;
        }
        if (std::optional<std::string> caption = moment_caption(line.text)) {
            scenario.moments.push_back({line.number, std::move(*caption)});
            continue;
        }
        std::vector<Token> tokens;
        std::string problem = tokenize(line.text, tokens);
        if (problem.empty() && tokens.empty()) continue;
        ScenarioStep step{line.number, {}};
        rules.line = line.number;
        if (problem.empty()) problem = parse_tokens(tokens, step.step);
        if (problem.empty()) problem = check_rules(rules, step.step);
        if (!problem.empty()) {
            error(line.number, problem);
            continue;
        }
        charge(scenario, step, errors);
        scenario.steps.push_back(std::move(step));
    }
    return errors;
}

std::vector<Diagnostic> read_scenario(const std::string& path, Scenario& scenario) {
    scenario.file = path;
    std::string error;
    const std::optional<std::string> text = read_file(path, &error, max_scenario_bytes);
    if (!text) return {diagnostic_as_written(Severity::unusable, error)};
    return parse_scenario(*text, scenario);
}

std::vector<Diagnostic> check_gauge_names(const Scenario& scenario, const Panel& panel) {
    std::vector<Diagnostic> errors;
    for (const ScenarioStep& step : scenario.steps) {
        const std::string* gauge = step_gauge(step.step);
        if (gauge == nullptr || *gauge == "all" || panel.gauge(*gauge) != nullptr) continue;
        std::string problem = "the module has no gauge named " + *gauge;
        if (const std::optional<PlacementName> placement = placement_name(*gauge)) {
            if (const int placed = panel.placements(placement->gauge); placed > 0) {
                problem += " (the panel places " + placement->gauge + " " +
                           (placed == 1 ? "once" : std::to_string(placed) + " times, " + placement->gauge + " to " +
                                                       placement->gauge + ":" + std::to_string(placed)) +
                           ")";
            }
        }
        errors.push_back(scenario_message(Severity::unusable, scenario.file, step.line, problem));
    }
    return errors;
}

}  // namespace panelhost
