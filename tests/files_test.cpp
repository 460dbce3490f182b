#include <gtest/gtest.h>

#include "platform/files.h"
#include "platform/files_backend.h"
#include "support/temp_folder.h"

// Missing, oversized and partly read files are covered through the files
// that use them (settings, logs, macros, batch and trace files).
namespace {

TEST(Files, WritesGoThroughATemporaryFileThatNeverStays) {
    TempFolder folder;
    std::string bytes("a\0b\r\n\xFF", 6);
    ASSERT_TRUE(WriteFileBytes(folder.File(u"設定 한국.bin"), "long old content"));
    ASSERT_TRUE(WriteFileBytes(folder.File(u"設定 한국.bin"), bytes));
    std::string back;
    EXPECT_EQ(ReadFileBytes(folder.File(u"設定 한국.bin"), back, 100), FileReadResult::Ok);
    EXPECT_EQ(back, bytes);
    EXPECT_FALSE(FileExists(folder.File(u"設定 한국.bin.new")));
    EXPECT_TRUE(FileCanBeWritten(folder.File(u"probe")) && !FileExists(folder.File(u"probe.new")));
    EXPECT_TRUE(DeleteFileAt(folder.File(u"設定 한국.bin")));
    EXPECT_FALSE(FileExists(folder.File(u"設定 한국.bin")));
    // Written beside a folder of that name, it cannot take the folder's place.
    ASSERT_TRUE(CreateDirectoryAt(folder.File(u"ipaddress")));
    EXPECT_FALSE(FileExists(folder.File(u"ipaddress")));
    bool notFinished = false;
    EXPECT_FALSE(WriteFileBytes(folder.File(u"ipaddress"), "x", &notFinished));
    EXPECT_TRUE(notFinished);
    EXPECT_FALSE(FileExists(folder.File(u"ipaddress.new")));
    // A write the system refuses (here: to a file open only for reading) is no success.
    ASSERT_TRUE(WriteFileBytes(folder.File(u"kept"), "x"));
    bool missing = false;
    NativeFile reading = OpenFileForReading(folder.File(u"kept"), kFileHeadShared, missing);
    ASSERT_NE(reading, kNoFile);
    EXPECT_FALSE(WriteAllBytes(reading, "more"));
    EXPECT_TRUE(CloseNativeFile(reading));
}

// A rewrite that changes the size changes the stamp whatever the clock's
// grain; a folder or a missing file is no file.
TEST(Files, StampTellsVersionsApart) {
    TempFolder folder;
    std::u16string path = folder.File(u"rules.txt");
    EXPECT_EQ(FileStampOf(path), FileStamp{});
    ASSERT_TRUE(WriteFileBytes(path, "on 'A' reply 'B'\n"));
    FileStamp first = FileStampOf(path);
    EXPECT_TRUE(first.Exists && first.Size == 17 && first.WriteTime != 0);
    EXPECT_EQ(FileStampOf(path), first);
    ASSERT_TRUE(WriteFileBytes(path, "on 'A' reply 'BB'\n"));
    EXPECT_NE(FileStampOf(path), first);
    EXPECT_EQ(FileStampOf(folder.Path()), FileStamp{});
}

}  // namespace
