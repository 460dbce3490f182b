#include <gtest/gtest.h>

#include <cstdint>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "common/app_settings.h"
#include "connection/socket_error_text.h"
#include "platform/message_box.h"
#include "platform/text.h"

#ifndef _WIN32
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

#include "platform/socket_error.h"
#endif

namespace {

struct ExpectedText {
    int32_t code;
    std::u16string_view japanese;
    std::u16string_view english;
};

// Every code of the table except 10048, which has its own rule below. The
// radicals in the Japanese texts are written as escapes so that a common
// ideograph in their place cannot pass unnoticed.
constexpr ExpectedText kErrorTexts[] = {
    {6, u"指定されたイベント オブジェクト ハンドルが無効です。", u"The specified event object handle is invalid."},
    {8, u"使\u2F64可能なメモリが不\u2F9Cしています。", u"nsufficient memory available."},
    {87, u"1 つ以上のパラメーターが無効です。", u"One or more parameters are invalid."},
    {995, u"重複する操作が中\u2F4Cされました。", u"Duplicate operation was aborted."},
    {996, u"シグナル状態ではない重複した I/O イベント オブジェクト。", u"Duplicate I/O event object that is not signaled."},
    {997, u"重複する操作は後で完了します。", u"Duplicate operations will be completed later."},
    {10004, u"中断された関数呼び出し。", u"Interrupted function call."},
    {10009, u"ファイル ハンドルが無効です。", u"File handle is invalid."},
    {10013, u"アクセス許可が拒否されました。", u"Permission denied."},
    {10014, u"アドレスが正しくありません。", u"Invalid address."},
    {10022, u"引数が無効です。", u"Invalid argument."},
    {10024, u"開いているファイルが多すぎます。", u"Too many files open."},
    {10035, u"リソースは\u2F00時的に使\u2F64できません。", u"Resource is temporarily unavailable."},
    {10036, u"操作が進\u2F8F中です。", u"Operation in progress."},
    {10037, u"操作は既に進\u2F8F中です。", u"Operation already in progress."},
    {10038, u"\u2FAEソケットに対するソケット操作。", u"Socket operations on non-sockets."},
    {10039, u"宛先アドレスが必要です。", u"Destination address required."},
    {10040, u"メッセージが長すぎます。", u"Message is too long."},
    {10041, u"ソケットのプロトコルの型が間違っています。", u"Wrong socket protocol type."},
    {10042, u"プロトコル オプションが正しくありません。", u"Invalid protocol option."},
    {10043, u"プロトコルはサポートされていません。", u"Protocol not supported."},
    {10044, u"ソケットの種類はサポートされていません。", u"Socket type is not supported."},
    {10045, u"操作はサポートされていません。", u"Operation is not supported."},
    {10046, u"プロトコル ファミリはサポートされていません。", u"Protocol family is not supported."},
    {10047, u"プロトコル ファミリでサポートされていないアドレス ファミリ。", u"Address family not supported by protocol family."},
    {10049, u"要求されたアドレスを割り当てることができません。", u"Unable to allocate requested address."},
    {10050, u"ネットワークがダウンしています。", u"Network is down."},
    {10051, u"ネットワークに到達できません。", u"Network unreachable."},
    {10052, u"ネットワークのリセット時に接続が切断されました。", u"Connection was lost during network reset."},
    {10053, u"ソフトウェアによって接続の中止が発生しました。", u"Software caused a connection abort."},
    {10054, u"ピアによる接続のリセット。", u"Connection reset by peer."},
    {10055, u"使用できるバッファー領域はありません。", u"No buffer space available."},
    {10056, u"ソケットは既に接続されています。", u"Socket is already connected."},
    {10057, u"ソケットが接続されていません。", u"Socket not connected."},
    {10058, u"ソケットのシャットダウン後に送信できません。", u"Unable to send after socket shutdown."},
    {10059, u"参照が多すぎます。", u"Too many references."},
    {10060, u"接続がタイムアウトしました。", u"Connection timed out."},
    {10061, u"接続が拒否されました。", u"Connection refused."},
    {10062, u"名前を翻訳できません。", u"Unable to translate name."},
    {10063, u"名前が\u2ED1すぎます。", u"Name is too long."},
    {10064, u"ホストがダウンしています。", u"Host is down."},
    {10065, u"ホストするルートはありません。", u"There are no routes to host."},
    {10066, u"ディレクトリは空ではありません。", u"Directory is not empty."},
    {10067, u"プロセスが多すぎます。", u"Too many processes."},
    {10068, u"ユーザー クォータを超えました。", u"User quota exceeded."},
    {10069, u"ディスク クォータを超えました。", u"Disk quota exceeded."},
    {10070, u"古いファイル ハンドル参照。", u"Old file handle reference."},
    {10071, u"項目がリモートです。", u"Item is remote."},
    {10091, u"ネットワーク サブシステムは使用できません。", u"Network subsystem is unavailable."},
    {10092, u"Winsock.dllバージョンが範囲外です。", u"Winsock.dll version is out of range."},
    {10093, u"WSAStartup が正常に実行されていません。", u"WSAStartup is not running correctly."},
    {10101, u"正常なシャットダウンが進行中です。", u"Graceful shutdown is in progress."},
    {10102, u"これ以上の結果はありません。", u"There are no better results."},
    {10103, u"呼び出しが取り消されました。", u"Call canceled."},
    {10104, u"プロシージャ呼び出しテーブルが無効です。", u"Procedure call table is invalid."},
    {10105, u"サービス プロバイダーが無効です。", u"Service provider is invalid."},
    {10106, u"サービス プロバイダーの初期化に失敗しました。", u"Service provider initialization failed."},
    {10107, u"システム呼び出しエラー。", u"System call error."},
    {10108, u"サービスが見つかりません。", u"Service not found."},
    {10109, u"クラス型が見つかりません。", u"Class type not found."},
    {10110, u"これ以上の結果はありません。", u"There are no better results."},
    {10111, u"呼び出しが取り消されました。", u"Call canceled."},
    {10112, u"データベース クエリが拒否されました。", u"Database query rejected."},
};
static_assert(std::size(kErrorTexts) == 63, "64 codes with 10048");

constexpr ExpectedText kShutdownTexts[] = {
    {10022, u"パラメーターが無効であるか、ソケットの種類と一致していません。",
     u"\tThe how parameter is not valid, or is not consistent with the socket type. "},
    {10036, u"ブロックしている Windows ソケット 1.1 呼び出しが進行中であるか、サービス プロバイダーがコールバック関数を処理しています。",
     u"A blocking Windows Sockets 1.1 call is in progress, or the service provider is still processing a callback function."},
    {10038, u"ソケットではありません。",
     u"The descriptor is not a socket."},
    {10050, u"ネットワーク サブシステムが失敗しました。",
     u"The network subsystem has failed."},
    {10053, u"仮想回線はタイムアウトまたはその他の障害のために切断されました。",
     u"The virtual circuit was terminated due to a time-out or other failure. "},
    {10054, u"強制終了または中止になる閉じる操作を実行するリモート側によって仮想回線がリセットされました。",
     u"The virtual circuit was reset by the remote side executing a hard or abortive close. "},
    {10057, u"ソケットは接続されていません。",
     u"The socket is not connected. "},
};

constexpr std::u16string_view kOtherJapanese = u"その他エラー";
constexpr std::u16string_view kOtherEnglish = u"Other errors";

// Languages other than 0 (Japanese) all get the English texts.
constexpr int32_t kEnglishLanguages[] = {1, 2, 3, 7, -1};

std::string U8(std::u16string_view text) { return Utf16ToUtf8(text); }

AppSettings Settings(int32_t language, int32_t bindMode = 0) {
    AppSettings settings;
    settings.Language = language;
    settings.BindMode = bindMode;
    return settings;
}

bool HasRow(const ExpectedText* begin, const ExpectedText* end, int32_t code) {
    for (const ExpectedText* row = begin; row != end; ++row) {
        if (row->code == code) return true;
    }
    return false;
}

// The message boxes read the program's settings; each test puts them back.
class SocketErrorBox : public ::testing::Test {
protected:
    void SetUp() override { saved_ = g_Settings; }
    void TearDown() override { g_Settings = saved_; }

