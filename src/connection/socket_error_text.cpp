#include "connection/socket_error_text.h"

#include "common/program_context.h"
#include "platform/socket_error.h"
#include "platform/text.h"

namespace {

struct BilingualText {
    std::u16string_view japanese;
    std::u16string_view english;
};

constexpr BilingualText kOtherErrors{u"その他エラー", u"Other errors"};

// Address in use. After an explicit bind the usual cause is the same local
// address and port closed a moment ago and still held by the system, so the
// long text tells the user to wait.
constexpr int32_t kAddressInUse = 10048;
constexpr BilingualText kAddressInUseShort{u"IPアドレス＋ポート番号は既に使用されています。",
                                           u"Address is already in use."};
constexpr BilingualText kAddressInUseLong{
    u"IPアドレス＋ポート番号は既に使用されています。\r\n 約２分後に再度試してみて下さい",
    u"Address is already in use.\r\n Please try again in about 2 minutes"};

// Winsock reports these two conditions under two codes each.
constexpr BilingualText kNoMoreResults{u"これ以上の結果はありません。", u"There are no better results."};
constexpr BilingualText kCallCanceled{u"呼び出しが取り消されました。", u"Call canceled."};

// Some Japanese texts hold CJK radicals (U+2F00 block, U+2ED1) in place of
// the usual ideographs; they are kept as the texts have always been shown.
constexpr SocketErrorText kSocketErrorTexts[] = {
    {6, u"指定されたイベント オブジェクト ハンドルが無効です。",
     u"The specified event object handle is invalid."},  // WSA_INVALID_HANDLE
    {8, u"使⽤可能なメモリが不⾜しています。",
     u"nsufficient memory available."},  // WSA_NOT_ENOUGH_MEMORY
    {87, u"1 つ以上のパラメーターが無効です。",
     u"One or more parameters are invalid."},  // WSA_INVALID_PARAMETER
    {995, u"重複する操作が中⽌されました。",
     u"Duplicate operation was aborted."},  // WSA_OPERATION_ABORTED
    {996, u"シグナル状態ではない重複した I/O イベント オブジェクト。",
     u"Duplicate I/O event object that is not signaled."},  // WSA_IO_INCOMPLETE
    {997, u"重複する操作は後で完了します。",
     u"Duplicate operations will be completed later."},  // WSA_IO_PENDING
    {10004, u"中断された関数呼び出し。",
     u"Interrupted function call."},  // WSAEINTR
    {10009, u"ファイル ハンドルが無効です。",
     u"File handle is invalid."},  // WSAEBADF
    {10013, u"アクセス許可が拒否されました。",
     u"Permission denied."},  // WSAEACCES
    {10014, u"アドレスが正しくありません。",
     u"Invalid address."},  // WSAEFAULT
    {10022, u"引数が無効です。",
     u"Invalid argument."},  // WSAEINVAL
    {10024, u"開いているファイルが多すぎます。",
     u"Too many files open."},  // WSAEMFILE
    {10035, u"リソースは⼀時的に使⽤できません。",
     u"Resource is temporarily unavailable."},  // WSAEWOULDBLOCK
    {10036, u"操作が進⾏中です。",
     u"Operation in progress."},  // WSAEINPROGRESS
    {10037, u"操作は既に進⾏中です。",
     u"Operation already in progress."},  // WSAEALREADY
    {10038, u"⾮ソケットに対するソケット操作。",
     u"Socket operations on non-sockets."},  // WSAENOTSOCK
    {10039, u"宛先アドレスが必要です。",
     u"Destination address required."},  // WSAEDESTADDRREQ
    {10040, u"メッセージが長すぎます。",
     u"Message is too long."},  // WSAEMSGSIZE
    {10041, u"ソケットのプロトコルの型が間違っています。",
     u"Wrong socket protocol type."},  // WSAEPROTOTYPE
    {10042, u"プロトコル オプションが正しくありません。",
     u"Invalid protocol option."},  // WSAENOPROTOOPT
    {10043, u"プロトコルはサポートされていません。",
     u"Protocol not supported."},  // WSAEPROTONOSUPPORT
    {10044, u"ソケットの種類はサポートされていません。",
     u"Socket type is not supported."},  // WSAESOCKTNOSUPPORT
    {10045, u"操作はサポートされていません。",
     u"Operation is not supported."},  // WSAEOPNOTSUPP
    {10046, u"プロトコル ファミリはサポートされていません。",
     u"Protocol family is not supported."},  // WSAEPFNOSUPPORT
    {10047, u"プロトコル ファミリでサポートされていないアドレス ファミリ。",
     u"Address family not supported by protocol family."},  // WSAEAFNOSUPPORT
    {10048, kAddressInUseShort.japanese, kAddressInUseShort.english},  // WSAEADDRINUSE
    {10049, u"要求されたアドレスを割り当てることができません。",
     u"Unable to allocate requested address."},  // WSAEADDRNOTAVAIL
    {10050, u"ネットワークがダウンしています。",
     u"Network is down."},  // WSAENETDOWN
    {10051, u"ネットワークに到達できません。",
     u"Network unreachable."},  // WSAENETUNREACH
    {10052, u"ネットワークのリセット時に接続が切断されました。",
     u"Connection was lost during network reset."},  // WSAENETRESET
    {10053, u"ソフトウェアによって接続の中止が発生しました。",
     u"Software caused a connection abort."},  // WSAECONNABORTED
    {10054, u"ピアによる接続のリセット。",
     u"Connection reset by peer."},  // WSAECONNRESET
    {10055, u"使用できるバッファー領域はありません。",
     u"No buffer space available."},  // WSAENOBUFS
    {10056, u"ソケットは既に接続されています。",
     u"Socket is already connected."},  // WSAEISCONN
    {10057, u"ソケットが接続されていません。",
     u"Socket not connected."},  // WSAENOTCONN
    {10058, u"ソケットのシャットダウン後に送信できません。",
     u"Unable to send after socket shutdown."},  // WSAESHUTDOWN
    {10059, u"参照が多すぎます。",
     u"Too many references."},  // WSAETOOMANYREFS
    {10060, u"接続がタイムアウトしました。",
     u"Connection timed out."},  // WSAETIMEDOUT
    {10061, u"接続が拒否されました。",
     u"Connection refused."},  // WSAECONNREFUSED
    {10062, u"名前を翻訳できません。",
     u"Unable to translate name."},  // WSAELOOP
    {10063, u"名前が⻑すぎます。",
     u"Name is too long."},  // WSAENAMETOOLONG
    {10064, u"ホストがダウンしています。",
     u"Host is down."},  // WSAEHOSTDOWN
    {10065, u"ホストするルートはありません。",
     u"There are no routes to host."},  // WSAEHOSTUNREACH
    {10066, u"ディレクトリは空ではありません。",
     u"Directory is not empty."},  // WSAENOTEMPTY
    {10067, u"プロセスが多すぎます。",
     u"Too many processes."},  // WSAEPROCLIM
    {10068, u"ユーザー クォータを超えました。",
     u"User quota exceeded."},  // WSAEUSERS
    {10069, u"ディスク クォータを超えました。",
     u"Disk quota exceeded."},  // WSAEDQUOT
    {10070, u"古いファイル ハンドル参照。",
     u"Old file handle reference."},  // WSAESTALE
    {10071, u"項目がリモートです。",
     u"Item is remote."},  // WSAEREMOTE
    {10091, u"ネットワーク サブシステムは使用できません。",
     u"Network subsystem is unavailable."},  // WSASYSNOTREADY
    {10092, u"Winsock.dllバージョンが範囲外です。",
     u"Winsock.dll version is out of range."},  // WSAVERNOTSUPPORTED
    {10093, u"WSAStartup が正常に実行されていません。",
     u"WSAStartup is not running correctly."},  // WSANOTINITIALISED
    {10101, u"正常なシャットダウンが進行中です。",
     u"Graceful shutdown is in progress."},  // WSAEDISCON
    {10102, kNoMoreResults.japanese, kNoMoreResults.english},  // WSAENOMORE
    {10103, kCallCanceled.japanese, kCallCanceled.english},  // WSAECANCELLED
    {10104, u"プロシージャ呼び出しテーブルが無効です。",
     u"Procedure call table is invalid."},  // WSAEINVALIDPROCTABLE
    {10105, u"サービス プロバイダーが無効です。",
     u"Service provider is invalid."},  // WSAEINVALIDPROVIDER
    {10106, u"サービス プロバイダーの初期化に失敗しました。",
     u"Service provider initialization failed."},  // WSAEPROVIDERFAILEDINIT
    {10107, u"システム呼び出しエラー。",
     u"System call error."},  // WSASYSCALLFAILURE
    {10108, u"サービスが見つかりません。",
     u"Service not found."},  // WSASERVICE_NOT_FOUND
    {10109, u"クラス型が見つかりません。",
     u"Class type not found."},  // WSATYPE_NOT_FOUND
    {10110, kNoMoreResults.japanese, kNoMoreResults.english},  // WSA_E_NO_MORE
    {10111, kCallCanceled.japanese, kCallCanceled.english},  // WSA_E_CANCELLED
    {10112, u"データベース クエリが拒否されました。",
     u"Database query rejected."},  // WSAEREFUSED
};

constexpr SocketErrorText kShutdownErrorTexts[] = {
    {10022, u"パラメーターが無効であるか、ソケットの種類と一致していません。",
     u"\tThe how parameter is not valid, or is not consistent with the socket type. "},  // WSAEINVAL
    {10036, u"ブロックしている Windows ソケット 1.1 呼び出しが進行中であるか、サービス プロバイダーがコールバック関数を処理しています。",
     u"A blocking Windows Sockets 1.1 call is in progress, or the service provider is still processing a callback function."},  // WSAEINPROGRESS
    {10038, u"ソケットではありません。",
     u"The descriptor is not a socket."},  // WSAENOTSOCK
    {10050, u"ネットワーク サブシステムが失敗しました。",
     u"The network subsystem has failed."},  // WSAENETDOWN
    {10053, u"仮想回線はタイムアウトまたはその他の障害のために切断されました。",
     u"The virtual circuit was terminated due to a time-out or other failure. "},  // WSAECONNABORTED
    {10054, u"強制終了または中止になる閉じる操作を実行するリモート側によって仮想回線がリセットされました。",
     u"The virtual circuit was reset by the remote side executing a hard or abortive close. "},  // WSAECONNRESET
    {10057, u"ソケットは接続されていません。",
     u"The socket is not connected. "},  // WSAENOTCONN
};

template <size_t N>
BilingualText FindText(const SocketErrorText (&table)[N], int32_t code) {
    for (const SocketErrorText& row : table) {
        if (row.code == code) return {row.japanese, row.english};
    }
    return kOtherErrors;
}

std::u16string_view InLanguage(const BilingualText& text, int32_t language) {
    return language == 0 ? text.japanese : text.english;
}

void ShowErrorBox(WindowHandle owner, std::u16string_view caption, int32_t code, std::u16string_view message) {
    char16_t text[kSocketErrorTextCapacity];
    FormatText(text, u"No.%d :%s", {code, message});
    ShowMessageBox(owner, TextView(text), caption, kMbOk);
}

}  // namespace

