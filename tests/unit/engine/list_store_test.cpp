#include <gtest/gtest.h>

#include "lists/list_store.h"
#include "platform/headless/headless_fs.h"
#include "platform/errors.h"

using lists::ListFile;
using lists::ListPair;

namespace {

struct SplitCase {
    std::string text;
    std::vector<std::string> lines;
};

class SplitLines : public testing::TestWithParam<SplitCase> {};

TEST_P(SplitLines, BreaksAtEveryKindOfLineEnd)
{
    EXPECT_EQ(lists::splitLines(GetParam().text), GetParam().lines);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SplitLines,
    testing::Values(SplitCase{"", {}}, SplitCase{"a", {"a"}}, SplitCase{"a\r\n", {"a"}},
                    SplitCase{"a\r\nb\r\n", {"a", "b"}}, SplitCase{"a\rb\nc", {"a", "b", "c"}},
                    SplitCase{"a\r\n\r\nb\r\n", {"a", "", "b"}}, SplitCase{"\r\n", {""}},
                    SplitCase{"\n\r", {"", ""}}, SplitCase{" a \r\n\tb\r\n", {" a ", "\tb"}}),
                         [](const auto& info) { return std::to_string(info.index); });

class Store : public testing::Test {
protected:
    platform::headless::HeadlessFileSystem fs{"C:\\Program Files\\nomerra\\nomerra.exe"};
    lists::ListStore store{fs};
};

TEST_F(Store, FilesLieBesideTheProgramNotInTheCurrentFolder)
{
    fs.setCurrentFolder("D:\\work");
    EXPECT_EQ(store.pathOf(ListFile::OriginalPaths), "C:\\Program Files\\nomerra\\ThumbPath.db");
    EXPECT_EQ(store.pathOf(ListFile::NewNames), "C:\\Program Files\\nomerra\\Thumb1Name.db");
}

TEST_F(Store, RewriteWritesPathsAndNamePartsWithCrLfAfterEveryLine)
{
    store.rewrite(ListPair::Original, {"C:\\a\\x.jpg", "C:\\b\\y"});
    EXPECT_EQ(fs.content(store.pathOf(ListFile::OriginalPaths)), "C:\\a\\x.jpg\r\nC:\\b\\y\r\n");
    EXPECT_EQ(fs.content(store.pathOf(ListFile::OriginalNames)), "x.jpg\r\ny\r\n");
}

TEST_F(Store, AnEmptyPairIsTwoZeroByteFiles)
{
    store.rewrite(ListPair::New, {"C:\\a\\x.jpg"});
    store.rewrite(ListPair::New, {});
    ASSERT_TRUE(store.exists(ListFile::NewPaths));
    ASSERT_TRUE(store.exists(ListFile::NewNames));
    EXPECT_EQ(fs.content(store.pathOf(ListFile::NewPaths)), "");
    EXPECT_EQ(fs.content(store.pathOf(ListFile::NewNames)), "");
}

TEST_F(Store, TextIsInTheAnsiCodePageAndTrailByte5CStaysInTheName)
{
    store.rewrite(ListPair::Original, {"D:\\照片\\淺.jpg"});
    const std::string names = fs.content(store.pathOf(ListFile::OriginalNames));
    EXPECT_EQ(names, "\x9C\x5C.jpg\r\n");
    EXPECT_EQ(store.read(ListFile::OriginalPaths), std::vector<std::string>{"D:\\照片\\淺.jpg"});
}

TEST_F(Store, AppendAddsAfterExistingEntriesOrCreatesThePair)
{
    store.appendOriginal({"C:\\a\\1.jpg"});
    store.appendOriginal({"C:\\a\\2.jpg", "C:\\a\\1.jpg"});
    EXPECT_EQ(store.read(ListFile::OriginalPaths),
              (std::vector<std::string>{"C:\\a\\1.jpg", "C:\\a\\2.jpg", "C:\\a\\1.jpg"}));
    EXPECT_EQ(fs.content(store.pathOf(ListFile::OriginalNames)), "1.jpg\r\n2.jpg\r\n1.jpg\r\n");
}

TEST_F(Store, ReadingKeepsEmptyLinesAndSpaces)
{
    fs.addFile(store.pathOf(ListFile::NewPaths), "a\r\n\r\n b \nc\r");
    EXPECT_EQ(store.read(ListFile::NewPaths), (std::vector<std::string>{"a", "", " b ", "c"}));
}

// A full drive or a held file at any step of a rewrite or an append leaves the old pair in
// force, both files whole, and no temporary file behind.
TEST_F(Store, AFailedWriteLeavesTheOldPairWhole)
{
    using platform::headless::Op;
    const std::vector<std::string> old = {"C:\\w\\a.jpg", "C:\\w\\b.jpg"};
    for (Op failing : {Op::Write, Op::Replace})
        for (int nth = 1; nth <= 3; ++nth)
            for (bool append : {false, true}) {
                fs.fault = nullptr;
                store.rewrite(ListPair::Original, old);
                const auto files = fs.files();
                int seen = 0;
                fs.fault = [&](Op op, const std::string&) {
                    return op == failing && ++seen == nth ? platform::err::diskFull : 0u;
                };
                const std::vector<std::string> more(300, "C:\\w\\photo.jpg");
                EXPECT_THROW(append ? (void)store.appendOriginal(more) : store.rewrite(ListPair::Original, more),
                             platform::IoError);
                fs.fault = nullptr;
                EXPECT_EQ(store.read(ListFile::OriginalPaths), old);
                EXPECT_EQ(store.read(ListFile::OriginalNames), (std::vector<std::string>{"a.jpg", "b.jpg"}));
                EXPECT_EQ(fs.files(), files);
                // Still the program's own, as its record says.
                EXPECT_TRUE(store.readOriginal());
            }
}

TEST_F(Store, RemovingAMissingOrLockedFileIsSilent)
{
    EXPECT_NO_THROW(store.remove(ListFile::OriginalPaths));
    fs.addFile(store.pathOf(ListFile::OriginalPaths), "x\r\n");
    fs.fault = [](platform::headless::Op op, const std::string&) {
        return op == platform::headless::Op::Delete ? platform::err::sharingViolation : 0u;
    };
    EXPECT_NO_THROW(store.remove(ListFile::OriginalPaths));
    EXPECT_TRUE(store.exists(ListFile::OriginalPaths));
}

TEST_F(Store, AFailedWriteThrowsTheIoErrorOfItsCode)
{
    fs.fault = [](platform::headless::Op, const std::string&) { return platform::err::sharingViolation; };
    try {
        store.rewrite(ListPair::Original, {"C:\\a.jpg"});
        FAIL() << "no error";
    } catch (const platform::IoError& e) {
        EXPECT_EQ(e.code(), 32);
        EXPECT_STREQ(e.what(), "I/O error 32");
    }
}

}  // namespace

