#include "host/desktop.h"

#include <algorithm>
#include <utility>

namespace host {

namespace {

// Longest single wait for native events when no timer is due sooner; the
// front end returns earlier when an event arrives or wake() is called.
constexpr std::chrono::milliseconds kIdleWait{1000};

// Removes `id` from `set` when the scope ends, also during unwinding.
class EraseOnExit {
public:
    EraseOnExit(std::set<WindowId>& set, WindowId id) : set_(set), id_(id) {}
    ~EraseOnExit() { set_.erase(id_); }
    EraseOnExit(const EraseOnExit&) = delete;
    EraseOnExit& operator=(const EraseOnExit&) = delete;

private:
    std::set<WindowId>& set_;
    WindowId id_;
};

}  // namespace

Desktop::Desktop(std::unique_ptr<FrontEnd> front_end) : front_end_(std::move(front_end)) {}

// Windows still open are forgotten without a Destroy message: their procedures
// may refer to runtime records that are already gone when the desktop ends.
Desktop::~Desktop()
{
    for (const auto& [id, procedure] : windows_)
        if (!hidden_.contains(id))
            front_end_->window_destroyed(id);
}

WindowId Desktop::create_window(const WindowInfo& info, WindowProcedure procedure)
{
    const WindowId id = next_window_++;
    windows_.emplace(id, std::move(procedure));
    front_end_->window_created(id, info);
    return id;
}

void Desktop::destroy_window(WindowId window)
{
    if (!windows_.contains(window) || destroying_.contains(window))
        return;
    destroying_.insert(window);
    EraseOnExit done(destroying_, window);
    // The window is forgotten even when its Destroy handling throws.
    auto forget = [this, window] {
        windows_.erase(window);
        std::erase_if(timers_, [window](const auto& entry) { return entry.first.first == window; });
        if (hidden_.erase(window) == 0)
            front_end_->window_destroyed(window);
    };
    try {
        send(Message{window, MessageKind::Destroy});
    } catch (...) {
        forget();
        throw;
    }
    forget();
}

WindowId Desktop::create_hidden_window(WindowProcedure procedure)
{
    const WindowId id = next_window_++;
    windows_.emplace(id, std::move(procedure));
    hidden_.insert(id);
    return id;
}

bool Desktop::window_exists(WindowId window) const noexcept
{
    return windows_.contains(window);
}

WindowId Desktop::main_window() const noexcept
{
    for (const auto& [id, procedure] : windows_)
        if (!hidden_.contains(id))
            return id;
    return 0;
}

void Desktop::set_title(WindowId window, std::string_view title_sjis)
{
    if (windows_.contains(window) && !hidden_.contains(window))
        front_end_->set_title(window, title_sjis);
}

std::vector<WindowId> Desktop::window_ids() const
{
    std::vector<WindowId> ids;
    ids.reserve(windows_.size());
    for (const auto& [id, procedure] : windows_)
        ids.push_back(id);
    return ids;
}

// A window keeps its own dirty rectangle, and a timer that is already waiting
// needs no second message, so both kinds are coalesced.
void Desktop::post(const Message& message)
{
    if (message.kind == MessageKind::Paint || message.kind == MessageKind::Timer) {
        const bool waiting = std::any_of(queue_.begin(), queue_.end(), [&](const Message& m) {
            return m.window == message.window && m.kind == message.kind && m.timer_id == message.timer_id;
        });
        if (waiting)
            return;
    }
    queue_.push_back(message);
}

void Desktop::post_quit(int exit_code)
{
    quit_posted_ = true;
    quit_code_ = exit_code;
}

// The procedure is copied before the call: it may destroy its own window (or
// replace it) while it runs.
std::int64_t Desktop::send(const Message& message)
{
    const auto it = windows_.find(message.window);
    if (it == windows_.end())
        return 0;
    const WindowProcedure procedure = it->second;
    return procedure ? procedure(message) : 0;
}

// Order of delivery: posted messages, then the quit message, then timers,
// which are made only when nothing else is waiting.
bool Desktop::peek(Message& out, bool remove)
{
    front_end_->collect_events(*this, std::chrono::milliseconds{0});
    if (queue_.empty() && !quit_posted_)
        post_due_timers();
    if (!queue_.empty()) {
        out = queue_.front();
        if (remove)
            queue_.pop_front();
        return true;
    }
    if (quit_posted_) {
        out = Message{.window = 0, .kind = MessageKind::Quit, .exit_code = quit_code_};
        if (remove)
            quit_posted_ = false;
        return true;
    }
    return false;
}

Message Desktop::get()
{
    Message message;
    while (!peek(message)) {
        const auto wait = std::chrono::ceil<std::chrono::milliseconds>(time_to_next_timer());
        front_end_->collect_events(*this, std::max(wait, std::chrono::milliseconds{1}));
    }
    return message;
}

bool Desktop::get_until(Message& out, Clock::time_point deadline)
{
    while (!peek(out)) {
        const auto now = Clock::now();
        if (now >= deadline)
            return false;
        const auto wait = std::chrono::ceil<std::chrono::milliseconds>(std::min(time_to_next_timer(), deadline - now));
        front_end_->collect_events(*this, std::max(wait, std::chrono::milliseconds{1}));
    }
    return true;
}

void Desktop::set_timer(WindowId window, std::uint32_t id, std::chrono::milliseconds interval)
{
    interval = std::max(interval, std::chrono::milliseconds{1});
    timers_[{window, id}] = TimerEntry{interval, Clock::now() + interval};
}

void Desktop::kill_timer(WindowId window, std::uint32_t id)
{
    timers_.erase({window, id});
}

// A timer that fell behind (nobody took messages) fires once, not once per
// missed interval, and starts a fresh interval from now.
void Desktop::post_due_timers()
{
    if (timers_.empty())
        return;
    const auto now = Clock::now();
    for (auto& [key, timer] : timers_) {
        if (timer.due > now)
            continue;
        post(Message{.window = key.first, .kind = MessageKind::Timer, .timer_id = key.second});
        timer.due += timer.interval;
        if (timer.due <= now)
            timer.due = now + timer.interval;
    }
}

Desktop::Clock::duration Desktop::time_to_next_timer() const
{
    Clock::duration wait = kIdleWait;
    const auto now = Clock::now();
    for (const auto& [key, timer] : timers_)
        wait = std::min<Clock::duration>(wait, timer.due - now);
    return std::max<Clock::duration>(wait, Clock::duration::zero());
}

}  // namespace host
