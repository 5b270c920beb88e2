#include "host/network_port.h"

#include <gensio/gensio.h>
#include <gensio/gensio_err.h>
#include <gensio/gensio_os_funcs.h>
#include <gensio/gensio_unix.h>
#include <gensio/sergensio.h>
#include <sys/socket.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cerrno>
#include <condition_variable>
#include <functional>
#include <future>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace host {

namespace {

constexpr std::string_view kRfc2217Scheme = "rfc2217://";
constexpr std::string_view kSocketScheme = "socket://";
// Bytes the loop takes from the program at a time.
constexpr std::size_t kBridgeChunk = 4096;
// How long the end of a connection may take before the loop gives up on it.
constexpr std::chrono::milliseconds kStopWait{2000};
// How long a purge waits for the loop to have dropped what it holds.
constexpr std::chrono::milliseconds kPurgeWait{500};

bool starts_with_ignoring_case(std::string_view text, std::string_view prefix)
{
    return text.size() >= prefix.size() &&
           std::equal(prefix.begin(), prefix.end(), text.begin(), [](char a, char b) {
               return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
           });
}

// A gensio error as an errno value or a network_error value.
int error_from_gensio(int error)
{
    switch (error) {
    case GE_NOERR:
        return 0;
    case GE_CONNREFUSE:
        return ECONNREFUSED;
    case GE_TIMEDOUT:
        return ETIMEDOUT;
    case GE_HOSTDOWN:
        return EHOSTUNREACH;
    case GE_NAME_NET_NOT_UP:
        return ENETUNREACH;
    case GE_NOTFOUND:
    case GE_UNKNOWN_NAME_ERROR:
    case GE_NAME_ERROR:
    case GE_NAME_SERVER_FAILURE:
    case GE_NAME_INVALID:
        return network_error::kHostNotFound;
    case GE_REMCLOSE:
        return ECONNRESET;
    case GE_NOMEM:
        return ENOMEM;
    case GE_INVAL:
        return network_error::kBadAddress;
    default:
        return EIO;
    }
}

unsigned parity_code(std::uint8_t parity)
{
    switch (parity) {
    case 1:
        return SERGENSIO_PARITY_ODD;
    case 2:
        return SERGENSIO_PARITY_EVEN;
    case 3:
        return SERGENSIO_PARITY_MARK;
    case 4:
        return SERGENSIO_PARITY_SPACE;
    default:
        return SERGENSIO_PARITY_NONE;
    }
}

// The answers to one set of line settings: each request's wanted value is
// compared with the value the server reports in force.
struct SettingsRequest {
    struct Answer {
        SettingsRequest* request = nullptr;
        unsigned wanted = 0;
    };
    std::array<Answer, 4> answers;
    int waiting = 0;
    bool refused = false;
    std::promise<int> outcome;

    void answered(int error, unsigned value, unsigned wanted)
    {
        refused = refused || error != 0 || value != wanted;
        if (--waiting == 0)
            outcome.set_value(refused ? network_error::kSettingsRefused : 0);
    }
};

}  // namespace

bool is_network_port_path(std::string_view path)
{
    return starts_with_ignoring_case(path, kRfc2217Scheme) || starts_with_ignoring_case(path, kSocketScheme);
}

