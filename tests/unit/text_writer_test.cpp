#include <bit>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>
#include <string>

#include <gtest/gtest.h>

#include "module/text_writer.h"
#include "tests/support/guarded_text.h"

namespace orvane {
namespace {

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

// The module's own number formatting against the C library's, on values
// drawn across every magnitude; seeded so that a failure can be replayed.
TEST(TextWriterTests, MatchesTheCLibraryOnRandomValues) {
#ifndef __GLIBC__
    GTEST_SKIP() << "the reference is the GNU C library's printf";
#endif
    const unsigned seed = std::random_device{}();
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937_64 random(seed);
    const char* formats[] = {"%1.0f", "%2.0f", "%3.0f", "%4.0f", "%5.0f", "%f", "%1.1f", "%2.1f", "%1.2f"};
    for (int i = 0; i < 200000; ++i) {
        double value;
        switch (i % 4) {
            case 0: value = std::bit_cast<double>(random()); break;
            case 1: value = std::ldexp(static_cast<double>(random() % 2000000) - 1e6, -static_cast<int>(random() % 20)); break;
            case 2: value = (static_cast<double>(random() % 200001) - 100000.0) / 2.0; break;
            default: value = std::uniform_real_distribution<double>(-20000.0, 20000.0)(random); break;
        }
        if (std::isnan(value)) continue;  // the C library's NaN sign differs between platforms
        for (const char* f : formats) {
            char expected[512];
            std::snprintf(expected, sizeof expected, f, value);
            ASSERT_EQ(format(400, f, value), expected) << f << " of " << value;
        }
    }
}

}  // namespace
}  // namespace orvane