    AppSettings saved_;
    RecordingMessageBox boxes_;
};

TEST(SocketErrorText, EveryCodeHasItsTextInBothLanguages) {
    for (const ExpectedText& row : kErrorTexts) {
        SCOPED_TRACE(row.code);
        // The call name and bind mode must not matter outside 10048.
        for (std::u16string_view call : {u"socket", u"bind", u"connect"}) {
            EXPECT_EQ(U8(GetSocketErrorText(Settings(0, 1), row.code, call)), U8(row.japanese));
            for (int32_t language : kEnglishLanguages) {
                EXPECT_EQ(U8(GetSocketErrorText(Settings(language, 1), row.code, call)), U8(row.english))
                    << "language " << language;
            }
        }
    }
}

TEST(SocketErrorText, CodesWithoutARowGiveOtherErrors) {
    std::vector<int32_t> codes = {INT32_MIN, -10048, -1, 0, INT32_MAX};
    for (int32_t code = 1; code <= 11000; ++code) codes.push_back(code);
    for (int32_t code : codes) {
        if (code == 10048 || HasRow(std::begin(kErrorTexts), std::end(kErrorTexts), code)) continue;
        SCOPED_TRACE(code);
        ASSERT_EQ(U8(GetSocketErrorText(Settings(0), code, u"bind")), U8(kOtherJapanese));
        ASSERT_EQ(U8(GetSocketErrorText(Settings(1), code, u"bind")), U8(kOtherEnglish));
    }
}

TEST(SocketErrorText, AddressInUseAsksToWaitOnlyAfterAnExplicitBind) {
    constexpr std::u16string_view kShortJapanese = u"IPアドレス＋ポート番号は既に使用されています。";
    constexpr std::u16string_view kLongJapanese =
        u"IPアドレス＋ポート番号は既に使用されています。\r\n 約２分後に再度試してみて下さい";
    constexpr std::u16string_view kShortEnglish = u"Address is already in use.";
    constexpr std::u16string_view kLongEnglish = u"Address is already in use.\r\n Please try again in about 2 minutes";
    struct Case {
        int32_t language;
        int32_t bindMode;
        std::u16string_view call;
        std::u16string_view expected;
    };
    const Case cases[] = {
        {1, 1, u"bind", kLongEnglish},
        {0, 1, u"bind", kLongJapanese},
        {3, 1, u"listen", kLongEnglish},
        {1, 1, u"socket", kLongEnglish},
        {1, 1, u"connect", kShortEnglish},
        {0, 1, u"connect", kShortJapanese},
        {1, 0, u"bind", kShortEnglish},
        {0, 0, u"bind", kShortJapanese},
        {2, 0, u"listen", kShortEnglish},
        {1, 2, u"bind", kShortEnglish},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(U8(GetSocketErrorText(Settings(c.language, c.bindMode), 10048, c.call)), U8(c.expected))
            << "language " << c.language << " bind_mode " << c.bindMode << " call " << U8(c.call);
    }
}

TEST(SocketErrorText, PairedCodesShareTheirTexts) {
    for (int32_t language : {0, 1}) {
        AppSettings settings = Settings(language);
        EXPECT_EQ(U8(GetSocketErrorText(settings, 10102, u"connect")),
                  U8(GetSocketErrorText(settings, 10110, u"connect")));
        EXPECT_EQ(U8(GetSocketErrorText(settings, 10103, u"connect")),
                  U8(GetSocketErrorText(settings, 10111, u"connect")));
    }
}

TEST(SocketShutdownText, HasItsOwnSevenRows) {
    for (const ExpectedText& row : kShutdownTexts) {
        SCOPED_TRACE(row.code);
        EXPECT_EQ(U8(GetShutdownErrorText(Settings(0), row.code)), U8(row.japanese));
        for (int32_t language : kEnglishLanguages) {
            EXPECT_EQ(U8(GetShutdownErrorText(Settings(language), row.code)), U8(row.english));
        }
    }
}

TEST(SocketShutdownText, CodesOnlyTheMainTableKnowsGiveOtherErrors) {
    std::vector<int32_t> codes = {-1, 0, 10048};
    for (const ExpectedText& row : kErrorTexts) codes.push_back(row.code);
    for (int32_t code : codes) {
        if (HasRow(std::begin(kShutdownTexts), std::end(kShutdownTexts), code)) continue;
        SCOPED_TRACE(code);
        EXPECT_EQ(U8(GetShutdownErrorText(Settings(0), code)), U8(kOtherJapanese));
        EXPECT_EQ(U8(GetShutdownErrorText(Settings(1), code)), U8(kOtherEnglish));
    }
}

TEST_F(SocketErrorBox, ShowsCodeAndTextCaptionedWithTheCall) {
    struct Case {
        int32_t language;
        int32_t bindMode;
        std::u16string_view call;
        int32_t code;
        std::u16string_view text;
        std::u16string_view caption;
    };
    const Case cases[] = {
        {0, 0, u"connect", 10060, u"No.10060 :接続がタイムアウトしました。", u"connect_Error"},
        {1, 0, u"connect", 10060, u"No.10060 :Connection timed out.", u"connect_Error"},
        {2, 0, u"connect", 10060, u"No.10060 :Connection timed out.", u"connect_Error"},
        {3, 0, u"connect", 10060, u"No.10060 :Connection timed out.", u"connect_Error"},
        {1, 1, u"bind", 10048, u"No.10048 :Address is already in use.\r\n Please try again in about 2 minutes",
         u"bind_Error"},
        {1, 1, u"connect", 10048, u"No.10048 :Address is already in use.", u"connect_Error"},
        {1, 0, u"bind", 10048, u"No.10048 :Address is already in use.", u"bind_Error"},
        {1, 0, u"listen", 10010, u"No.10010 :Other errors", u"listen_Error"},
        {1, 0, u"socket", -1, u"No.-1 :Other errors", u"socket_Error"},
        {0, 0, u"closesocket(CS)", 10054, u"No.10054 :ピアによる接続のリセット。", u"closesocket(CS)_Error"},
        {0, 0, u"closesocket", 8, u"No.8 :使\u2F64可能なメモリが不\u2F9Cしています。", u"closesocket_Error"},
    };
    WindowHandle owner = &boxes_;  // any non-null handle; it is only passed on
    for (const Case& c : cases) {
        g_Settings.Language = c.language;
        g_Settings.BindMode = c.bindMode;
        boxes_.Clear();
        ShowSocketErrorCode(owner, c.call, c.code);
        auto shown = boxes_.Boxes();
        ASSERT_EQ(shown.size(), 1u);
        EXPECT_EQ(U8(shown[0].text), U8(c.text));
        EXPECT_EQ(U8(shown[0].caption), U8(c.caption));
        EXPECT_EQ(shown[0].style, uint32_t{kMbOk});
        EXPECT_EQ(shown[0].owner, owner);
    }
}

TEST_F(SocketErrorBox, ShutdownCaptionNamesTheSide) {
    struct Case {
        int32_t language;
        int32_t code;
        int side;
        std::u16string_view text;
        std::u16string_view caption;
    };
    const Case cases[] = {
        {1, 10060, 1, u"No.10060 :Other errors", u"Shutdown(c)"},
        {0, 10060, 1, u"No.10060 :その他エラー", u"Shutdown(c)"},
        {1, 10054, 2,
         u"No.10054 :The virtual circuit was reset by the remote side executing a hard or abortive close. ",
         u"Shutdown(p)"},
        {1, 10057, 0, u"No.10057 :The socket is not connected. ", u"Shutdown"},
        {0, 10057, 3, u"No.10057 :ソケットは接続されていません。", u"Shutdown"},
        {1, 10022, -1,
         u"No.10022 :\tThe how parameter is not valid, or is not consistent with the socket type. ",
         u"Shutdown"},
        // The longest text the tables can produce fills all but the terminator.
        {1, 10036, 1,
         u"No.10036 :A blocking Windows Sockets 1.1 call is in progress, or the service provider is still "
         u"processing a callback function.",
         u"Shutdown(c)"},
        {0, 10054, 2,
         u"No.10054 :強制終了または中止になる閉じる操作を実行するリモート側によって仮想回線がリセットされました。",
         u"Shutdown(p)"},
    };
    for (const Case& c : cases) {
        g_Settings.Language = c.language;
        boxes_.Clear();
        ShowShutdownError(c.code, c.side);
        auto shown = boxes_.Boxes();
        ASSERT_EQ(shown.size(), 1u);
        EXPECT_EQ(U8(shown[0].text), U8(c.text));
        EXPECT_EQ(U8(shown[0].caption), U8(c.caption));
        EXPECT_EQ(shown[0].style, uint32_t{kMbOk});
        EXPECT_EQ(shown[0].owner, nullptr);
    }
    EXPECT_EQ(std::u16string_view(cases[6].text).size(), kSocketErrorTextCapacity - 2);
}

TEST_F(SocketErrorBox, AnOverlongCallNameIsCutToTheCaptionBuffer) {
    std::u16string call(300, u'x');
    g_Settings.Language = 1;
    ShowSocketErrorCode(nullptr, call, 10060);
    auto shown = boxes_.Boxes();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].caption, call.substr(0, kSocketErrorTextCapacity - 1));
    EXPECT_EQ(U8(shown[0].text), "No.10060 :Connection timed out.");
}