std::optional<NetworkPortAddress> parse_network_port_path(std::string_view path)
{
    NetworkPortAddress address;
    if (starts_with_ignoring_case(path, kRfc2217Scheme)) {
        address.kind = NetworkPortKind::Rfc2217;
        path.remove_prefix(kRfc2217Scheme.size());
    } else if (starts_with_ignoring_case(path, kSocketScheme)) {
        address.kind = NetworkPortKind::RawTcp;
        path.remove_prefix(kSocketScheme.size());
    } else {
        return std::nullopt;
    }
    // Options after the address as other tools write them ("?ign_set_control",
    // "?logging=debug") change nothing here: control lines are never waited on.
    path = path.substr(0, path.find('?'));
    if (path.find_first_of("/,") != std::string_view::npos)
        return std::nullopt;
    std::string_view host;
    std::string_view port;
    if (!path.empty() && path.front() == '[') {  // [IPv6]:PORT
        const std::size_t close = path.find("]:");
        if (close == std::string_view::npos)
            return std::nullopt;
        host = path.substr(1, close - 1);
        port = path.substr(close + 2);
    } else {
        const std::size_t colon = path.rfind(':');
        if (colon == std::string_view::npos || path.find(':') != colon)
            return std::nullopt;
        host = path.substr(0, colon);
        port = path.substr(colon + 1);
    }
    const auto graphic = [](std::string_view text) {
        return std::all_of(text.begin(), text.end(), [](char c) { return std::isgraph(static_cast<unsigned char>(c)); });
    };
    if (host.empty() || port.empty() || !graphic(host) || !graphic(port))
        return std::nullopt;
    address.host = std::string(host);
    address.port = std::string(port);
    return address;
}

// Everything the loop thread owns. The program thread only posts tasks (and
// waits on their outcome with a bound); every gensio call runs on the loop thread.
struct NetworkPort::Loop {
    NetworkPortAddress address;
    gensio_os_funcs* os = nullptr;
    gensio* io = nullptr;
    sergensio* serial = nullptr;  // io's com-port control; null for raw TCP
    FileDescriptor program_end;
    FileDescriptor bridge_end;
    FileDescriptor wake_sender;    // the program thread writes a byte after posting a task
    FileDescriptor wake_receiver;
    gensio_iod* bridge_iod = nullptr;
    gensio_iod* wake_iod = nullptr;

    std::mutex mutex;
    std::vector<std::function<void()>> tasks;  // guarded by mutex

    // Loop thread only from here on.
    std::vector<unsigned char> outgoing;  // from the program, not yet taken by gensio
    std::size_t outgoing_at = 0;
    std::vector<std::unique_ptr<SettingsRequest>> settings_requests;  // kept until the end: late answers land in them
    std::promise<int> connected;
    std::future<int> connection;  // the program thread's side of `connected`
    std::optional<int> outcome;   // taken from `connection`
    bool connect_reported = false;
    bool open = false;
    bool lost = false;
    bool stopping = false;
    bool finished = false;
    int handlers_to_clear = 0;
    std::thread thread;

    ~Loop()
    {
        if (thread.joinable()) {
            post([this] { stop(); });
            thread.join();
        }
        if (os && finished)
            gensio_os_funcs_free(os);
    }

    void post(std::function<void()> task)
    {
        {
            std::lock_guard lock(mutex);
            tasks.push_back(std::move(task));
        }
        const char byte = 0;
        (void)::send(wake_sender.get(), &byte, 1, MSG_DONTWAIT | MSG_NOSIGNAL);  // a full pipe wakes the loop anyway
    }

    void run()
    {
        std::optional<std::chrono::steady_clock::time_point> stop_deadline;
        auto gave_up = [&] {
            if (!stopping)
                return false;
            if (!stop_deadline)
                stop_deadline = std::chrono::steady_clock::now() + kStopWait;
            return std::chrono::steady_clock::now() >= *stop_deadline;
        };
        while (!finished && !gave_up()) {
            gensio_time pass{0, 100'000'000};
            (void)gensio_os_funcs_service(os, stopping ? &pass : nullptr);
        }
    }

    void report_connect(int error)
    {
        if (connect_reported)
            return;
        connect_reported = true;
        connected.set_value(error);
    }

    void start_connect()
    {
        const std::string tcp = "tcp(nodelay)," + address.host + "," + address.port;
        const std::string spec = address.kind == NetworkPortKind::Rfc2217 ? "telnet(rfc2217)," + tcp : tcp;
        int error = str_to_gensio(spec.c_str(), os, &Loop::on_event, this, &io);
        if (error != 0) {
            io = nullptr;
            report_connect(error_from_gensio(error));
            return;
        }
        error = gensio_open(io, &Loop::on_open, this);
        if (error != 0) {
            gensio_free(io);
            io = nullptr;
            report_connect(error_from_gensio(error));
        }
    }

