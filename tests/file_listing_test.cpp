#include <gtest/gtest.h>

#include <algorithm>

#include "platform/code_page.h"
#include "platform/files.h"
#include "support/temp_folder.h"

namespace {

TEST(ReadFileHead, ReadsAtMostTheLimitFromTheStart) {
    TempFolder folder;
    folder.WriteBytes(u"log.txt", "0123456789");
    const struct {
        size_t limit;
        std::string expected;
    } cases[] = {{0, ""}, {4, "0123"}, {1000, "0123456789"}};
    for (const auto& c : cases) {
        for (unsigned flags : {unsigned{kFileHeadShared}, kFileHeadExclusive | kFileHeadCreateMissing}) {
            std::string bytes = "stale";
            bool closeFailed = true;
            EXPECT_EQ(ReadFileHead(folder.File(u"log.txt"), bytes, c.limit, flags, &closeFailed), FileReadResult::Ok);
            EXPECT_EQ(bytes, c.expected);
            EXPECT_FALSE(closeFailed);
        }
    }
}

TEST(ReadFileHead, MissingFilesAreCreatedOnlyWhenAsked) {
    TempFolder folder;
    std::string bytes = "stale";
    EXPECT_EQ(ReadFileHead(folder.File(u"a.txt"), bytes, 10, kFileHeadExclusive), FileReadResult::Missing);
    EXPECT_TRUE(bytes.empty());
    EXPECT_FALSE(FileExists(folder.File(u"a.txt")));
    EXPECT_EQ(ReadFileHead(folder.File(u"a.txt"), bytes, 10, kFileHeadCreateMissing), FileReadResult::Ok);
    EXPECT_TRUE(FileExists(folder.File(u"a.txt")));
    EXPECT_EQ(ReadFileHead(folder.File(u"none\\a.txt"), bytes, 10, kFileHeadCreateMissing), FileReadResult::Missing);
    ASSERT_TRUE(CreateDirectoryAt(folder.File(u"dir")));
    EXPECT_EQ(ReadFileHead(folder.File(u"dir"), bytes, 10, kFileHeadCreateMissing), FileReadResult::Failed);
}

TEST(ListFileNames, PlainFilesOnly) {
    TempFolder folder;
    std::vector<std::u16string> names{u"stale"};
    EXPECT_TRUE(ListFileNames(folder.Path(), names));
    EXPECT_TRUE(names.empty());
    for (std::u16string_view name : {u"a.bat", u"b c.txt", u"한국.bat", u".hidden"}) folder.WriteBytes(name, "x");
    ASSERT_TRUE(CreateDirectoryAt(folder.File(u"sub")));
    ASSERT_TRUE(ListFileNames(folder.Path(), names));
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::u16string>{u".hidden", u"a.bat", u"b c.txt", u"한국.bat"}));
    EXPECT_FALSE(ListFileNames(folder.File(u"missing"), names));
    EXPECT_TRUE(names.empty());
}

TEST(Utf16ToAnsiNoBestFit, NeverTurnsALookAlikeIntoPunctuation) {
    bool lossy = true;
    EXPECT_EQ(Utf16ToAnsiNoBestFit(u"Ethernet 2", &lossy), "Ethernet 2");
    EXPECT_FALSE(lossy);
    // Fullwidth and typographic forms of " % & < > | \ and the yen sign,
    // which some code pages best-fit to a backslash.
    for (std::u16string_view text : {u"\uFF02", u"\u201C", u"\uFF05", u"\uFF06", u"\uFF1C", u"\uFF1E", u"\uFF5C",
                                     u"\uFF3C", u"\u00A5", u"\u2033"}) {
        std::string out = Utf16ToAnsiNoBestFit(text, &lossy);
        EXPECT_EQ(out.find_first_of("\"%&<>|\\"), std::string::npos) << static_cast<int>(text[0]);
    }
    Utf16ToAnsiNoBestFit(u"a\xD800" u"b", &lossy);  // half a surrogate pair
    EXPECT_TRUE(lossy);
}

}  // namespace
