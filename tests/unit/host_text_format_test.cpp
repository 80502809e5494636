#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <random>
#include <string>

#include <gtest/gtest.h>

#include "host/services/names.h"
#include "host/base/text_format.h"

namespace panelhost {
namespace {

TEST(HostTextFormatTests, NumbersPrintInTheirShortestRoundTripForm) {
    const struct {
        double value;
        const char* text;
    } cases[] = {
        {0.0, "0"},
        {-0.0, "-0"},
        {0.79, "0.79"},
        {0.78 + 0.01, "0.79"},
        {0.1 + 0.2, "0.30000000000000004"},
        {250.0, "250"},
        {-9.9, "-9.9"},
        {1e21, "1e+21"},
        {4.9406564584124654e-324, "5e-324"},
        {std::numeric_limits<double>::infinity(), "inf"},
        {-std::numeric_limits<double>::infinity(), "-inf"},
        {std::numeric_limits<double>::quiet_NaN(), "nan"},
        {-std::numeric_limits<double>::quiet_NaN(), "nan"},
    };
    for (const auto& c : cases) EXPECT_EQ(format_number(c.value), c.text) << c.text;
}

TEST(HostTextFormatTests, ValuesReadBackAsWrittenOrAsTheirBitPattern) {
    const struct {
        const char* token;
        uint64_t bits;
    } cases[] = {
        {"1", 0x3FF0000000000000},
        {"+1", 0x3FF0000000000000},
        {"-2.5", 0xC004000000000000},
        {"0x3FF0000000000000", 0x3FF0000000000000},
        {"0xfff8000000000001", 0xFFF8000000000001},
        {"inf", 0x7FF0000000000000},
        {"-inf", 0xFFF0000000000000},
        {"1e-320", std::bit_cast<uint64_t>(1e-320)},
        {"-0", 0x8000000000000000},
    };
    for (const auto& c : cases) {
        double value = 0.0;
        EXPECT_EQ(parse_value(c.token, value), "") << c.token;
        EXPECT_EQ(std::bit_cast<uint64_t>(value), c.bits) << c.token;
    }
    double value = 0.0;
    EXPECT_EQ(parse_value("nan", value), "");
    EXPECT_TRUE(std::isnan(value));
}

TEST(HostTextFormatTests, BadValuesAreRefusedWithAReason) {
    const struct {
        const char* token;
        const char* reason;
    } cases[] = {
        {"", "not a value"},
        {"abc", "not a value"},
        {"1.5x", "not a value"},
        {"0x3FF", "exactly 16 hex digits"},
        {"0x3FF000000000000G", "not a hex digit"},
        {"1e999", "out of range"},
        {"--1", "not a value"},
    };
    for (const auto& c : cases) {
        double value = 42.0;
        const std::string error = parse_value(c.token, value);
        EXPECT_NE(error.find(c.reason), std::string::npos) << c.token << ": " << error;
        EXPECT_EQ(value, 42.0) << c.token;
    }
}

TEST(HostTextFormatTests, QuotedTextsRoundTripEveryByte) {
    const unsigned seed = std::random_device{}();
    std::printf("seed %u\n", seed);
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 random(seed);
    for (int round = 0; round < 200; ++round) {
        std::string text(random() % 12, '\0');
        for (char& c : text) c = static_cast<char>(random() % 256);
        const std::string quoted = quote_text(text);
        ASSERT_GE(quoted.size(), 2u);
        std::string back;
        ASSERT_EQ(unescape_text(quoted.substr(1, quoted.size() - 2), back), "");
        EXPECT_EQ(back, text) << "quoted " << quoted;
    }
    EXPECT_EQ(quote_text(" 50\"\\\n\t\x01\xFF"), "\" 50\\\"\\\\\\n\\t\\x01\\xFF\"");
}

TEST(HostTextFormatTests, BadEscapesAreRefused) {
    for (const char* body : {"\\", "\\q", "\\x4", "\\xZZ"}) {
        std::string out;
        EXPECT_NE(unescape_text(body, out), "") << body;
    }
}

TEST(HostTextFormatTests, IntegersReadInDecimalOrHex) {
    EXPECT_EQ(parse_integer("66321"), 66321);
    EXPECT_EQ(parse_integer("0x10311"), 66321);
    EXPECT_EQ(parse_integer("-1"), -1);
    EXPECT_EQ(parse_integer("0xA0200000"), 0xA0200000);
    EXPECT_FALSE(parse_integer("12a").has_value());
    EXPECT_FALSE(parse_integer("").has_value());
    EXPECT_FALSE(parse_integer("0x").has_value());
    EXPECT_FALSE(parse_integer("99999999999999999999").has_value());
    EXPECT_EQ(format_hex32(0xA0200000), "0xA0200000");
    EXPECT_EQ(format_hex32(0x25), "0x00000025");
}

TEST(HostTextFormatTests, NamesComeFromTheModulesLists) {
    EXPECT_EQ(host_var_id("AIRSPEED_HOLD"), 115);
    EXPECT_EQ(host_var_id("615"), 615);
    EXPECT_FALSE(host_var_id("AIRSPEED_HOLDX").has_value());
    EXPECT_FALSE(host_var_id("99999999999").has_value());
    EXPECT_EQ(host_var_label(792), "FLIGHT_DIRECTOR");
    EXPECT_EQ(host_var_label(3), "");
    EXPECT_EQ(key_event_id("KEY_DECISION_HEIGHT_DEC"), 66322u);
    EXPECT_EQ(key_event_id("0x102F0"), 66288u);
    EXPECT_FALSE(key_event_id("-1").has_value());
    EXPECT_EQ(key_event_label(65580), "KEY_AP_MASTER_SWITCH");
    EXPECT_EQ(failure_key("FAIL_SYSTEM_ELECTRICAL_PANELS"), 20);
    EXPECT_EQ(failure_key("8"), 8);
    EXPECT_FALSE(failure_key("FAIL_ENGINE").has_value());
}

}  // namespace
}  // namespace panelhost
