// The words of one scenario line, read and written: what every verb's parser
// and formatter is made of, so that a verb's row says only which words it
// takes, in what order.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "host/scenario/steps.h"

namespace panelhost {

struct Token {
    std::string text;
    bool quoted = false;
};

// Splits a line into words and quoted texts, up to a # outside quotes. The
// error, empty when there is none, says what is wrong (what is allowed).
std::string tokenize(std::string_view line, std::vector<Token>& tokens);

// Reads a line's tokens in order. Each reader returns false on a mistake;
// the first mistake is the line's error, told with what is allowed there
// (by default the verb's usage).
class Words {
public:
    explicit Words(const std::vector<Token>& tokens) : tokens_(tokens) {}

    bool more() const { return next_ < tokens_.size(); }
    size_t left() const { return tokens_.size() - next_; }
    bool next_quoted() const { return more() && tokens_[next_].quoted; }
    const std::string& error() const { return error_; }
    void set_usage(std::string_view usage) { usage_ = usage; }

    // A mistake and what would have been right.
    bool fail(const std::string& message, const std::string& allowed);
    bool fail(const std::string& message) { return fail(message, usage_); }

    bool word(std::string& out, const char* what);
    bool quoted(std::string& out, const char* what);
    bool integer(int64_t& out, const char* what, int64_t low, int64_t high);
    bool int32(int32_t& out, const char* what);
    bool uint32(uint32_t& out, const char* what);
    // Takes the word when it is this one.
    bool keyword(const char* expected);
    bool gauge(std::string& out, bool all_allowed);
    bool var(int32_t& out);
    bool value(double& out, bool* exact_bits = nullptr);
    // A value, then "within <tolerance>" or not.
    bool expected_value(ExpectedValue& out);
    bool index(size_t& out);
    bool point(orvane::PixPoint& out);
    // One of two words, true for the first.
    bool either(const char* yes, const char* no, bool& out);
    bool axis(bool rotation_allowed, steps::Axis& out);
    // "<name> <value>", the name required.
    bool named_value(const char* name, double& out);
    // Nothing left on the line.
    bool done();

private:
    const std::vector<Token>& tokens_;
    size_t next_ = 0;
    std::string error_;
    std::string usage_ = "a step";
};

// Writes a line word by word, as Words reads it back.
class LineWriter {
public:
    explicit LineWriter(std::string_view verb) : text_(verb) {}

    LineWriter& word(std::string_view word);
    LineWriter& integer(int64_t value);
    LineWriter& number(double value);
    LineWriter& quoted(std::string_view text);
    LineWriter& index(size_t index) { return integer(static_cast<int64_t>(index)); }
    // A variable or key event by its name where the module names it.
    LineWriter& var(int32_t var);
    LineWriter& event(uint32_t event);
    LineWriter& expected(const ExpectedValue& value);
    LineWriter& point(orvane::PixPoint point);

    const std::string& text() const { return text_; }

private:
    std::string text_;
};

}  // namespace panelhost