    static void on_open(gensio*, int error, void* data)
    {
        auto& loop = *static_cast<Loop*>(data);
        if (loop.stopping)
            return;
        if (error != 0) {
            loop.report_connect(error_from_gensio(error));
            return;
        }
        loop.open = true;
        if (loop.address.kind == NetworkPortKind::Rfc2217)
            loop.serial = gensio_to_sergensio(loop.io);
        gensio_set_read_callback_enable(loop.io, true);
        loop.os->set_read_handler(loop.bridge_iod, true);
        loop.report_connect(0);
    }

    static int on_event(gensio*, void* data, int event, int error, unsigned char* buffer, gensiods* length,
                        const char* const*)
    {
        auto& loop = *static_cast<Loop*>(data);
        switch (event) {
        case GENSIO_EVENT_READ:
            if (error != 0)
                loop.lose();
            else
                loop.deliver(buffer, length);
            return 0;
        case GENSIO_EVENT_WRITE_READY:
            loop.send_outgoing();
            return 0;
        default:
            return GE_NOTSUP;
        }
    }

    // Bytes from the server to the program. What the socket pair cannot take
    // now stays with gensio, which holds further reads until there is room.
    void deliver(const unsigned char* buffer, gensiods* length)
    {
        const ssize_t sent = ::send(bridge_end.get(), buffer, *length, MSG_DONTWAIT | MSG_NOSIGNAL);
        if (sent < 0 && errno != EAGAIN && errno != EINTR)
            return;  // the program closed its end: the bytes have nowhere to go
        const auto taken = static_cast<gensiods>(std::max<ssize_t>(sent, 0));
        if (taken < *length) {
            *length = taken;
            gensio_set_read_callback_enable(io, false);
            os->set_write_handler(bridge_iod, true);
        }
    }

    static void on_bridge_writable(gensio_iod*, void* data)
    {
        auto& loop = *static_cast<Loop*>(data);
        loop.os->set_write_handler(loop.bridge_iod, false);
        if (loop.open && !loop.lost)
            gensio_set_read_callback_enable(loop.io, true);
    }

    // Bytes from the program to the server.
    static void on_bridge_readable(gensio_iod*, void* data)
    {
        auto& loop = *static_cast<Loop*>(data);
        if (loop.outgoing_at < loop.outgoing.size())
            return;
        loop.outgoing.resize(kBridgeChunk);
        const ssize_t n = ::recv(loop.bridge_end.get(), loop.outgoing.data(), kBridgeChunk, MSG_DONTWAIT);
        loop.outgoing.resize(static_cast<std::size_t>(std::max<ssize_t>(n, 0)));
        loop.outgoing_at = 0;
        if (n == 0)  // the program closed its end
            loop.os->set_read_handler(loop.bridge_iod, false);
        else if (n > 0)
            loop.send_outgoing();
    }

    void send_outgoing()
    {
        while (outgoing_at < outgoing.size() && open && !lost) {
            gensiods count = 0;
            if (gensio_write(io, &count, outgoing.data() + outgoing_at, outgoing.size() - outgoing_at, nullptr) != 0) {
                lose();
                return;
            }
            if (count == 0)
                break;
            outgoing_at += count;
        }
        const bool all_sent = outgoing_at >= outgoing.size();
        gensio_set_write_callback_enable(io, !all_sent);
        os->set_read_handler(bridge_iod, all_sent);
    }

    // The connection is gone: the program's end reads end of file from now on.
    void lose()
    {
        if (lost)
            return;
        lost = true;
        ::shutdown(bridge_end.get(), SHUT_RDWR);
        os->set_read_handler(bridge_iod, false);
        os->set_write_handler(bridge_iod, false);
        gensio_set_read_callback_enable(io, false);
        gensio_set_write_callback_enable(io, false);
    }

