#include "runtime/core/error_reason.h"

#include <locale.h>

#include <cerrno>
#include <cstring>

#include "host/code_page.h"
#include "host/network_port.h"
#include "host/serial_port_diagnosis.h"
#include "host/session_terminal.h"
#include "host/serial_port_list.h"
#include "runtime/core/frame_records.h"
#include "runtime/core/runtime.h"

namespace rt {

namespace {

struct Wording {
    const char* not_found;
    const char* ports_present;   // followed by the list
    const char* no_ports;
    const char* permission_denied;
    const char* join_group;      // %s: the group
    const char* in_use;
    const char* not_regular;
    const char* disk_full;
    const char* size_limit;
    const char* read_only;
    const char* io_error;
    // Network ports (rfc2217://, socket://); the path before them names HOST:PORT.
    const char* host_not_found;
    const char* connection_refused;
    const char* timed_out;
    const char* unreachable;
    const char* connection_reset;
    const char* settings_refused;
    const char* bad_address;
    const char* folder_not_port;
    const char* not_a_port;
    const char* line_lost;
    const char* session_terminal;
};

constexpr Wording kEnglish{
    "not found",
    "; serial ports present: ",
    "; no serial ports present",
    "permission denied",
    "permission denied: add your user to the %s group (sudo usermod -aG %s $USER), then log in again",
    "in use by another program",
    "not a regular file",
    "disk full",
    "file size limit reached",
    "read-only file system",
    "input/output error",
    "host not found",
    "connection refused: nothing listens on that port",
    "time-out: no answer from the host",
    "host unreachable",
    "connection closed by the server",
    "line settings refused by the server (RFC 2217)",
    "not a network port address: rfc2217://HOST:PORT or socket://HOST:PORT",
    "a folder, not a serial port",
    "not a serial port (not a terminal device)",
    "the port went away (hung up or unplugged)",
    "another program's terminal (some session's controlling terminal), not a serial port",
};

constexpr Wording kJapanese{
    "見つかりません",
    "。存在するシリアルポート: ",
    "。シリアルポートがありません",
    "アクセス権がありません",
    "アクセス権がありません。ユーザーを %s グループに追加して (sudo usermod -aG %s $USER) ログインし直してください",
    "他のプログラムが使用中です",
    "通常のファイルではありません",
    "ディスクがいっぱいです",
    "ファイルサイズの上限に達しました",
    "読み取り専用のファイルシステムです",
    "入出力エラーです",
    "ホストが見つかりません",
    "接続が拒否されました。そのポートで待ち受けているサーバーがありません",
    "タイムアウトしました。ホストから応答がありません",
    "ホストに到達できません",
    "サーバーが接続を閉じました",
    "サーバーが回線設定を拒否しました (RFC 2217)",
    "ネットワークポートのアドレスではありません。rfc2217://ホスト:ポート または socket://ホスト:ポート の形で指定してください",
    "フォルダです。シリアルポートではありません",
    "シリアルポートではありません (端末デバイスではありません)",
    "ポートが切断されました (ハングアップまたは取り外し)",
    "他のプログラムの端末です (セッションの制御端末)。シリアルポートではありません",
};

std::string with_group(const char* pattern, const std::string& group)
{
    std::string text;
    for (const char* p = pattern; *p; ++p) {
        if (p[0] == '%' && p[1] == 's') {
            text += group;
            ++p;
        } else {
            text += *p;
        }
    }
    return text;
}

std::string ports_text(const Wording& w)
{
    const std::vector<host::SerialPortEntry> ports = host::list_serial_ports();
    if (ports.empty())
        return w.no_ports;
    std::string text = w.ports_present;
    for (std::size_t i = 0; i < ports.size(); ++i)
        text += (i ? ", " : "") + ports[i].path;
    return text;
}

// The C library's own text for `error`, in Japanese through its translations
// when the Japanese locale is there (packages locales and libc-l10n), else in
// English. UTF-8 either way.
std::string system_reason(int error, Language language)
{
    if (language == Language::Japanese) {
        const locale_t japanese = ::newlocale(LC_MESSAGES_MASK | LC_CTYPE_MASK, "ja_JP.UTF-8", locale_t{});
        if (japanese != locale_t{}) {
            std::string text = ::strerror_l(error, japanese);
            ::freelocale(japanese);
            return text;
        }
    }
    const locale_t english = ::newlocale(LC_ALL_MASK, "C", locale_t{});
    if (english == locale_t{})
        return std::strerror(error);
    std::string text = ::strerror_l(error, english);
    ::freelocale(english);
    return text;
}

std::string reason(const ErrorCause& cause, const Wording& w, Language language)
{
    const bool port = cause.object == ErrorCause::Object::SerialPort;
    if (cause.not_regular_file)
        return w.not_regular;
    if (port && cause.line_lost)
        return w.line_lost;
    if (port && cause.system_error == EISDIR)
        return w.folder_not_port;
    if (port && cause.system_error == ENOTTY)
        return w.not_a_port;
    switch (cause.system_error) {
    case ENOENT:
    case ENOTDIR:
    case ENODEV:
    case ENXIO:
        return port ? w.not_found + ports_text(w) : w.not_found;
    case EACCES:
    case EPERM:
        if (port)
            if (const auto group = host::missing_device_group(cause.path))
                return with_group(w.join_group, *group);
        return w.permission_denied;
    case EBUSY:
    case EAGAIN:
#if EWOULDBLOCK != EAGAIN
    case EWOULDBLOCK:
#endif
        return w.in_use;
    case ENOSPC:
        return w.disk_full;
    case EFBIG:
        return w.size_limit;
    case EROFS:
        return w.read_only;
    case EIO:
        return w.io_error;
    case host::network_error::kHostNotFound:
        return w.host_not_found;
    case host::kSessionTerminalError:
        return w.session_terminal;
    case ECONNREFUSED:
        return w.connection_refused;
    case ETIMEDOUT:
        return w.timed_out;
    case EHOSTUNREACH:
    case ENETUNREACH:
        return w.unreachable;
    case ECONNRESET:
        return w.connection_reset;
    case host::network_error::kSettingsRefused:
        return w.settings_refused;
    case host::network_error::kBadAddress:
        return w.bad_address;
    default:
        return system_reason(cause.system_error, language);
    }
}

}  // namespace

std::string error_reason_line(const ErrorCause& cause, Language language)
{
    if (cause.empty())
        return {};
    return cause.path + ": " + reason(cause, language == Language::Japanese ? kJapanese : kEnglish, language);
}

std::string current_error_reason()
{
    Runtime* runtime = Runtime::current_or_null();
    if (!runtime)
        return {};
    return host::utf8_to_sjis(error_reason_line(runtime->frame().error.cause, user_language()));
}

TrappedError current_trapped_error()
{
    Runtime* runtime = Runtime::current_or_null();
    if (!runtime)
        return {};
    const ErrorState& error = runtime->frame().error;
    TrappedError trapped{error.number, error.site, {}};
    if (!error.cause.empty()) {
        const Language language = user_language();
        trapped.reason = host::utf8_to_sjis(reason(error.cause, language == Language::Japanese ? kJapanese : kEnglish, language));
    }
    return trapped;
}

}  // namespace rt
