// The text writer with widths and precisions at the ends of their range, as a
// mistaken format could hand them over: defined behaviour, bounded output.
#include <climits>
#include <string>

#include <gtest/gtest.h>

#include "module/text_writer.h"
#include "tests/support/guarded_text.h"

namespace orvane::hardening {
namespace {

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
        {"%*s", INT_MIN, "x    "},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.format) + " with " + std::to_string(row.star));
        orvane::testing::GuardedText text(5);
        const std::string format = row.format;
        if (format.back() == 's') {
            format_bounded(text.text(), 5, row.format, row.star, "x");
        } else {
            format_bounded(text.text(), 5, row.format, row.star, 7);
        }
        EXPECT_EQ(text.str(), row.expected);
        EXPECT_TRUE(text.intact());
    }
}

}  // namespace
}  // namespace orvane::hardening