    static void on_wake(gensio_iod*, void* data)
    {
        auto& loop = *static_cast<Loop*>(data);
        char bytes[64];
        while (::recv(loop.wake_receiver.get(), bytes, sizeof bytes, MSG_DONTWAIT) > 0) {
        }
        std::vector<std::function<void()>> due;
        {
            std::lock_guard lock(loop.mutex);
            due.swap(loop.tasks);
        }
        for (auto& task : due)
            task();
    }

    void apply(const SerialLineSettings& settings, SettingsRequest& request)
    {
        if (!open || lost || !serial) {
            request.outcome.set_value(lost ? EIO : network_error::kSettingsRefused);
            return;
        }
        const unsigned stop_bits = settings.StopBits == 0 ? 1 : 2;
        using Call = int (*)(sergensio*, unsigned, sergensio_done, void*);
        const std::array<std::pair<Call, unsigned>, 4> calls{{{sergensio_baud, settings.BaudRate},
                                                              {sergensio_datasize, settings.ByteSize},
                                                              {sergensio_parity, parity_code(settings.Parity)},
                                                              {sergensio_stopbits, stop_bits}}};
        request.waiting = static_cast<int>(calls.size());
        for (std::size_t i = 0; i < calls.size(); ++i) {
            request.answers[i] = {&request, calls[i].second};
            const auto done = [](sergensio*, int error, unsigned value, void* data) {
                auto& answer = *static_cast<SettingsRequest::Answer*>(data);
                answer.request->answered(error, value, answer.wanted);
            };
            if (calls[i].first(serial, calls[i].second, done, &request.answers[i]) != 0)
                request.answered(GE_NOTSUP, 0, calls[i].second);
        }
    }

    // Drops what is on its way from the program and asks the server to drop
    // what it holds; bytes gensio holds from the server stay (they arrived).
    void drop_held()
    {
        outgoing.clear();
        outgoing_at = 0;
        char bytes[kBridgeChunk];
        while (::recv(bridge_end.get(), bytes, sizeof bytes, MSG_DONTWAIT) > 0) {
        }
        if (open && !lost) {
            gensio_set_write_callback_enable(io, false);
            os->set_read_handler(bridge_iod, true);
            if (serial)
                (void)sergensio_flush(serial, SERGENSIO_FLUSH_RCV_XMIT_BUFFERS);
        }
    }

    void stop()
    {
        stopping = true;
        report_connect(ETIMEDOUT);
        os->set_read_handler(bridge_iod, false);
        os->set_write_handler(bridge_iod, false);
        if (io) {
            const auto closed = [](gensio* io, void* data) {
                gensio_free(io);
                static_cast<Loop*>(data)->clear_handlers();
            };
            gensio_set_read_callback_enable(io, false);
            gensio_set_write_callback_enable(io, false);
            if (gensio_close(io, closed, this) == 0)
                return;
            gensio_free(io);
        }
        clear_handlers();
    }

    void clear_handlers()
    {
        io = nullptr;
        handlers_to_clear = 2;
        os->clear_fd_handlers(bridge_iod);
        os->clear_fd_handlers(wake_iod);
    }

    static void on_cleared(gensio_iod*, void* data)
    {
        auto& loop = *static_cast<Loop*>(data);
        if (--loop.handlers_to_clear > 0)
            return;
        loop.os->release_iod(loop.bridge_iod);
        loop.os->release_iod(loop.wake_iod);
        loop.finished = true;
    }
};

namespace {

std::pair<FileDescriptor, FileDescriptor> socket_pair(int& error)
{
    int ends[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, ends) != 0) {
        error = errno;
        return {};
    }
    return {FileDescriptor(ends[0]), FileDescriptor(ends[1])};
}

}  // namespace

NetworkPort::NetworkPort(std::unique_ptr<Loop> loop) : loop_(std::move(loop)) {}

