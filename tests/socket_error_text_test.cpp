#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "common/app_settings.h"
#include "connection/socket_error_text.h"
#include "platform/message_box.h"
#include "platform/text.h"

#ifndef _WIN32
#include <cerrno>

#include "platform/socket_error.h"
#endif

namespace {

std::string Text(int32_t language, int32_t bindMode, int32_t code, std::u16string_view call) {
    AppSettings settings;
    settings.Language = language;
    settings.BindMode = bindMode;
    return Utf16ToUtf8(GetSocketErrorText(settings, code, call));
}

// Language 0 is Japanese, every other number English; the call name and the
// bind mode only matter for 10048, which asks to wait after an explicit bind.
TEST(SocketErrorText, TextsByCodeLanguageAndCall) {
    EXPECT_EQ(Text(-1, 0, 10061, u"connect"), "Connection refused.");
    EXPECT_EQ(Text(1, 0, 10110, u"connect"), Text(1, 0, 10102, u"connect"));  // paired codes share a text
    EXPECT_EQ(Text(0, 0, 0, u"bind"), "その他エラー");
    EXPECT_EQ(Text(1, 0, 10113, u"bind"), "Other errors");
    EXPECT_EQ(Text(0, 1, 10048, u"bind"), "IPアドレス＋ポート番号は既に使用されています。\r\n 約２分後に再度試してみて下さい");
    EXPECT_EQ(Text(3, 1, 10048, u"listen"), "Address is already in use.\r\n Please try again in about 2 minutes");
    EXPECT_EQ(Text(1, 1, 10048, u"connect"), "Address is already in use.");
    EXPECT_EQ(Text(1, 2, 10048, u"bind"), "Address is already in use.");
}

// The boxes read the program's settings; the test puts them back.
TEST(SocketErrorBox, CodeAndTextCaptionedWithTheCallOrTheShutdownSide) {
    AppSettings saved = g_Settings;
    RecordingMessageBox boxes;
    g_Settings.Language = 0;
    WindowHandle owner = &boxes;  // any non-null handle; it is only passed on
    ShowSocketErrorCode(owner, u"closesocket(CS)", 10054);
    g_Settings.Language = 1;
    std::u16string longCall(300, u'x');
    ShowSocketErrorCode(nullptr, longCall, -1);
    // Shutdown has a table of its own: codes only the main table knows are other errors.
    ShowShutdownError(10060, 1);
    ShowShutdownError(10054, 2);
    ShowShutdownError(10057, 3);
    ShowShutdownError(10036, 1);  // the longest text the tables give
    g_Settings = saved;

    auto shown = boxes.Boxes();
    ASSERT_EQ(shown.size(), 6u);
    EXPECT_EQ(Utf16ToUtf8(shown[0].text), "No.10054 :ピアによる接続のリセット。");
    EXPECT_EQ(shown[0].caption, u"closesocket(CS)_Error");
    EXPECT_EQ(shown[0].style, uint32_t{kMbOk});
    EXPECT_EQ(shown[0].owner, owner);
    EXPECT_EQ(shown[1].text, u"No.-1 :Other errors");
    EXPECT_EQ(shown[1].caption, longCall.substr(0, kSocketErrorTextCapacity - 1));
    EXPECT_EQ(shown[2].text, u"No.10060 :Other errors");
    EXPECT_EQ(shown[2].caption, u"Shutdown(c)");
    EXPECT_EQ(shown[3].text,
              u"No.10054 :The virtual circuit was reset by the remote side executing a hard or abortive close. ");
    EXPECT_EQ(shown[3].caption, u"Shutdown(p)");
    EXPECT_EQ(shown[4].caption, u"Shutdown");
    EXPECT_EQ(shown[5].text.size(), kSocketErrorTextCapacity - 2);  // whole: it fits the buffer
    EXPECT_TRUE(shown[5].text.ends_with(u"callback function."));
    EXPECT_EQ(shown[5].owner, nullptr);
}

#ifndef _WIN32

// Refused connects and ports in use are checked on real sockets in the connection tests.
TEST(SocketErrnoMapping, ErrnoBecomesTheWinsockCodeOrStaysItself) {
    EXPECT_EQ(WinsockCodeFromErrno(EAGAIN), 10035);
    EXPECT_EQ(WinsockCodeFromErrno(EINPROGRESS), 10036);
    EXPECT_EQ(WinsockCodeFromErrno(EREMOTE), 10071);
    EXPECT_EQ(WinsockCodeFromErrno(EPIPE), EPIPE);  // no Winsock counterpart: the system's own number
    EXPECT_EQ(WinsockCodeFromErrno(-1), -1);
}

#endif  // _WIN32

}  // namespace
