#include <gtest/gtest.h>

#include "platform/files.h"
#include "platform/ini_file.h"
#include "support/temp_folder.h"

namespace {

IniDocument Parsed(std::u16string_view text) {
    IniDocument doc;
    doc.Parse(text);
    return doc;
}

TEST(IniLookup, FollowsTheProfileRules) {
    IniDocument doc = Parsed(
        u"; comment=1\r\n"
        u"orphan=0\n"        // a line feed or a carriage return alone ends a line too
        u"[Other]\r"
        u"port_no=7\r\n"
        u";old=1\r\n"
        u"  [ Lanvisor ]  \r\n"
        u"[Broken\r\n"      // no section
        u"  Port_No  =  1234  \r\n"
        u"quoted=\"  spaced  \"\r\n"
        u"half=\"x\r\n"
        u"empty=\r\n"
        u"letters=abc\r\n"
        u"novalue\r\n"
        u"eq=a=b\r\n");
    const struct {
        std::u16string_view section, key;
        int32_t fallback, expectedInt;
    } ints[] = {
        {u"lanvisor", u"PORT_NO", 0, 1234},  // names ignore case, blanks trimmed
        {u"Other", u"port_no", 0, 7},
        {u"Other", u";old", 9, 9},  // a comment is no key
        {u"Lanvisor", u"empty", 77, 77},  // empty value counts as missing
        {u"Lanvisor", u"letters", 88, 0},   // a value without digits is 0
        {u"Lanvisor", u"orphan", 9, 9},  // keys before any section belong to none
        {u"Lanvisor", u"novalue", 9, 9},
    };
    for (const auto& c : ints)
        EXPECT_EQ(doc.GetInt(c.section, c.key, c.fallback), c.expectedInt) << std::u16string(c.key).size();

    EXPECT_EQ(doc.GetString(u"Lanvisor", u"quoted", u"", 100), u"  spaced  ");
    EXPECT_EQ(doc.GetString(u"Lanvisor", u"half", u"", 100), u"\"x");
    EXPECT_EQ(doc.GetString(u"Lanvisor", u"eq", u"", 100), u"a=b");
    std::u16string value;  // an empty value is there; a missing key is not
    EXPECT_TRUE(doc.Lookup(u"Lanvisor", u"empty", value) && !doc.Lookup(u"Lanvisor", u"missing", value));
}

TEST(IniSet, KeepsEverythingElse) {
    IniDocument doc = Parsed(
        u"[Lanvisor]\r\n"
        u"wsa_ver=3\r\n"
        u"; a note of the user\r\n"
        u"future_key=kept\r\n"
        u"\r\n"
        u"[Other]\r\n"
        u"x=1\r\n"
        u"[Empty]\r\n");
    doc.Set(u"LANVISOR", u"WSA_VER", u"4");
    doc.Set(u"Empty", u"e", u"1");
    doc.Set(u"Lanvisor", u"new_key", u"v");
    doc.Set(u"Third", u"k", u"line1\r\nline2");  // a value keeps its first line
    EXPECT_EQ(doc.Text(),
              u"[Lanvisor]\r\n"
              u"wsa_ver=4\r\n"
              u"; a note of the user\r\n"
              u"future_key=kept\r\n"
              u"new_key=v\r\n"
              u"\r\n"
              u"[Other]\r\n"
              u"x=1\r\n"
              u"[Empty]\r\n"
              u"e=1\r\n"
              u"[Third]\r\n"
              u"k=line1\r\n");
}

// A missing file gives the defaults and is created by a write, as UTF-16;
// strings are cut to the caller's buffer.
TEST(IniFile, WritesUtf16AndReadsBackIntoTheCallersBuffer) {
    TempFolder folder;
    std::u16string path = folder.File(u"Lanvisor.ini");
    EXPECT_EQ(ReadIniInt(path, u"Lanvisor", u"pl_time", 300), 300);
    char16_t out[64] = u"junk";
    EXPECT_EQ(ReadIniString(path, u"Lanvisor", u"macro_filename", out, 8), 0u);
    EXPECT_EQ(out[0], 0);
    ASSERT_TRUE(WriteIniString(path, u"Lanvisor", u"mypcname", u"計測用パソコン"));
    EXPECT_EQ(folder.ReadBytes(u"Lanvisor.ini").substr(0, 2), "\xFF\xFE");
    EXPECT_EQ(ReadIniString(path, u"lanvisor", u"MYPCNAME", out, 64), 7u);
    EXPECT_EQ(std::u16string(out), u"計測用パソコン");
    ASSERT_TRUE(WriteIniString(path, u"S", u"k", std::u16string(100, u'x')));
    EXPECT_EQ(ReadIniString(path, u"S", u"k", out, 64), 63u);
}

TEST(IniFile, AnUnreadableFileIsNotReplaced) {
    TempFolder folder;
    std::string huge(kMaxIniFileBytes + 1, ';');
    folder.WriteBytes(u"huge.ini", huge);
    EXPECT_FALSE(WriteIniString(folder.File(u"huge.ini"), u"S", u"k", u"v"));
    EXPECT_EQ(folder.ReadBytes(u"huge.ini").size(), huge.size());
    EXPECT_EQ(ReadIniInt(folder.File(u"huge.ini"), u"S", u"k", 3), 3);
}

}  // namespace
