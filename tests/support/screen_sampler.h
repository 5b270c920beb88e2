// Samples a live screen file every 40 ms on a thread of its own for as long
// as it exists, and keeps the samples a check finds false: the proof that a
// screen never showed a wrong value, not only that it ended right.
#pragma once

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <mutex>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/screen_capture.h"

namespace qk_test {

class ScreenSampler {
public:
    // `wrong` returns what is wrong with a screen, or nothing.
    using Check = std::function<std::optional<std::string>(const ScreenCapture&)>;

    ScreenSampler(std::filesystem::path live_file, Check wrong)
        : file_(std::move(live_file)), wrong_(std::move(wrong)), thread_([this] { run(); })
    {
    }
    ~ScreenSampler() { stop(); }
    ScreenSampler(const ScreenSampler&) = delete;
    ScreenSampler& operator=(const ScreenSampler&) = delete;

    void stop()
    {
        stop_ = true;
        if (thread_.joinable())
            thread_.join();
    }
    int samples() const { return samples_; }
    // The wrong samples (at most 5 kept), each with the screen's text.
    std::vector<std::string> wrong_samples() const
    {
        const std::lock_guard lock(mutex_);
        return wrong_samples_;
    }

private:
    void run()
    {
        while (!stop_) {
            std::ifstream in(file_);
            if (in) {
                std::ostringstream text;
                text << in.rdbuf();
                const ScreenCapture screen(text.str());
                if (!screen.empty()) {
                    ++samples_;
                    if (const std::optional<std::string> problem = wrong_(screen)) {
                        const std::lock_guard lock(mutex_);
                        if (wrong_samples_.size() < 5)
                            wrong_samples_.push_back(*problem + "\n" + text.str());
                    }
                }
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(40));
        }
    }

    std::filesystem::path file_;
    Check wrong_;
    std::atomic<bool> stop_{false};
    std::atomic<int> samples_{0};
    mutable std::mutex mutex_;
    std::vector<std::string> wrong_samples_;
    std::thread thread_;  // last: starts once the rest is ready
};

}  // namespace qk_test
