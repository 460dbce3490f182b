#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
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

// Language 0 is Japanese, every other number English; the call name and the
// bind mode only matter for 10048, which asks to wait after an explicit bind.
TEST(SocketErrorText, TextsByCodeLanguageAndCall) {
    const std::u16string_view inUse = u"Address is already in use.";
    const std::u16string_view wait = u"Address is already in use.\r\n Please try again in about 2 minutes";
    const struct {
        int32_t language, bindMode, code;
        std::u16string_view call, text;
    } cases[] = {
        {-1, 0, 10061, u"connect", u"Connection refused."},
        {1, 0, 10102, u"connect", u"There are no better results."},
        {1, 0, 10110, u"connect", u"There are no better results."},  // paired codes share a text
        {0, 0, 0, u"bind", u"その他エラー"},
        {1, 0, 10113, u"bind", u"Other errors"},
        {1, 0, -10048, u"bind", u"Other errors"},
        {0, 1, 10048, u"bind", u"IPアドレス＋ポート番号は既に使用されています。\r\n 約２分後に再度試してみて下さい"},
        {3, 1, 10048, u"listen", wait},
        {1, 1, 10048, u"connect", inUse},
        {1, 0, 10048, u"bind", inUse},
        {1, 2, 10048, u"bind", inUse},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(U8(GetSocketErrorText(Settings(c.language, c.bindMode), c.code, c.call)), U8(c.text))
            << "code " << c.code << " language " << c.language << " bind_mode " << c.bindMode;
    }
}

class SocketErrorBox : public ::testing::Test {
protected:
    void SetUp() override { saved_ = g_Settings; }
    void TearDown() override { g_Settings = saved_; }

    // The one box shown by `show`.
    RecordingMessageBox::Shown OneBox(int32_t language, const std::function<void()>& show) {
        g_Settings.Language = language;
        boxes_.Clear();
        show();
        EXPECT_EQ(boxes_.Count(), 1u);
        return boxes_.Count() ? boxes_.Boxes()[0] : RecordingMessageBox::Shown{};
    }

    AppSettings saved_;
    RecordingMessageBox boxes_;
};

TEST_F(SocketErrorBox, ShowsCodeAndTextCaptionedWithTheCall) {
    WindowHandle owner = &boxes_;  // any non-null handle; it is only passed on
    auto shown = OneBox(0, [&] { ShowSocketErrorCode(owner, u"closesocket(CS)", 10054); });
    EXPECT_EQ(U8(shown.text), U8(u"No.10054 :ピアによる接続のリセット。"));
    EXPECT_EQ(shown.caption, u"closesocket(CS)_Error");
    EXPECT_EQ(shown.style, uint32_t{kMbOk});
    EXPECT_EQ(shown.owner, owner);
    EXPECT_EQ(OneBox(2, [] { ShowSocketErrorCode(nullptr, u"socket", -1); }).text, u"No.-1 :Other errors");
    // An overlong call name is cut to the caption buffer.
    std::u16string call(300, u'x');
    EXPECT_EQ(OneBox(1, [&] { ShowSocketErrorCode(nullptr, call, 10060); }).caption,
              call.substr(0, kSocketErrorTextCapacity - 1));
}

// Shutdown has a table of its own; codes only the main table knows are other errors.
TEST_F(SocketErrorBox, ShutdownTextsAndTheSideInTheCaption) {
    const struct {
        int32_t language, code;
        int side;
        std::u16string_view text, caption;
    } cases[] = {
        {1, 10060, 1, u"No.10060 :Other errors", u"Shutdown(c)"},
        {1, 10054, 2,
         u"No.10054 :The virtual circuit was reset by the remote side executing a hard or abortive close. ",
         u"Shutdown(p)"},
        {0, 10057, 3, u"No.10057 :ソケットは接続されていません。", u"Shutdown"},
        // The longest text the tables can produce fills all but the terminator.
        {1, 10036, 1,
         u"No.10036 :A blocking Windows Sockets 1.1 call is in progress, or the service provider is still "
         u"processing a callback function.",
         u"Shutdown(c)"},
    };
    for (const auto& c : cases) {
        auto shown = OneBox(c.language, [&] { ShowShutdownError(c.code, c.side); });
        EXPECT_EQ(U8(shown.text), U8(c.text));
        EXPECT_EQ(shown.caption, c.caption);
        EXPECT_EQ(shown.owner, nullptr);
    }
    EXPECT_EQ(std::u16string_view(cases[3].text).size(), kSocketErrorTextCapacity - 2);
}

#ifndef _WIN32

// Refused connects and ports in use are checked on real sockets in the connection tests.
TEST(SocketErrnoMapping, ErrnoBecomesTheWinsockCodeOrStaysItself) {
    const struct {
        int err;
        int32_t code;
    } cases[] = {
        {EWOULDBLOCK, 10035}, {EAGAIN, 10035}, {EINPROGRESS, 10036}, {ECONNRESET, 10054}, {EREMOTE, 10071},
        // No Winsock counterpart: the system's own number is kept.
        {0, 0}, {EPIPE, EPIPE}, {-1, -1},
    };
    for (const auto& c : cases) EXPECT_EQ(WinsockCodeFromErrno(c.err), c.code) << "errno " << c.err;
}

#endif  // _WIN32

}  // namespace
