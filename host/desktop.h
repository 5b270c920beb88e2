// The desktop: windows with procedures, one message queue for the program
// thread, timers, and the front end that feeds and shows them.
//
// Timer messages are made only while messages are taken (peek/get), so a
// program that does not pump gets no ticks and no backlog of them builds up.
#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "host/front_end.h"
#include "host/message.h"

namespace host {

using WindowProcedure = std::function<std::int64_t(const Message&)>;

class Desktop {
public:
    using Clock = std::chrono::steady_clock;

    explicit Desktop(std::unique_ptr<FrontEnd> front_end);
    ~Desktop();
    Desktop(const Desktop&) = delete;
    Desktop& operator=(const Desktop&) = delete;

    FrontEnd& front_end() noexcept { return *front_end_; }

    WindowId create_window(const WindowInfo& info, WindowProcedure procedure);
    // A window that is never shown and that the front end is not told about:
    // it only receives messages (timers).
    WindowId create_hidden_window(WindowProcedure procedure);
    // Sends Destroy to the window's procedure, then forgets it.
    void destroy_window(WindowId window);
    bool window_exists(WindowId window) const noexcept;
    // Every existing window, oldest first.
    std::vector<WindowId> window_ids() const;
    // The oldest window the front end shows; 0 when there is none.
    WindowId main_window() const noexcept;
    // Retitles a shown window (Shift-JIS): the window's title bar, or the
    // terminal's title where the terminal has one.
    void set_title(WindowId window, std::string_view title_sjis);

    // Appends a message to the queue (program thread only).
    void post(const Message& message);
    // Ends the message loop: the next peek/get yields Quit with this exit code.
    void post_quit(int exit_code);
    // Calls the window's procedure at once; 0 when the window does not exist.
    std::int64_t send(const Message& message);
    std::int64_t dispatch(const Message& message) { return send(message); }

    // Takes (remove = true) or looks at the next message without waiting.
    // Collects native events and due timers first.
    bool peek(Message& out, bool remove = true);
    // Waits until a message is there and takes it.
    Message get();
    // The same, giving up (false) when `deadline` passes first.
    bool get_until(Message& out, Clock::time_point deadline);

    // Timers post Timer(id) to the window every `interval` while messages are taken.
    void set_timer(WindowId window, std::uint32_t id, std::chrono::milliseconds interval);
    void kill_timer(WindowId window, std::uint32_t id);

    void bell() { front_end_->bell(); }
    void message_box(std::string_view caption_sjis, std::string_view text_sjis)
    {
        front_end_->message_box(caption_sjis, text_sjis);
    }

private:
    struct TimerEntry {
        std::chrono::milliseconds interval;
        Clock::time_point due;
    };
    void post_due_timers();
    Clock::duration time_to_next_timer() const;

    std::unique_ptr<FrontEnd> front_end_;
    std::map<WindowId, WindowProcedure> windows_;
    WindowId next_window_ = 1;
    std::deque<Message> queue_;
    std::map<std::pair<WindowId, std::uint32_t>, TimerEntry> timers_;
    std::set<WindowId> hidden_;      // windows the front end does not know
    std::set<WindowId> destroying_;  // windows whose Destroy is being handled
    bool quit_posted_ = false;
    int quit_code_ = 0;
};

}  // namespace host
