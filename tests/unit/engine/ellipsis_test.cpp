#include <gtest/gtest.h>

#include <random>

#include "platform/ellipsis.h"

namespace {

TEST(MiddleEllipsis, KeepsTheStartAndTheEndOfATextTooWideForItsLine)
{
    std::mt19937 random(9);
    for (int round = 0; round < 2000; ++round) {
        // Characters of widths 1 to 9 as a proportional font has them, now and then a pair.
        std::wstring text;
        const int length = static_cast<int>(random() % 40);
        for (int i = 0; i < length; ++i) {
            if (random() % 8 == 0)
                text += L"\xD83D\xDE00";
            else
                text += static_cast<wchar_t>(L'a' + random() % 26);
        }
        auto measure = [](const std::wstring& s) {
            int w = 0;
            for (wchar_t c : s)
                w += c == L'\u2026' ? 3 : c >= 0xD800 && c <= 0xDFFF ? 4 : 1 + (c - L'a') % 9;
            return w;
        };
        const int width = 3 + static_cast<int>(random() % 120);
        const std::wstring shown = platform::middleEllipsis(text, width, measure);
        if (measure(text) <= width) {
            EXPECT_EQ(shown, text);
            continue;
        }
        const auto dots = shown.find(L'\u2026');
        ASSERT_NE(dots, std::wstring::npos);
        const std::wstring head = shown.substr(0, dots), tail = shown.substr(dots + 1);
        EXPECT_LE(measure(shown), width);
        EXPECT_EQ(text.compare(0, head.size(), head), 0);
        EXPECT_EQ(text.compare(text.size() - tail.size(), tail.size(), tail), 0);
        EXPECT_LE(measure(head), (width - 3) / 2);
        // Nothing more of the end would have fitted, and no surrogate pair is cut.
        auto isLow = [](wchar_t c) { return c >= 0xDC00 && c <= 0xDFFF; };
        std::size_t more = text.size() - tail.size() - 1;
        if (more > 0 && isLow(text[more]))
            --more;
        if (more >= head.size()) {
            EXPECT_GT(measure(head + L"\u2026" + text.substr(more)), width);
        }
        EXPECT_FALSE(!head.empty() && head.back() >= 0xD800 && head.back() <= 0xDBFF);
        EXPECT_FALSE(!tail.empty() && isLow(tail.front()));
    }
}

}  // namespace
