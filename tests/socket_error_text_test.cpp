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

std::string U8(std::u16string_view text) { return Utf16ToUtf8(text); }

AppSettings Settings(int32_t language, int32_t bindMode = 0) {
    AppSettings settings;
    settings.Language = language;
    settings.BindMode = bindMode;
    return settings;
}

// The message boxes read the program's settings; each test puts them back.
class SocketErrorBox : public ::testing::Test {
protected:
    void SetUp() override { saved_ = g_Settings; }
    void TearDown() override { g_Settings = saved_; }

    AppSettings saved_;
    RecordingMessageBox boxes_;
};

// Language 0 is Japanese, every other number English; the call name and the
// bind mode only matter for 10048. The radicals are written as escapes so that
// a common ideograph in their place cannot pass unnoticed.
TEST(SocketErrorText, TextsByCodeLanguageAndCall) {
    const struct {
        int32_t language, bindMode, code;
        std::u16string_view call, text;
    } cases[] = {
        {0, 1, 8, u"bind", u"使\u2F64可能なメモリが不\u2F9Cしています。"},
        {7, 1, 8, u"bind", u"nsufficient memory available."},
        {0, 0, 6, u"socket", u"指定されたイベント オブジェクト ハンドルが無効です。"},
        {0, 0, 10035, u"connect", u"リソースは\u2F00時的に使\u2F64できません。"},
        {-1, 0, 10061, u"connect", u"Connection refused."},
        {1, 0, 10112, u"connect", u"Database query rejected."},
        {0, 0, 10110, u"connect", u"これ以上の結果はありません。"},
        {1, 0, 10102, u"connect", u"There are no better results."},  // paired codes share a text
        {1, 0, 10103, u"connect", u"Call canceled."},
        // Codes without a row.
        {0, 0, 0, u"bind", u"その他エラー"},
        {1, 0, 10010, u"bind", u"Other errors"},
        {1, 0, 10113, u"bind", u"Other errors"},
        {1, 0, -10048, u"bind", u"Other errors"},
        {1, 0, INT32_MAX, u"bind", u"Other errors"},
        // 10048 asks to wait only after an explicit bind.
        {1, 1, 10048, u"bind", u"Address is already in use.\r\n Please try again in about 2 minutes"},
        {0, 1, 10048, u"bind", u"IPアドレス＋ポート番号は既に使用されています。\r\n 約２分後に再度試してみて下さい"},
        {3, 1, 10048, u"listen", u"Address is already in use.\r\n Please try again in about 2 minutes"},
        {1, 1, 10048, u"socket", u"Address is already in use.\r\n Please try again in about 2 minutes"},
        {1, 1, 10048, u"connect", u"Address is already in use."},
        {0, 1, 10048, u"connect", u"IPアドレス＋ポート番号は既に使用されています。"},
        {1, 0, 10048, u"bind", u"Address is already in use."},
        {1, 2, 10048, u"bind", u"Address is already in use."},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(U8(GetSocketErrorText(Settings(c.language, c.bindMode), c.code, c.call)), U8(c.text))
            << "code " << c.code << " language " << c.language << " bind_mode " << c.bindMode;
    }
}

TEST_F(SocketErrorBox, ShowsCodeAndTextCaptionedWithTheCall) {
    const struct {
        int32_t language;
        std::u16string_view call;
        int32_t code;
        std::u16string_view text;
    } cases[] = {
        {0, u"connect", 10060, u"No.10060 :接続がタイムアウトしました。"},
        {2, u"connect", 10060, u"No.10060 :Connection timed out."},
        {1, u"socket", -1, u"No.-1 :Other errors"},
        {0, u"closesocket(CS)", 10054, u"No.10054 :ピアによる接続のリセット。"},
    };
    WindowHandle owner = &boxes_;  // any non-null handle; it is only passed on
    for (const auto& c : cases) {
        g_Settings.Language = c.language;
        boxes_.Clear();
        ShowSocketErrorCode(owner, c.call, c.code);
        auto shown = boxes_.Boxes();
        ASSERT_EQ(shown.size(), 1u);
        EXPECT_EQ(U8(shown[0].text), U8(c.text));
        EXPECT_EQ(U8(shown[0].caption), U8(c.call) + "_Error");
        EXPECT_EQ(shown[0].style, uint32_t{kMbOk});
        EXPECT_EQ(shown[0].owner, owner);
    }
    // An overlong call name is cut to the caption buffer.
    std::u16string call(300, u'x');
    boxes_.Clear();
    ShowSocketErrorCode(nullptr, call, 10060);
    ASSERT_EQ(boxes_.Count(), 1u);
    EXPECT_EQ(boxes_.Boxes()[0].caption, call.substr(0, kSocketErrorTextCapacity - 1));
}

// Shutdown has a table of its own; codes only the main table knows are other errors.
TEST_F(SocketErrorBox, ShutdownTextsAndTheSideInTheCaption) {
    const struct {
        int32_t language, code;
        int side;
        std::u16string_view text, caption;
    } cases[] = {
        {1, 10060, 1, u"No.10060 :Other errors", u"Shutdown(c)"},
        {0, 10048, 1, u"No.10048 :その他エラー", u"Shutdown(c)"},
        {1, 10054, 2,
         u"No.10054 :The virtual circuit was reset by the remote side executing a hard or abortive close. ",
         u"Shutdown(p)"},
        {1, 10057, 0, u"No.10057 :The socket is not connected. ", u"Shutdown"},
        {0, 10057, 3, u"No.10057 :ソケットは接続されていません。", u"Shutdown"},
        {1, 10022, -1, u"No.10022 :\tThe how parameter is not valid, or is not consistent with the socket type. ",
         u"Shutdown"},
        // The longest text the tables can produce fills all but the terminator.
        {1, 10036, 1,
         u"No.10036 :A blocking Windows Sockets 1.1 call is in progress, or the service provider is still "
         u"processing a callback function.",
         u"Shutdown(c)"},
    };
    for (const auto& c : cases) {
        g_Settings.Language = c.language;
        boxes_.Clear();
        ShowShutdownError(c.code, c.side);
        auto shown = boxes_.Boxes();
        ASSERT_EQ(shown.size(), 1u);
        EXPECT_EQ(U8(shown[0].text), U8(c.text));
        EXPECT_EQ(U8(shown[0].caption), U8(c.caption));
        EXPECT_EQ(shown[0].owner, nullptr);
    }
    EXPECT_EQ(std::u16string_view(cases[6].text).size(), kSocketErrorTextCapacity - 2);
}

#ifndef _WIN32

// Refused connects and ports in use are checked on real sockets in the connection tests.
TEST(SocketErrnoMapping, ErrnoBecomesTheWinsockCodeOrStaysItself) {
    const struct {
        int err;
        int32_t code;
    } cases[] = {
        {EINTR, 10004},   {EWOULDBLOCK, 10035}, {EAGAIN, 10035},    {EINPROGRESS, 10036},
        {ENOTSOCK, 10038}, {EADDRINUSE, 10048}, {ECONNRESET, 10054}, {ETIMEDOUT, 10060},
        {ECONNREFUSED, 10061}, {ESTALE, 10070}, {EREMOTE, 10071},
        // No Winsock counterpart: the system's own number is kept.
        {0, 0}, {EPERM, EPERM}, {ENOMEM, ENOMEM}, {EPIPE, EPIPE}, {-1, -1},
    };
    for (const auto& c : cases) EXPECT_EQ(WinsockCodeFromErrno(c.err), c.code) << "errno " << c.err;
}

#endif  // _WIN32

}  // namespace
