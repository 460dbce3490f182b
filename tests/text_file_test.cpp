#include <gtest/gtest.h>

#include "platform/text_file.h"

namespace {

TEST(TextFile, DecodesEveryMarkedEncodingAndFallsBackToAnsi) {
    EXPECT_EQ(DecodeTextBytes(std::string("\xFF\xFE" "A\0\xE3\x65", 6)), u"A\u65E3");
    EXPECT_EQ(DecodeTextBytes(std::string("\xFE\xFF\0A\x65\xE3", 6)), u"A\u65E3");
    EXPECT_EQ(DecodeTextBytes("\xEF\xBB\xBF\xE4\xB8\x8D"), u"\u4E0D");
    EXPECT_EQ(DecodeTextBytes("plain=1"), u"plain=1");
    EXPECT_EQ(DecodeTextBytes(std::string("\xFF\xFE" "A\0B", 5)), u"A");  // an odd tail is dropped
    EXPECT_EQ(DetectTextEncoding("caf\xE9"), TextEncoding::Ansi);
    std::u16string decoded = DecodeTextBytes("caf\xE9");
    ASSERT_EQ(decoded.size(), 4u);  // one character for the one odd byte
    EXPECT_EQ(decoded.substr(0, 3), u"caf");
    EXPECT_EQ(EncodeUtf16LeWithBom(u"A\u4E0D"), std::string("\xFF\xFE" "A\0\x0D\x4E", 6));
}

}  // namespace
