#include <gtest/gtest.h>

#include "lists/list_store.h"
#include "platform/errors.h"
#include "rename/compose.h"

using renaming::RenameOptions;

namespace {

TEST(StrFiller, PutsZerosInFrontUpToTheWidth)
{
    EXPECT_EQ(renaming::StrFiller("7", 3), "007");
    EXPECT_EQ(renaming::StrFiller("1234", 3), "1234");
    EXPECT_EQ(renaming::StrFiller("", 2), "00");
    EXPECT_EQ(renaming::StrFiller("-1", 3), "0-1");
    EXPECT_EQ(renaming::StrFiller("5", 0), "5");
}

const std::vector<std::string> pics = {"C:\\pics\\a.jpg", "C:\\pics\\b.JPG", "C:\\pics\\c.gif"};

RenameOptions trip()
{
    RenameOptions o;
    o.edtname = "trip";
    return o;
}

std::vector<std::string> names(const RenameOptions& o, const std::vector<std::string>& paths = pics, bool outExists = false)
{
    std::vector<std::string> out;
    for (std::size_t k = 0; k < paths.size(); ++k)
        out.push_back(renaming::composeEntry(paths[k], k, o, outExists).name);
    return out;
}

std::vector<std::string> fullPaths(const RenameOptions& o, const std::vector<std::string>& paths = pics, bool outExists = false)
{
    std::vector<std::string> out;
    for (std::size_t k = 0; k < paths.size(); ++k)
        out.push_back(renaming::composeEntry(paths[k], k, o, outExists).path);
    return out;
}

using Names = std::vector<std::string>;

TEST(Compose, WorkedExamples)
{
    EXPECT_EQ(names(trip()), (Names{"trip001.jpg", "trip002.JPG", "trip003.gif"}));

    RenameOptions before = trip();
    before.numberBefore = true;
    before.edtvalue = "10";
    before.decrement = true;
    EXPECT_EQ(names(before), (Names{"10trip.jpg", "09trip.JPG", "08trip.gif"}));

    RenameOptions inserted;
    inserted.cbNewname = inserted.cbInitNo = false;
    inserted.cbBeforename = inserted.cbAftername = true;
    inserted.edtForeside = "x_";
    inserted.edtRearside = "_y";
    EXPECT_EQ(names(inserted), (Names{"x_a_y.jpg", "x_b_y.JPG", "x_c_y.gif"}));

    RenameOptions suffix = trip();
    suffix.cbChangesuffix = true;
    suffix.edtsuffix_old = ".jpg";
    suffix.edtsuffix_new = ".png";
    EXPECT_EQ(names(suffix), (Names{"trip001.png", "trip002.JPG", "trip003.gif"}));

    RenameOptions saveAs = trip();
    saveAs.rbRename = false;
    saveAs.lbpath = "D:\\out";
    EXPECT_EQ(fullPaths(saveAs, pics, true), (Names{"D:\\out\\trip001.jpg", "D:\\out\\trip002.JPG", "D:\\out\\trip003.gif"}));
    EXPECT_EQ(fullPaths(saveAs, pics, false)[0], "C:\\pics\\新文件夹\\trip001.jpg");
}

TEST(Compose, NumberWidthComesFromTheStartText)
{
    const std::vector<std::string> twelve(12, "C:\\p\\a.jpg");
    auto numbered = [&](const char* start, std::size_t count) {
        RenameOptions o;
        o.edtvalue = start;
        Names n = names(o, std::vector<std::string>(twelve.begin(), twelve.begin() + count));
        return n;
    };
    EXPECT_EQ(numbered("001", 12).back(), "012.jpg");
    EXPECT_EQ(numbered("1", 12).front(), "1.jpg");
    EXPECT_EQ(numbered("1", 12).back(), "12.jpg");
    EXPECT_EQ(numbered("98", 4), (Names{"98.jpg", "99.jpg", "100.jpg", "101.jpg"}));

    RenameOptions down;
    down.edtvalue = "003";
    down.decrement = true;
    EXPECT_EQ(names(down, std::vector<std::string>(6, "C:\\p\\a.jpg")),
              (Names{"003.jpg", "002.jpg", "001.jpg", "000.jpg", "0-1.jpg", "0-2.jpg"}));
}

TEST(Compose, InsertTextsAroundTheNameAndTheNumberOutside)
{
    RenameOptions o = trip();
    o.cbBeforename = o.cbAftername = true;
    o.edtForeside = "x_";
    o.edtRearside = "_y";
    EXPECT_EQ(names(o)[0], "x_trip_y001.jpg");
    o.numberBefore = true;
    EXPECT_EQ(names(o)[0], "001x_trip_y.jpg");
    o.cbBeforename = false;  // an unticked insert text is not used
    EXPECT_EQ(names(o)[0], "001trip_y.jpg");
}

struct OriginalNameCase {
    const char* path;
    const char* oldPart;
    const char* newPart;
    const char* expected;
};

class OriginalName : public testing::TestWithParam<OriginalNameCase> {};

TEST_P(OriginalName, KeepsOrReplacesTheBasePart)
{
    RenameOptions o;
    o.cbNewname = o.cbInitNo = false;
    o.edtOldpart = GetParam().oldPart;
    o.edtNewpart = GetParam().newPart;
    EXPECT_EQ(renaming::composeEntry(GetParam().path, 0, o, false).name, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, OriginalName,
    testing::Values(OriginalNameCase{"C:\\p\\archive.tar.gz", "", "", "archive.tar.gz"},
                    OriginalNameCase{"C:\\p\\x.gzfile.gz", "gz", "Z", "x.Zfile.gz"},
                    OriginalNameCase{"C:\\p\\README", "", "", "README"},
                    OriginalNameCase{"C:\\p\\.profile", "pro", "X", ".profile"},
                    OriginalNameCase{"C:\\p\\abcab.jpg", "ab", "X", "Xcab.jpg"},
                    OriginalNameCase{"C:\\p\\abcab.jpg", "AB", "X", "abcab.jpg"},
                    OriginalNameCase{"C:\\p\\abcab.jpg", "ab", "", "cab.jpg"},
                    OriginalNameCase{"C:\\p\\abc.jpg", "jpg", "png", "abc.jpg"},
                    OriginalNameCase{"C:\\照片\\淺色.jpg", "淺", "深", "深色.jpg"}),
    [](const auto& info) { return std::to_string(info.index); });

TEST(Compose, PartialReplacementIsIgnoredWithANewName)
{
    RenameOptions o = trip();
    o.edtOldpart = "trip";
    o.edtNewpart = "X";
    EXPECT_EQ(names(o)[0], "trip001.jpg");
}

TEST(Compose, ExtensionChangeNeedsAnExactMatch)
{
    RenameOptions o;
    o.cbNewname = o.cbInitNo = false;
    o.cbChangesuffix = true;
    o.edtsuffix_old = ".jpg";
    o.edtsuffix_new = "";
    EXPECT_EQ(names(o), (Names{"a", "b.JPG", "c.gif"}));
    o.edtsuffix_old = "";
    o.edtsuffix_new = ".txt";
    EXPECT_EQ(names(o, {"C:\\p\\README", "C:\\p\\a.jpg"}), (Names{"README.txt", "a.jpg"}));
    o.edtsuffix_old = ".gif";
    o.edtsuffix_new = "png";  // used as typed, without a dot
    EXPECT_EQ(names(o)[2], "cpng");
}

TEST(Compose, FoldersAndBackslashes)
{
    RenameOptions o = trip();
    o.rbRename = false;
    o.lbpath = "C:\\out\\";
    EXPECT_EQ(fullPaths(o, pics, true)[0], "C:\\out\\trip001.jpg");
    o.lbpath = "D:\\";
    EXPECT_EQ(fullPaths(o, pics, true)[0], "D:\\trip001.jpg");
    o.rbRename = true;  // the label plays no part when renaming in place
    EXPECT_EQ(fullPaths(o, pics, true)[0], "C:\\pics\\trip001.jpg");
    o.edtname = "sub\\x";
    EXPECT_EQ(fullPaths(o)[0], "C:\\pics\\sub\\x001.jpg");
    EXPECT_EQ(names(o)[0], "x001.jpg");
    o.edtname = "";
    EXPECT_EQ(names(o), (Names{"001.jpg", "002.JPG", "003.gif"}));
}

TEST(Compose, AStartNumberThatIsNoNumberIsAConversionError)
{
    RenameOptions o;
    for (const char* bad : {"", "1.5", "."}) {
        o.edtvalue = bad;
        EXPECT_THROW(renaming::composeEntry("C:\\a.jpg", 0, o, false), platform::ConvertError) << bad;
    }
    o.cbInitNo = false;
    o.cbNewname = false;
    EXPECT_EQ(renaming::composeEntry("C:\\a.jpg", 0, o, false).name, "a.jpg");
}

// A preview composes the list's whole text at once: each line as composeEntry composes it alone,
// numbered on from where the text starts, whatever breaks the lines.
TEST(Compose, AListIsItsLinesComposedOneByOne)
{
    RenameOptions numbered = trip();
    numbered.numberBefore = numbered.decrement = true;
    numbered.edtvalue = "-7";
    RenameOptions replaced;
    replaced.cbNewname = replaced.cbInitNo = false;
    replaced.edtOldpart = "IMG";
    replaced.edtNewpart = "照片";
    replaced.rbRename = false;
    replaced.lbpath = "D:\\out";
    for (const RenameOptions& o : {trip(), numbered, replaced}) {
        for (const std::size_t firstK : {0u, 9u, 998u}) {
            const std::string text = "C:\\pics\\IMG_1.jpg\r\nC:\\pics\\b.JPG\rC:\\c\n\r\nC:IMG.x.gif\r\n.jpg";
            std::vector<std::string> expected;
            std::size_t k = firstK;
            for (const std::string& line : lists::splitLines(text))
                expected.push_back(renaming::composeEntry(line, k++, o, true).path);
            EXPECT_EQ(renaming::composeList(text, firstK, o, true), lists::joinLines(expected)) << firstK;
        }
    }
    EXPECT_EQ(renaming::composeList("", 0, trip(), false), "");
}

}  // namespace
