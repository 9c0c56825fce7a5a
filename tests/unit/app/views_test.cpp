#include <gtest/gtest.h>

#include "harness.h"
#include "app/texts.h"
#include "lists/views.h"
#include "platform/line_breaks.h"

using lists::ListFile;
using test::Harness;
using test::user;

namespace {

TEST(Counter, CountsLinesWithoutTheFinalBreak)
{
    const std::pair<const char*, std::size_t> cases[] = {
        {"", 0}, {"a", 1}, {"a\r\n", 1}, {"a\r\nb", 2}, {"a\r\nb\r\n", 2}, {"\r\n", 1},
        {"\r\n\r\n", 2}, {"a\nb\rc", 3}, {"a\r\n\r\nb\r\n", 3},
    };
    for (auto [text, lines] : cases)
        EXPECT_EQ(platform::countLines(text), lines) << text;
    EXPECT_EQ(texts::counterText(12345), "共 12345 行");
}

TEST(ShowFullPath, WithoutAListNothingChanges)
{
    Harness h;
    user(h.form.cbShowpathO).click();
    user(h.form.cbshowpathR).click();
    EXPECT_TRUE(h.form.cbShowpathO.checked());
    EXPECT_EQ(h.form.mmOriginal.text(), "");
    EXPECT_EQ(h.form.lb_old.text(), "共 0 行");
    EXPECT_EQ(h.form.mmRenamed.text(), "");
}

TEST(ShowFullPath, SwitchesEachViewBetweenPathsAndNames)
{
    Harness h;
    h.putList(ListFile::OriginalPaths, {"C:\\p\\a.jpg", "C:\\p\\淺.jpg"});
    h.putList(ListFile::OriginalNames, {"a.jpg", "淺.jpg"});
    h.putList(ListFile::NewPaths, {"C:\\p\\x1.jpg"});
    h.putList(ListFile::NewNames, {"x1.jpg"});

    user(h.form.cbShowpathO).click();
    EXPECT_EQ(h.form.mmOriginal.text(), "C:\\p\\a.jpg\r\nC:\\p\\淺.jpg\r\n");
    EXPECT_EQ(h.form.lb_old.text(), "共 2 行");
    user(h.form.cbShowpathO).click();
    EXPECT_EQ(h.form.mmOriginal.text(), "a.jpg\r\n淺.jpg\r\n");
    EXPECT_EQ(h.form.lb_old.text(), "共 2 行");

    user(h.form.cbshowpathR).click();
    EXPECT_EQ(h.form.mmRenamed.text(), "C:\\p\\x1.jpg\r\n");
    EXPECT_EQ(h.form.lb_new.text(), "共 1 行");
    EXPECT_EQ(h.form.lb_old.text(), "共 2 行");  // never the other view's count
}

TEST(ShowFullPath, AMissingNameFileWithAPathFileIsAnErrorInTheBox)
{
    Harness h;
    h.putList(ListFile::OriginalPaths, {"C:\\p\\a.jpg"});
    user(h.form.cbShowpathO).click();
    EXPECT_EQ(h.form.mmOriginal.text(), "C:\\p\\a.jpg\r\n");
    user(h.form.cbShowpathO).click();
    EXPECT_EQ(h.takeShown(), std::vector<std::string>{"File not found."});
    EXPECT_EQ(h.form.mmOriginal.text(), "C:\\p\\a.jpg\r\n");
}

}  // namespace