std::u16string_view GetSocketErrorText(int32_t language, bool boundToAdapter, int32_t errorCode,
                                       std::u16string_view callName) {
    bool explicitBind = boundToAdapter && callName != u"connect";
    if (errorCode == kAddressInUse && explicitBind) return InLanguage(kAddressInUseLong, language);
    return InLanguage(FindText(kSocketErrorTexts, errorCode), language);
}

std::u16string_view GetShutdownErrorText(int32_t language, int32_t errorCode) {
    return InLanguage(FindText(kShutdownErrorTexts, errorCode), language);
}

void ShowSocketErrorCode(WindowHandle owner, std::u16string_view callName, int32_t code, bool boundToAdapter) {
    char16_t caption[kSocketErrorTextCapacity];
    FormatText(caption, u"%s_Error", {callName});
    char16_t message[kSocketErrorTextCapacity];
    CopyTextInto(message, GetSocketErrorText(g_Program.Language, boundToAdapter, code, callName));
    ShowErrorBox(owner, TextView(caption), code, TextView(message));
}

void ShowSocketError(WindowHandle owner, std::u16string_view callName, bool boundToAdapter) {
    // Read first: nothing else may run between the failed call and this.
    int32_t code = LastSocketError();
    ShowSocketErrorCode(owner, callName, code, boundToAdapter);
}

void ShowShutdownError(int32_t errorCode, int side) {
    char16_t message[kSocketErrorTextCapacity];
    CopyTextInto(message, GetShutdownErrorText(g_Program.Language, errorCode));
    std::u16string_view caption = side == 1 ? u"Shutdown(c)" : side == 2 ? u"Shutdown(p)" : u"Shutdown";
    ShowErrorBox(nullptr, caption, errorCode, TextView(message));
}