namespace {

// The lists' folder is often one every program of the user can write: a name the program writes
// its temporaries under may already be a second name (a link) of a file elsewhere. The program
// runs with administrator rights; writing through that name would change the other file.
TEST_F(Store, ALinkPlantedUnderATemporaryNameIsNotWrittenThrough)
{
    fs.addFile("C:\\Windows\\precious.sys", "precious");
    fs.addFile("C:\\pics\\a.jpg", "A");
    store.rewrite(ListPair::Original, {"C:\\pics\\a.jpg"});
    for (ListFile file : lists::allListFiles) {
        // Put there while the command runs, after it has looked for leftovers.
        const std::string temporary = store.pathOf(file) + ".tmp";
        const auto original = store.readOriginal();
        fs.addHardLink("C:\\Windows\\precious.sys", temporary);
        if (file == ListFile::OriginalPaths || file == ListFile::OriginalNames)
            store.rewriteAfterRun({"C:\\pics\\a.jpg"});
        else
            store.rewriteNew("C:\\pics\\b.jpg\r\n", *original);
        EXPECT_EQ(fs.content("C:\\Windows\\precious.sys"), "precious") << temporary;
        EXPECT_FALSE(fs.fileExists(temporary));
    }
    EXPECT_EQ(lists::splitLines(store.readForRun().targets), std::vector<std::string>{"C:\\pics\\b.jpg"});
}

}  // namespace
