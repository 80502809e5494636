#include "host/base/diagnostics.h"

#include <algorithm>

#include "host/base/command_line.h"

namespace panelhost {

int exit_status_of(Severity severity) {
    switch (severity) {
    case Severity::note: return exit_ok;
    case Severity::problem:
    case Severity::fault: return exit_failed;
    case Severity::unusable: break;
    }
    return exit_unusable;
}

Diagnostic diagnostic_at(Severity severity, std::string file, int line, std::string message) {
    std::string text = file;
    if (line > 0) {
        text += ':';
        text += std::to_string(line);
    }
    if (line == end_of_run) text += ":end";
    text += ": ";
    text += message;
    return {.severity = severity,
            .file = std::move(file),
            .line = line,
            .message = std::move(message),
            .text = std::move(text)};
}

Diagnostics::Diagnostics(std::string program, std::FILE* err) : program_(std::move(program)), err_(err) {}

void Diagnostics::report(Severity severity, const std::string& file, int line, const std::string& message) {
    add(diagnostic_at(severity, file, line, message));
}

void Diagnostics::report(Severity severity, const std::string& message) {
    add({.severity = severity, .file = {}, .line = 0, .message = message, .text = program_ + ": " + message});
}

void Diagnostics::report(Diagnostic diagnostic) { add(std::move(diagnostic)); }

void Diagnostics::report(const std::vector<Diagnostic>& diagnostics) {
    for (const Diagnostic& d : diagnostics) add(d);
}

Diagnostic diagnostic_as_written(Severity severity, std::string text) {
    return {.severity = severity, .file = {}, .line = 0, .message = text, .text = text};
}

void Diagnostics::report_as_written(Severity severity, const std::vector<std::string>& messages) {
    for (const std::string& m : messages) add(diagnostic_as_written(severity, m));
}

void Diagnostics::report_own(Severity severity, const std::vector<std::string>& messages) {
    for (const std::string& m : messages) report(severity, m);
}

void Diagnostics::add(Diagnostic diagnostic) {
    if (err_ != nullptr) print(err_, diagnostic.text + "\n");
    all_.push_back(std::move(diagnostic));
}

size_t Diagnostics::count(Severity severity) const {
    return static_cast<size_t>(
        std::count_if(all_.begin(), all_.end(), [&](const Diagnostic& d) { return d.severity == severity; }));
}

bool Diagnostics::any(Severity at_least) const {
    return std::any_of(all_.begin(), all_.end(), [&](const Diagnostic& d) { return d.severity >= at_least; });
}

int Diagnostics::exit_status() const {
    int status = exit_ok;
    for (const Diagnostic& d : all_) status = std::max(status, exit_status_of(d.severity));
    return status;
}

}  // namespace panelhost