#ifndef _WIN32

TEST(SocketErrnoMapping, MapsEachSocketErrno) {
    struct Case {
        int err;
        int32_t code;
    };
    const Case cases[] = {
        {EINTR, 10004},           {EBADF, 10009},         {EACCES, 10013},         {EFAULT, 10014},
        {EINVAL, 10022},          {EMFILE, 10024},        {EWOULDBLOCK, 10035},    {EAGAIN, 10035},
        {EINPROGRESS, 10036},     {EALREADY, 10037},      {ENOTSOCK, 10038},       {EDESTADDRREQ, 10039},
        {EMSGSIZE, 10040},        {EPROTOTYPE, 10041},    {ENOPROTOOPT, 10042},    {EPROTONOSUPPORT, 10043},
        {ESOCKTNOSUPPORT, 10044}, {EOPNOTSUPP, 10045},    {EPFNOSUPPORT, 10046},   {EAFNOSUPPORT, 10047},
        {EADDRINUSE, 10048},      {EADDRNOTAVAIL, 10049}, {ENETDOWN, 10050},       {ENETUNREACH, 10051},
        {ENETRESET, 10052},       {ECONNABORTED, 10053},  {ECONNRESET, 10054},     {ENOBUFS, 10055},
        {EISCONN, 10056},         {ENOTCONN, 10057},      {ESHUTDOWN, 10058},      {ETOOMANYREFS, 10059},
        {ETIMEDOUT, 10060},       {ECONNREFUSED, 10061},  {ELOOP, 10062},          {ENAMETOOLONG, 10063},
        {EHOSTDOWN, 10064},       {EHOSTUNREACH, 10065},  {ENOTEMPTY, 10066},      {EUSERS, 10068},
        {EDQUOT, 10069},          {ESTALE, 10070},        {EREMOTE, 10071},
        // No Winsock counterpart: the system's own number is kept.
        {0, 0},                   {EPERM, EPERM},         {ENOENT, ENOENT},        {ENOMEM, ENOMEM},
        {EPIPE, EPIPE},           {-1, -1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(WinsockCodeFromErrno(c.err), c.code) << "errno " << c.err;
    }
}

TEST(SocketErrnoMapping, UnmappedErrnoShowsOtherErrors) {
    AppSettings english = Settings(1);
    for (int err = 1; err < 200; ++err) {
        // Not reported by socket calls; their numbers coincide with Winsock codes.
        if (err == ENXIO || err == ENOEXEC) continue;
        int32_t code = WinsockCodeFromErrno(err);
        if (code >= 10000) continue;
        EXPECT_EQ(U8(GetSocketErrorText(english, code, u"connect")), U8(kOtherEnglish)) << "errno " << err;
    }
}

// A socket on 127.0.0.1 closed when the test ends.
class LoopbackSocket {
public:
    LoopbackSocket() : fd_(socket(AF_INET, SOCK_STREAM, 0)) {}
    ~LoopbackSocket() { Close(); }
    LoopbackSocket(const LoopbackSocket&) = delete;
    LoopbackSocket& operator=(const LoopbackSocket&) = delete;

    int fd() const { return fd_; }
    void Close() {
        if (fd_ >= 0) close(fd_);
        fd_ = -1;
    }

    static sockaddr_in Address(uint16_t port) {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        address.sin_port = htons(port);
        return address;
    }
    int Bind(uint16_t port) {
        sockaddr_in address = Address(port);
        return bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address);
    }
    int Connect(uint16_t port) {
        sockaddr_in address = Address(port);
        return connect(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address);
    }
    uint16_t Port() const {
        sockaddr_in address{};
        socklen_t length = sizeof address;
        getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &length);
        return ntohs(address.sin_port);
    }

