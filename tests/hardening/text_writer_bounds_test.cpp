// The text writer with widths and precisions at the ends of their range, as a
// mistaken format could hand them over: defined behaviour, bounded output.
#include <climits>
#include <string>

#include <gtest/gtest.h>

#include "module/text_writer.h"
#include "tests/support/format_bounded.h"
#include "tests/support/guarded_text.h"

namespace orvane::hardening {
namespace {

using testing::format_bounded;

template <typename Star, typename Value>
std::string written(const char* format, Star star, Value value) {
    orvane::testing::GuardedText text(5);
    format_bounded(text.text(), 5, format, star, value);
    EXPECT_TRUE(text.intact()) << format;
    return text.str();
}

TEST(TextWriterBounds, StarWidthsAndPrecisionsAtTheEndsOfTheirRangeStayBounded) {
    struct Row {
        const char* format;
        int star;
        const char* expected;  // cut to five characters
    };
    const Row rows[] = {
        {"%*d", INT_MIN, "7    "},   // left-justified, the width held to the writer's bound
        {"%*d", INT_MAX, "     "},   // right-justified: only the padding fits
        {"%*d", -1, "7"},
        {"%*d", 0, "7"},
        {"%.*d", INT_MIN, "7"},       // a negative precision is none
        {"%.*d", INT_MAX, "00000"},   // the precision held to the writer's bound
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.format) + " with " + std::to_string(row.star));
        EXPECT_EQ(written(row.format, row.star, 7), row.expected);
    }
    EXPECT_EQ(written("%*s", INT_MIN, "x"), "x    ");
}

// The widest star arguments the writer takes: their most negative values
// have no positive twin, so negating them must not overflow.
TEST(TextWriterBounds, TheMostNegativeLongAndTheLargestUnsignedLongAsWidthsStayBounded) {
    EXPECT_EQ(written("%*d", LONG_MIN, 7), "7    ");
    EXPECT_EQ(written("%*d", LONG_MAX, 7), "     ");
    EXPECT_EQ(written("%*d", ULONG_MAX, 7), "7");  // read as -1: left-justified in one column
    EXPECT_EQ(written("%*d", 1ul << 63, 7), "7    ");
}

}  // namespace
}  // namespace orvane::hardening
