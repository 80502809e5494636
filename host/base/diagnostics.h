// What a command has to say on stderr, as the rooms report it: each message
// a line (or a few), printed the moment it is reported, and the command's
// exit status following from the worst of them. A message about a place in
// a file reads "FILE:LINE: what is wrong (what is allowed)"; the command's
// own reads "panelhost CMD: ...".
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>
#include <vector>

namespace panelhost {

// From the least to the worst.
enum class Severity {
    note,      // told, and nothing follows from it: a face drawn with another, no audio device
    problem,   // something checked did not hold, the rest still done: an expectation, a panel.cfg line
    fault,     // the module broke a rule: a trap, a damaged text buffer, a fault of its records
    unusable,  // an input the command cannot use, or a file it cannot write
};

// 0 for a note, 1 for a problem or a fault, 2 for an unusable input
// (host/base/command_line.h).
int exit_status_of(Severity severity);

struct Diagnostic {
    Severity severity = Severity::note;
    std::string file;     // the file it is about; empty when it is the command's own, or says its place itself
    int line = 0;         // 0: the file as a whole; end_of_run: the end of a run of it
    std::string message;  // what is wrong, without where
    std::string text;     // as printed, without the line end
};

// The line of a message about the end of a run of a file (a scenario's), as
// when every gauge is killed: "FILE:end: message".
inline constexpr int end_of_run = -1;

// A message about a place in a file, as the rooms make it: "FILE:LINE:
// message", line 0 "FILE: message", end_of_run "FILE:end: message".
Diagnostic diagnostic_at(Severity severity, std::string file, int line, std::string message);
// A message that says its place itself ("cannot read FILE: ..."), printed
// as it is.
Diagnostic diagnostic_as_written(Severity severity, std::string text);

class Diagnostics {
public:
    // program names the command's own messages ("panelhost demo"); err,
    // when given, is where each is printed as it comes.
    explicit Diagnostics(std::string program, std::FILE* err = nullptr);

    // About a place in a file: "FILE:LINE: message", line 0 "FILE: message".
    void report(Severity severity, const std::string& file, int line, const std::string& message);
    // The command's own: "PROGRAM: message".
    void report(Severity severity, const std::string& message);
    // Messages a room made (diagnostic_at) before there was a command to
    // tell them, each as it was made.
    void report(Diagnostic diagnostic);
    void report(const std::vector<Diagnostic>& diagnostics);
    // Messages that say their place themselves (a panel's faults), each as
    // it is.
    void report_as_written(Severity severity, const std::vector<std::string>& messages);
    // Each the command's own.
    void report_own(Severity severity, const std::vector<std::string>& messages);

    const std::vector<Diagnostic>& all() const { return all_; }
    // Of this severity.
    size_t count(Severity severity) const;
    // Anything of this severity or worse.
    bool any(Severity at_least) const;
    bool unusable() const { return any(Severity::unusable); }
    // 0 when nothing worse than a note was reported.
    int exit_status() const;

private:
    void add(Diagnostic diagnostic);

    std::string program_;
    std::FILE* err_;
    std::vector<Diagnostic> all_;
};

}  // namespace panelhost
