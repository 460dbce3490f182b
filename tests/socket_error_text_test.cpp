#include <gtest/gtest.h>

#include <string>

#include "common/app_settings.h"
#include "connection/socket_error_text.h"
#include "platform/message_box.h"
#include "platform/text.h"

namespace {

std::string Text(int32_t language, int32_t bindMode, int32_t code, std::u16string_view call) {
    AppSettings settings;
    settings.Language = language;
    settings.BindMode = bindMode;
    return Utf16ToUtf8(GetSocketErrorText(settings, code, call));
}

// Language 0 is Japanese, every other number English; unknown codes are other
// errors; 10048 asks to wait only after an explicit bind (a bound port in use
// is checked on real sockets in the connection tests).
TEST(SocketErrorText, TextsByCodeLanguageAndCall) {
    EXPECT_EQ(Text(-1, 0, 10061, u"connect"), "Connection refused.");
    EXPECT_EQ(Text(0, 0, 10113, u"bind"), "その他エラー");
    EXPECT_EQ(Text(0, 1, 10048, u"listen"), "IPアドレス＋ポート番号は既に使用されています。\r\n 約２分後に再度試してみて下さい");
    EXPECT_EQ(Text(1, 1, 10048, u"connect"), "Address is already in use.");
    EXPECT_EQ(Text(1, 2, 10048, u"bind"), "Address is already in use.");
}

// Shutdown has a table of its own (codes only the main table knows are other
// errors) and names the side in the caption; the longest text fits whole.
TEST(SocketErrorBox, ShutdownTextsAndTheSideInTheCaption) {
    AppSettings saved = g_Settings;
    RecordingMessageBox boxes;
    g_Settings.Language = 1;
    ShowShutdownError(10060, 1);
    ShowShutdownError(10036, 2);
    ShowShutdownError(10057, 3);
    g_Settings = saved;
    auto shown = boxes.Boxes();
    ASSERT_EQ(shown.size(), 3u);
    EXPECT_EQ(shown[0].text, u"No.10060 :Other errors");
    EXPECT_EQ(shown[0].caption, u"Shutdown(c)");
    EXPECT_EQ(shown[1].caption, u"Shutdown(p)");
    EXPECT_EQ(shown[1].text.size(), kSocketErrorTextCapacity - 2);
    EXPECT_TRUE(shown[1].text.ends_with(u"callback function."));
    EXPECT_EQ(shown[2].text, u"No.10057 :The socket is not connected. ");
    EXPECT_EQ(shown[2].caption, u"Shutdown");
}

}  // namespace
