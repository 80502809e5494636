#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "host/services/host_services.h"
#include "host/services/module_loader.h"
#include "host/panel/panel.h"
#include "module/host_vars.h"
#include "module/text_writer.h"
#include "tests/support/format_bounded.h"
#include "tests/support/guarded_text.h"

namespace orvane {
namespace {

using testing::format_bounded;

std::string format(size_t count, const char* fmt, double value) {
    char buffer[512];
    format_bounded(buffer, count, fmt, value);
    return buffer;
}

TEST(TextWriterTests, FormatsNumbersAsPrintfDoes) {
    const struct {
        const char* format;
        double value;
        const char* expected;
    } cases[] = {
        {"%3.0f", 250.0, "250"},
        {"%3.0f", 90.0, " 90"},
        {"%3.0f", 5.0, "  5"},
        {"%2.0f", 9.5, "10"},   // ties go to even, as the exact binary value decides
        {"%1.0f", 0.5, "0"},
        {"%1.0f", 1.5, "2"},
        {"%1.0f", 2.5, "2"},
        {"%5.0f", -700.0, " -700"},
        {"%5.0f", -12000.0, "-12000"},
        {"%1.0f", -0.4, "-0"},
        {"%f", 78.0, "78.000000"},
        {"%f", 0.785 * 100, "78.500000"},
        {"%1.1f", 3.0, "3.0"},
        {"%1.1f", -0.1, "-0.1"},
        {"%1.2f", 0.004, "0.00"},
        {"%2.1f", 45.26, "45.3"},
        {"%4.0f", 32.808398950131235, "  33"},
        {"%+.1f", 0.0, "+0.0"},
        {"%05.0f", -5.0, "-0005"},
        {"%-5.0f|", 42.0, "42   |"},
        {"%#.0f", 3.0, "3."},
        {"%f", std::numeric_limits<double>::quiet_NaN(), "nan"},
        {"%f", -std::numeric_limits<double>::quiet_NaN(), "-nan"},
        {"%5.0f", std::numeric_limits<double>::infinity(), "  inf"},
        {"%3.0f", -std::numeric_limits<double>::infinity(), "-inf"},
        {"%.0f", 1e21, "1000000000000000000000"},
        // Near the shapes the module uses, read by the general rules.
        {"%5.f", 2.5, "    2"},
        {"%9.9f", 1.0 / 3, "0.333333333"},
        {"%0.0f", 7.0, "7"},
        {"%1.10f", 0.5, "0.5000000000"},
        {"%1.1", 3.0, "%1.1"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(format(400, c.format, c.value), c.expected) << c.format << " of " << c.value;
    }
}

TEST(TextWriterTests, StringsIntegersAndPercent) {
    char buffer[64];
    format_bounded(buffer, 63, "%s%2.0f", "0", 7.0);
    EXPECT_STREQ(buffer, "0 7");
    format_bounded(buffer, 63, "%s|%4s|%-4s|%.2s", "DH ", "ab", "cd", "xyz");
    EXPECT_STREQ(buffer, "DH |  ab|cd  |xy");
    format_bounded(buffer, 63, "%d %i %u %05d %+d %.3d %%", -42, 7, 4000000000u, -42, 5, 7);
    EXPECT_STREQ(buffer, "-42 7 4000000000 -0042 +5 007 %");
    format_bounded(buffer, 63, "%*.*f", 6, 2, 3.14159);
    EXPECT_STREQ(buffer, "  3.14");
    format_bounded(buffer, 63, "unknown %q stays", 1);
    EXPECT_STREQ(buffer, "unknown %q stays");
    format_bounded(buffer, 63, "trailing %");
    EXPECT_STREQ(buffer, "trailing %");
}

TEST(TextWriterTests, CutsToTheCharacterCountAndReportsTheWholeLength) {
    char buffer[16];
    std::memset(buffer, 'x', sizeof buffer);
    EXPECT_EQ(format_bounded(buffer, 3, "%s%1.0f", "00", 9.5), 4u);
    EXPECT_STREQ(buffer, "001");
    EXPECT_EQ(buffer[4], 'x');

    EXPECT_EQ(format_bounded(buffer, 0, "%f", 1.0), 8u);
    EXPECT_STREQ(buffer, "");
    EXPECT_EQ(format_bounded(nullptr, 5, "%f", 1.0), 8u);
}

TEST(TextWriterTests, WriteTextStaysWithinTheElementBufferForAnyValue) {
    const double values[] = {0.0,
                             -0.0,
                             1e308,
                             -1e308,
                             std::numeric_limits<double>::max(),
                             std::numeric_limits<double>::lowest(),
                             std::numeric_limits<double>::denorm_min(),
                             std::numeric_limits<double>::quiet_NaN(),
                             std::numeric_limits<double>::infinity(),
                             -std::numeric_limits<double>::infinity(),
                             4294967296.0,
                             -2147483648.0};
    for (size_t count : {0u, 1u, 3u, 4u, 5u}) {
        for (double v : values) {
            testing::GuardedText text(count);
            ElementString element{};
            text.attach(element);
            write_text(&element, "%s%f", ".", v);
            EXPECT_TRUE(text.intact()) << "count " << count << " value " << v;
            EXPECT_LE(text.str().size(), count);
        }
    }
}

TEST(TextWriterTests, WriteTextWithoutAHostBufferDoesNothing) {
    ElementString element{};
    element.max_string_length = 5;
    write_text(&element, "%5.0f", 1.0);
    write_text(nullptr, "%5.0f", 1.0);
    EXPECT_EQ(element.string, nullptr);
}

// Correct rounding where the module's quick way of formatting stops and the
// general one takes over: ties, near ties, the largest quick values, and a
// rounding that carries into the whole part.
TEST(TextWriterTests, RoundsToNearestWithTiesToEvenAtEveryPrecision) {
    const struct {
        const char* format;
        double value;
        const char* expected;
    } cases[] = {
        {"%1.0f", 0.5, "0"},
        {"%1.0f", 3.5, "4"},
        {"%1.0f", 0.49999999999999994, "0"},
        {"%1.0f", 4294967293.5, "4294967294"},  // the largest quick tie
        {"%1.0f", 4294967294.5, "4294967294"},  // past the quick range
        {"%1.0f", 4294967295.5, "4294967296"},
        {"%1.1f", 0.25, "0.2"},  // exact binary ties
        {"%1.1f", 0.75, "0.8"},
        {"%1.2f", 0.125, "0.12"},
        {"%1.2f", 0.375, "0.38"},
        {"%1.2f", 1.005, "1.00"},  // 1.00499999999999989...
        {"%1.2f", 0.015, "0.01"},  // 0.01499999999999999944...
        {"%2.1f", 0.45, "0.5"},    // 0.450000000000000011...
        {"%2.1f", 99.95, "100.0"},
        {"%f", 77.9999996, "78.000000"},
        {"%f", 0.0000005, "0.000000"},  // 4.99999999999999977e-07
        {"%f", 0.0000015, "0.000002"},  // 1.50000000000000004e-06
        {"%f", 4294.967295, "4294.967295"},
        {"%f", 4294.9672955, "4294.967295"},  // 4294.96729549999963...
        {"%f", 4294.9672956, "4294.967296"},
        {"%1.2f", -0.004, "-0.00"},
        {"%1.1f", -0.0, "-0.0"},
        {"%3.0f", std::numeric_limits<double>::denorm_min(), "  0"},
        {"%5.0f", -std::numeric_limits<double>::denorm_min(), "   -0"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(format(400, c.format, c.value), c.expected) << c.format << " of " << std::hexfloat << c.value;
    }
}

TEST(TextWriterTests, ArgumentsOfAnotherKindOrMissingAreCopiedAsWritten) {
    const struct {
        const char* what;
        std::string text;
        const char* expected;
    } cases[] = {
        {"a number for %d", [] { char b[64]; format_bounded(b, 63, "[%d]", 2.5); return std::string(b); }(), "[%d]"},
        {"a text for %f", [] { char b[64]; format_bounded(b, 63, "[%5.1f]", "x"); return std::string(b); }(), "[%5.1f]"},
        {"an integer for %s", [] { char b[64]; format_bounded(b, 63, "[%s]", 7); return std::string(b); }(), "[%s]"},
        {"no argument", [] { char b[64]; format_bounded(b, 63, "[%3.0f|%s]"); return std::string(b); }(), "[%3.0f|%s]"},
        {"a number for *", [] { char b[64]; format_bounded(b, 63, "[%*d]", 2.0, 5); return std::string(b); }(), "[%*d]"},
        {"one short", [] { char b[64]; format_bounded(b, 63, "%s%2.0f", "0"); return std::string(b); }(), "0%2.0f"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.text, c.expected) << c.what;
    }
}

// Flags, lengths and conversions no gauge format uses, as the C library
// reads them.
TEST(TextWriterTests, EveryFlagAndConversionReadsAsTheCLibraryReadsIt) {
    const struct {
        const char* format;
        std::string ours;
        std::string libc;
    } cases[] = {
#define BOTH(format, ...)                                                        \
    {format, [&] {                                                               \
         char b[64];                                                             \
         format_bounded(b, 63, format, __VA_ARGS__);                             \
         return std::string(b);                                                  \
     }(),                                                                        \
     [&] {                                                                       \
         char b[64];                                                             \
         const char* unchecked = format; /* flags the compiler would warn of */ \
         std::snprintf(b, sizeof b, unchecked, __VA_ARGS__);                     \
         return std::string(b);                                                  \
     }()}
        BOTH("[% d]", 42),
        BOTH("[% .1f]", 2.5),
        BOTH("[%#.2f]", 2.5),
        BOTH("[%-07.1f]", -2.5),
        BOTH("[%.0d]", 0),
        BOTH("[%.0d]", 5),
        BOTH("[%-05d]", 42),
        BOTH("[%05.3d]", 42),
        BOTH("[%ld]", -7L),
        BOTH("[%lu]", 7UL),
        BOTH("[%F]", 1.25),
        BOTH("[%*s]", 4, "ab"),
#undef BOTH
    };
    for (const auto& c : cases) EXPECT_EQ(c.ours, c.libc) << c.format;
}

TEST(TextWriterTests, AStarWithoutItsWholeNumberLeavesTheConversionAsWritten) {
    const struct {
        const char* format;
        std::vector<TextArgument> arguments;
        const char* expected;
    } cases[] = {
        {"[%*f]", {text_argument(1.0), text_argument(2.0)}, "[%*f]"},
        {"[%*s]", {text_argument("x"), text_argument("y")}, "[%*s]"},
        {"[%.*d]", {text_argument(1.0), text_argument(2)}, "[%.*d]"},
        {"[%*.*d]", {text_argument(1.0), text_argument(2)}, "[%*.*d]"},
        {"[%*u]", {text_argument(1.0), text_argument(2u)}, "[%*u]"},
        {"[%u]", {text_argument(2)}, "[%u]"},
        {"[%s]", {{TextArgument::TEXT, 0}}, "[(null)]"},
    };
    for (const auto& c : cases) {
        char buffer[64];
        format_arguments(buffer, 63, c.format, c.arguments.data(), c.arguments.size());
        EXPECT_STREQ(buffer, c.expected) << c.format;
    }
    // Padding past the character count is counted, not written.
    char cut[8];
    EXPECT_EQ(format_bounded(cut, 2, "ab%5d", 1), 7u);
    EXPECT_STREQ(cut, "ab");
}

// The memo's texts of every length it compares by words, and the writes it
// must not take for the same again.
TEST(TextWriterTests, ARememberedTextIsTrustedOnlyWhileTheBufferHoldsItAll) {
    const struct {
        const char* what;
        size_t count;
        const char* text;
        size_t touched;  // the byte of the buffer changed before writing again
    } cases[] = {
        {"a short text, its last byte changed", 5, "12345", 4},
        {"a long text, its first byte changed", 12, "ABCDEFGHIJK", 0},
        {"a long text, its last byte changed", 12, "ABCDEFGHIJK", 10},
        {"a long text, a middle byte changed", 12, "ABCDEFGHIJK", 5},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ElementString element{};
        testing::GuardedText text(c.count);
        text.attach(element);
        write_text(&element, "%s", c.text);
        write_text(&element, "%s", c.text);
        EXPECT_EQ(text.str(), c.text);
        text.text()[c.touched] = '#';
        write_text(&element, "%s", c.text);
        EXPECT_EQ(text.str(), c.text);
        EXPECT_TRUE(text.intact());
    }
}

TEST(TextWriterTests, ASameWritingForAnotherCountOrKindIsFormattedAgain) {
    ElementString element{};
    testing::GuardedText text(5);
    text.attach(element);
    const TextArgument seven[] = {text_argument(7)};
    const TextArgument seven_unsigned[] = {text_argument(7u)};
    write_text_arguments(&element, "%d", seven, 1);
    EXPECT_EQ(text.str(), "7");
    write_text_arguments(&element, "%d", seven_unsigned, 1);
    EXPECT_EQ(text.str(), "%d") << "an unsigned argument for %d is no integer of its kind";
    element.max_string_length = 1;
    write_text_arguments(&element, "[%d]", seven, 1);
    write_text_arguments(&element, "[%d]", seven, 1);
    element.max_string_length = 3;
    write_text_arguments(&element, "[%d]", seven, 1);
    EXPECT_EQ(text.str(), "[7]") << "a longer count shows more of the text";
    EXPECT_TRUE(text.intact());
}

// The memo the writer expects is the element's own, but the element's count
// or an argument's kind is not what it remembers: the text is made afresh.
TEST(TextWriterTests, TheExpectedMemoIsNotTakenForAnotherCountOrArgumentKind) {
    const struct Row {
        const char* what;
        TextArgument remembered;
        size_t remembered_count;
        size_t count;
        void (*write)(ElementString*, const char* format);
        const char* expected;
    } rows[] = {
        {"the count is shorter now", text_argument(12345), 5, 3,
         [](ElementString* e, const char* f) { write_text(e, f, 12345); }, "123"},
        {"the argument is unsigned now", text_argument(7), 5, 5,
         [](ElementString* e, const char* f) { write_text(e, f, 7u); }, "%d"},
        {"there is one argument more now", text_argument(7), 5, 5,
         [](ElementString* e, const char* f) { write_text(e, f, 7, 8); }, "7"},
    };
    TextMemo* const expected_before = expected_text_memo;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        ElementString element{};
        testing::GuardedText text(5);
        text.attach(element);
        element.max_string_length = static_cast<uint16_t>(row.count);
        const char* const format = "%d";
        char remembered_text[TextMemo::max_chars + 1] = {};
        format_arguments(remembered_text, row.remembered_count, format, &row.remembered, 1);
        TextMemo memo{.element = &element,
                      .format = format,
                      .arguments = {row.remembered},
                      .argument_count = 1,
                      .char_count = row.remembered_count,
                      .length = std::strlen(remembered_text),
                      .text = {},
                      .following = nullptr};
        memo.following = &memo;
        std::memcpy(memo.text, remembered_text, sizeof remembered_text);
        std::memcpy(text.text(), remembered_text, std::min<size_t>(row.count, std::strlen(remembered_text)) + 1);
        expected_text_memo = &memo;
        row.write(&element, format);
        expected_text_memo = expected_before;
        EXPECT_EQ(text.str(), row.expected);
        EXPECT_TRUE(text.intact());
    }
}

// Beyond what the memo holds, the writer formats every time; without an
// element or its buffer it does nothing.
TEST(TextWriterTests, TextsBeyondTheMemoAreFormattedEveryTimeAndNoBufferGetsNothing) {
    ElementString element{};
    testing::GuardedText text(TextMemo::max_chars + 5);
    text.attach(element);
    for (int i = 0; i < 2; ++i) {
        write_text(&element, "%s%s", "ABCDEFGHIJKLMNOP", "QRST");
        EXPECT_EQ(text.str(), "ABCDEFGHIJKLMNOPQRST");
    }
    const TextArgument four[] = {text_argument("a"), text_argument("b"), text_argument("c"), text_argument("d")};
    element.max_string_length = 5;
    write_text_arguments(&element, "%s%s%s%s", four, 4);
    EXPECT_EQ(text.str(), "abcd");
    write_text_arguments(nullptr, "%s", four, 1);
    element.string = nullptr;
    write_text_arguments(&element, "%s", four, 1);
    EXPECT_EQ(text.str(), "abcd");
    EXPECT_TRUE(text.intact());
}

// An element remembers its last text; whatever happens to its buffer in
// between, writing the same again must leave the text that formatting it
// afresh would.
TEST(TextWriterTests, WritingTheSameAgainRestoresTheTextWhateverBecameOfTheBuffer) {
    const struct {
        const char* between;
        void (*happen)(ElementString&, testing::GuardedText& same, testing::GuardedText& fresh);
    } cases[] = {
        {"nothing", [](ElementString&, testing::GuardedText&, testing::GuardedText&) {}},
        {"a fresh buffer from the host",
         [](ElementString& e, testing::GuardedText&, testing::GuardedText& fresh) { fresh.attach(e); }},
        {"the same buffer cleared, as after kill and install",
         [](ElementString& e, testing::GuardedText& same, testing::GuardedText&) {
             std::memset(same.text(), 0, e.max_string_length + 1u);
         }},
        {"another text of the same length in it",
         [](ElementString&, testing::GuardedText& same, testing::GuardedText&) { std::memcpy(same.text(), "999", 4); }},
        {"the same text without its end",
         [](ElementString&, testing::GuardedText& same, testing::GuardedText&) { same.text()[3] = 'x'; }},
        {"a longer character count",
         [](ElementString& e, testing::GuardedText&, testing::GuardedText& fresh) {
             fresh.attach(e);
             e.max_string_length = 2;
         }},
    };
    for (const auto& c : cases) {
        ElementString element{};
        testing::GuardedText same(3);
        testing::GuardedText fresh(3);
        same.attach(element);
        write_text(&element, "%s%2.0f", "0", 42.0);
        ASSERT_STREQ(element.string, "042") << c.between;
        c.happen(element, same, fresh);
        write_text(&element, "%s%2.0f", "0", 42.0);
        char expected[8];
        format_bounded(expected, element.max_string_length, "%s%2.0f", "0", 42.0);
        EXPECT_STREQ(element.string, expected) << c.between;
        EXPECT_TRUE(same.intact() && fresh.intact()) << c.between;
    }
}

TEST(TextWriterTests, EveryChangeOfFormatOrArgumentIsFormattedAgain) {
    const double quiet_nan = std::numeric_limits<double>::quiet_NaN();
    const struct {
        const char* format;
        std::vector<TextArgument> arguments;
        const char* expected;
    } writes[] = {
        {"%1.0f", {text_argument(0.0)}, "0"},
        {"%1.0f", {text_argument(-0.0)}, "-0"},  // equal as numbers, not as texts
        {"%1.0f", {text_argument(quiet_nan)}, "nan"},
        {"%1.0f", {text_argument(-quiet_nan)}, "-nan"},
        {"%1.0f", {text_argument(7.0)}, "7"},
        {"%3.0f", {text_argument(7.0)}, "  7"},
        {"%s%2.0f", {text_argument("0"), text_argument(7.0)}, "0 7"},
        {"%s%2.0f", {text_argument("00"), text_argument(7.0)}, "00 7"},
        {"%s%2.0f", {text_argument("00"), text_argument(17.0)}, "0017"},
        {"%3.0f%s", {text_argument(17.0), text_argument(" ")}, " 17 "},
        {"%d", {text_argument(17)}, "17"},
        {"%u", {text_argument(17u)}, "17"},
        {"%s", {text_argument("")}, ""},
        {"ALT", {}, "ALT"},
        {"V/S", {}, "V/S"},
    };
    ElementString element{};
    testing::GuardedText text(5);
    text.attach(element);
    for (const auto& w : writes) {
        write_text_arguments(&element, w.format, w.arguments.data(), w.arguments.size());
        EXPECT_EQ(text.str(), std::string(w.expected).substr(0, 5)) << w.format << " after the write before it";
    }
    EXPECT_TRUE(text.intact());
}

// More elements than the memo has room for, written over and over in
// changing orders: each shows its own text at every round.
TEST(TextWriterTests, ManyMoreElementsThanTheMemoHoldsEachKeepTheirOwnText) {
    constexpr int count = 150;
    std::vector<ElementString> elements(count);
    std::vector<std::unique_ptr<testing::GuardedText>> texts;
    for (ElementString& element : elements) {
        texts.push_back(std::make_unique<testing::GuardedText>(5));
        texts.back()->attach(element);
    }
    for (int round = 0; round < 6; ++round) {
        for (int k = 0; k < count; ++k) {
            // Forward, backward, and every seventh; the value changes every other round.
            const int i = round % 3 == 0 ? k : round % 3 == 1 ? count - 1 - k : (k * 7) % count;
            write_text(&elements[i], "%5.0f", static_cast<double>(i * 10 + round / 2));
        }
        for (int i = 0; i < count; ++i) {
            ASSERT_EQ(texts[i]->str(), std::to_string(i * 10 + round / 2)
                                           .insert(0, 5 - std::min<size_t>(5, std::to_string(i * 10 + round / 2).size()), ' '))
                << "element " << i << " round " << round;
        }
    }
}

// Through the panel host and the built module: every text must come back
// whatever the host does with its buffers between two updates with the same
// values. The host hands fresh, cleared buffers at every install, often at
// the addresses it took back at the kill before.
TEST(TextWriterTests, EveryTextComesBackAfterTheHostTakesItsBuffersAndGivesThemAgain) {
    std::string error;
    const auto module = panelhost::LoadedModule::open(ORVANE_MODULE_PATH, error);
    ASSERT_NE(module, nullptr) << error;
    panelhost::HostServices host;
    panelhost::start_module(host, module->records());
    panelhost::Panel panel(host, module->records());
    const std::vector<std::pair<int32_t, double>> values = {
        {AIRSPEED_HOLD, 1.0},     {AIRSPEED_TARGET, 138.4}, {ALTITUDE_HOLD, 1.0},   {ALTITUDE_TARGET, 2000.0},
        {HEADING_HOLD, 1.0},      {HEADING_TARGET, 273.0},  {VS_TARGET, -740.0},    {BARO_ALTITUDE, 1432.6},
        {DME1_DISTANCE, 4.07},    {DECISION_HEIGHT, 200.0}, {APPROACH_HOLD, 1.0},   {AUTOPILOT_ENGAGED, 1.0},
        {ALTITUDE, 425.0},        {GROUND_ALTITUDE, 31232}, {FLIGHT_DIRECTOR, 1.0}, {MACH, 9800.0}};
    for (const auto& [id, value] : values) host.set_var(id, value);
    const std::vector<std::string> gauges = {"AP", "PFD", "DH"};
    const auto texts = [&] {
        std::string all;
        for (const std::string& name : gauges) {
            for (const panelhost::ElementState& state : panel.installed(name)->elements) {
                if (state.text) all += name + " \"" + state.text->str() + "\"\n";
            }
        }
        return all;
    };
    const struct {
        const char* between;
        std::vector<std::string> kill, install;
    } cases[] = {
        {"nothing", {}, {}},
        {"every gauge killed and installed again", {"AP", "PFD", "DH"}, {"AP", "PFD", "DH"}},
        {"installed again the other way round", {"AP", "PFD", "DH"}, {"DH", "PFD", "AP"}},
        {"one gauge killed and installed again", {"PFD"}, {"PFD"}},
    };
    for (const std::string& name : gauges) ASSERT_TRUE(panel.install(name).ok()) << name;
    panel.update();
    ASSERT_NE(texts().find("AP \"02000\""), std::string::npos) << texts();  // the values are on show
    for (const auto& c : cases) {
        panel.update();
        const std::string before = texts();
        for (const std::string& name : c.kill) ASSERT_TRUE(panel.kill(name).ok()) << c.between;
        for (const std::string& name : c.install) ASSERT_TRUE(panel.install(name).ok()) << c.between;
        panel.update();
        EXPECT_EQ(texts(), before) << c.between;
        EXPECT_TRUE(panel.take_faults().empty()) << c.between;
    }
    for (const std::string& name : gauges) ASSERT_TRUE(panel.kill(name).ok());
    panelhost::stop_module(host, module->records());
}

// A value for the random checks, drawn to meet the quick path's edges (ties,
// near ties, its largest values) as well as every magnitude; i picks the kind.
double random_value(int i, int precision, std::mt19937_64& random) {
    const double unit = std::pow(10.0, -precision);
    const double quick_limit = 4294967295.0 * unit;
    const double sign = random() % 2 == 0 ? 1.0 : -1.0;
    double value = 0.0;
    switch (i % 8) {
        case 0: value = std::bit_cast<double>(random()); break;
        case 1: value = std::uniform_real_distribution<double>(-20000.0, 20000.0)(random); break;
        case 2:  // a half unit past a whole number of units, and its neighbours
            value = sign * (static_cast<double>(random() % 2000000) + 0.5) * unit;
            for (int steps = static_cast<int>(random() % 5) - 2; steps != 0; steps += steps > 0 ? -1 : 1) {
                value = std::nextafter(value, steps > 0 ? INFINITY : -INFINITY);
            }
            break;
        case 3: value = sign * std::ldexp(static_cast<double>(random() % 4096), -static_cast<int>(random() % 12)); break;
        case 4: value = sign * quick_limit * std::uniform_real_distribution<double>(0.999999, 1.000001)(random); break;
        case 5: value = sign * std::ldexp(1.0, static_cast<int>(random() % 80) - 60) * (1.0 + (random() % 1000) / 1000.0); break;
        case 6: value = sign * static_cast<double>(random() % 100000) / 8.0; break;
        default: value = std::uniform_real_distribution<double>(-100.0, 100.0)(random); break;
    }
    return value;
}

constexpr int values_per_format = 1000000;

// The module's own number formatting against the C library's: a million
// values for each format the gauges use. Seeded, so that a failure can be
// replayed.
TEST(TextWriterTests, MatchesTheCLibraryOnRandomValues) {
#ifndef __GLIBC__
    GTEST_SKIP() << "the reference is the GNU C library's printf";
#endif
    const unsigned seed = std::random_device{}();
    std::printf("seed %u\n", seed);
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937_64 random(seed);
    const struct {
        const char* format;
        int precision;
    } formats[] = {{"%1.0f", 0}, {"%2.0f", 0}, {"%3.0f", 0}, {"%4.0f", 0}, {"%5.0f", 0},
                   {"%f", 6},    {"%1.1f", 1}, {"%2.1f", 1}, {"%1.2f", 2}};
    for (const auto& f : formats) {
        for (int i = 0; i < values_per_format; ++i) {
            const double value = random_value(i, f.precision, random);
            if (std::isnan(value)) continue;  // the C library's NaN sign differs between platforms
            char expected[512];
            std::snprintf(expected, sizeof expected, f.format, value);
            ASSERT_EQ(format(400, f.format, value), expected) << f.format << " of " << std::hexfloat << value;
        }
    }
}

// The same draw against the standard library's exact conversion, which both
// builds have: the DLL's arithmetic is checked where it runs.
TEST(TextWriterTests, MatchesTheExactConversionOnRandomValues) {
    const unsigned seed = std::random_device{}();
    std::printf("seed %u\n", seed);
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937_64 random(seed);
    const struct {
        const char* format;
        int precision;
    } formats[] = {{"%.0f", 0}, {"%.1f", 1}, {"%.2f", 2}, {"%f", 6}};
    for (const auto& f : formats) {
        for (int i = 0; i < values_per_format; ++i) {
            const double value = random_value(i, f.precision, random);
            if (!std::isfinite(value)) continue;
            char expected[400] = "-";
            const size_t sign = std::signbit(value) ? 1 : 0;
            const auto end = std::to_chars(expected + sign, expected + sizeof expected - 1, std::fabs(value),
                                           std::chars_format::fixed, f.precision);
            *end.ptr = '\0';
            ASSERT_EQ(format(390, f.format, value), expected) << f.format << " of " << std::hexfloat << value;
        }
    }
}

}  // namespace
}  // namespace orvane