private:
    int fd_;
};

// A loopback port that was just free: bound, read back, released.
uint16_t ClosedLoopbackPort() {
    LoopbackSocket probe;
    if (probe.Bind(0) != 0 || listen(probe.fd(), 1) != 0) return 0;
    return probe.Port();
}

TEST_F(SocketErrorBox, RefusedLoopbackConnectIsReportedAsWinsockCode) {
    uint16_t port = ClosedLoopbackPort();
    ASSERT_NE(port, 0);
    LoopbackSocket client;
    ASSERT_GE(client.fd(), 0);
    ASSERT_EQ(client.Connect(port), -1);
    int32_t code = LastSocketError();
    EXPECT_EQ(code, 10061);

    g_Settings.Language = 1;
    ASSERT_EQ(client.Connect(port), -1);
    ShowSocketError(nullptr, u"connect");
    auto shown = boxes_.Boxes();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(U8(shown[0].text), "No.10061 :Connection refused.");
    EXPECT_EQ(U8(shown[0].caption), "connect_Error");
}

TEST_F(SocketErrorBox, BindToAPortInUseAsksToWait) {
    LoopbackSocket holder;
    ASSERT_EQ(holder.Bind(0), 0);
    ASSERT_EQ(listen(holder.fd(), 1), 0);
    LoopbackSocket second;
    ASSERT_GE(second.fd(), 0);

    g_Settings.Language = 1;
    g_Settings.BindMode = 1;
    ASSERT_EQ(second.Bind(holder.Port()), -1);
    ShowSocketError(nullptr, u"bind");
    auto shown = boxes_.Boxes();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(U8(shown[0].text), "No.10048 :Address is already in use.\r\n Please try again in about 2 minutes");
    EXPECT_EQ(U8(shown[0].caption), "bind_Error");
}

#endif  // _WIN32

}  // namespace
