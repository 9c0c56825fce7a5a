#include <gtest/gtest.h>

#include <random>
#include <string>

#include "lists/list_store.h"
#include "lists/messages.h"
#include "platform/line_breaks.h"

namespace {

TEST(FirstTenLines, NamesTheFirstTenThenAnEllipsisAndAsksForNoMore)
{
    struct Case {
        std::size_t count;
        std::string text;
    };
    const std::string ten = "\r0\r1\r2\r3\r4\r5\r6\r7\r8\r9";
    for (const Case& c : {Case{0, ""}, Case{1, "\r0"}, Case{10, ten}, Case{11, ten + "\r……"}, Case{500, ten + "\r……"}}) {
        std::size_t highest = 0;
        const std::string text = messages::firstTenLines(c.count, [&](std::size_t i) {
            highest = std::max(highest, i);
            return std::to_string(i);
        });
        EXPECT_EQ(text, c.text) << c.count;
        EXPECT_LT(highest, 10u) << c.count;
    }
}

// The list store and the line counter break lines by the same rule, whatever the mix of breaks.
TEST(LineBreaks, CounterAndListStoreAgreeOnGeneratedTexts)
{
    std::mt19937 random(15);
    const char* pieces[] = {"a", "bc", "\r", "\n", "\r\n", "\n\r", ""};
    for (int round = 0; round < 2000; ++round) {
        std::string text;
        const int n = static_cast<int>(random() % 12);
        for (int i = 0; i < n; ++i)
            text += pieces[random() % std::size(pieces)];
        const auto lines = lists::splitLines(text);
        EXPECT_EQ(platform::countLines(text), lines.size()) << round;
        for (const auto& l : lines)
            EXPECT_EQ(l.find_first_of("\r\n"), std::string::npos) << round;
        EXPECT_EQ(lists::splitLines(lists::joinLines(lines)), lines) << round;
    }
}

}  // namespace