NetworkPort::~NetworkPort() = default;

std::unique_ptr<NetworkPort> NetworkPort::start(const NetworkPortAddress& address, int& error)
{
    error = 0;
    auto loop = std::make_unique<Loop>();
    loop->address = address;
    std::tie(loop->program_end, loop->bridge_end) = socket_pair(error);
    if (error == 0)
        std::tie(loop->wake_sender, loop->wake_receiver) = socket_pair(error);
    if (error != 0)
        return nullptr;
    if (const int failed = gensio_unix_funcs_alloc(nullptr, 0, &loop->os); failed != 0) {
        loop->os = nullptr;
        error = error_from_gensio(failed);
        return nullptr;
    }
    loop->finished = true;  // until the loop runs, freeing the functions is all there is to do
    auto& os = *loop->os;
    if (os.add_iod(&os, GENSIO_IOD_SOCKET, loop->bridge_end.get(), &loop->bridge_iod) != 0 ||
        os.add_iod(&os, GENSIO_IOD_SOCKET, loop->wake_receiver.get(), &loop->wake_iod) != 0) {
        error = ENOMEM;
        if (loop->bridge_iod)
            os.release_iod(loop->bridge_iod);
        return nullptr;
    }
    if (os.set_fd_handlers(loop->bridge_iod, loop.get(), &Loop::on_bridge_readable, &Loop::on_bridge_writable,
                           nullptr, &Loop::on_cleared) != 0 ||
        os.set_fd_handlers(loop->wake_iod, loop.get(), &Loop::on_wake, nullptr, nullptr, &Loop::on_cleared) != 0) {
        error = ENOMEM;
        os.clear_fd_handlers_norpt(loop->bridge_iod);
        os.release_iod(loop->bridge_iod);
        os.release_iod(loop->wake_iod);
        return nullptr;
    }
    os.set_read_handler(loop->wake_iod, true);
    loop->finished = false;
    loop->connection = loop->connected.get_future();
    Loop& running = *loop;
    loop->post([&running] { running.start_connect(); });
    try {
        loop->thread = std::thread([&running] { running.run(); });
    } catch (const std::system_error& failure) {
        error = failure.code().value();
        loop->finished = false;  // the loop holds handlers that only it could clear
        return nullptr;
    }
    return std::unique_ptr<NetworkPort>(new NetworkPort(std::move(loop)));
}

std::optional<int> NetworkPort::connection(std::chrono::milliseconds wait)
{
    if (!loop_->outcome) {
        if (loop_->connection.wait_for(wait) != std::future_status::ready)
            return std::nullopt;
        loop_->outcome = loop_->connection.get();
    }
    return loop_->outcome;
}


FileDescriptor NetworkPort::take_program_end() noexcept
{
    return std::move(loop_->program_end);
}

int NetworkPort::apply_settings(const SerialLineSettings& settings)
{
    if (loop_->address.kind != NetworkPortKind::Rfc2217)
        return 0;
    auto request = std::make_unique<SettingsRequest>();
    std::future<int> outcome = request->outcome.get_future();
    SettingsRequest& pending = *request;
    Loop& loop = *loop_;
    loop_->post([&loop, &pending, settings, owned = std::make_shared<std::unique_ptr<SettingsRequest>>(
                                                std::move(request))]() mutable {
        loop.settings_requests.push_back(std::move(*owned));
        loop.apply(settings, pending);
    });
    if (outcome.wait_for(kNetworkSettingsWait) != std::future_status::ready)
        return network_error::kSettingsRefused;
    return outcome.get();
}

void NetworkPort::purge()
{
    auto dropped = std::make_shared<std::promise<void>>();
    std::future<void> done = dropped->get_future();
    Loop& loop = *loop_;
    loop_->post([&loop, dropped] {
        loop.drop_held();
        dropped->set_value();
    });
    (void)done.wait_for(kPurgeWait);
}

}  // namespace host
