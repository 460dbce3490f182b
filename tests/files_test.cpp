#include <gtest/gtest.h>

#include "platform/files.h"
#include "support/temp_folder.h"

// Missing, oversized and partly read files are covered through the files
// that use them (settings, logs, macros, batch and trace files).
namespace {

TEST(Files, OverwriteGivesTheNewBytesAndLeavesNoTemporaryFile) {
    TempFolder folder;
    std::string bytes("a\0b\r\n\xFF", 6);
    ASSERT_TRUE(WriteFileBytes(folder.File(u"設定 한국.bin"), "long old content"));
    ASSERT_TRUE(WriteFileBytes(folder.File(u"設定 한국.bin"), bytes));
    std::string back;
    EXPECT_EQ(ReadFileBytes(folder.File(u"設定 한국.bin"), back, 100), FileReadResult::Ok);
    EXPECT_EQ(back, bytes);
    EXPECT_FALSE(FileExists(folder.File(u"設定 한국.bin.new")));
    EXPECT_TRUE(DeleteFileAt(folder.File(u"設定 한국.bin")));
    EXPECT_FALSE(FileExists(folder.File(u"設定 한국.bin")));
}

TEST(Files, DirectoriesAreNotFiles) {
    TempFolder folder;
    ASSERT_TRUE(CreateDirectoryAt(folder.File(u"ipaddress")));
    EXPECT_TRUE(CreateDirectoryAt(folder.File(u"ipaddress")));  // already there
    EXPECT_FALSE(FileExists(folder.File(u"ipaddress")));
    std::string bytes;
    EXPECT_NE(ReadFileBytes(folder.File(u"ipaddress"), bytes, 100), FileReadResult::Ok);
    bool notFinished = true;
    EXPECT_FALSE(WriteFileBytes(folder.File(u"missing\\sub.txt"), "x", &notFinished));
    EXPECT_FALSE(notFinished);  // not even created
    // Written beside the folder, but it cannot take the folder's place.
    EXPECT_FALSE(WriteFileBytes(folder.File(u"ipaddress"), "x", &notFinished));
    EXPECT_TRUE(notFinished);
    EXPECT_FALSE(FileExists(folder.File(u"ipaddress.new")));
}

TEST(Files, RelativePathsFollowTheWorkingDirectory) {
    TempFolder folder;
    std::u16string before = WorkingDirectory();
    ASSERT_TRUE(SetWorkingDirectory(folder.Path()));
    ASSERT_TRUE(WriteFileBytes(u"relative.txt", "r"));
    EXPECT_EQ(folder.ReadBytes(u"relative.txt"), "r");
    EXPECT_TRUE(SetWorkingDirectory(before));
    EXPECT_FALSE(SetWorkingDirectory(folder.File(u"no-such-folder")));
    EXPECT_NE(ExecutablePath().find(u"tests"), std::u16string::npos);
}

}  // namespace
