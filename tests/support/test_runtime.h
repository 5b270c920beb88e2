// A runtime for one test: a desktop over the test's front end (silent unless
// the test chooses one), the runtime on it made current, and optionally the
// program begun as a started program would be.
#pragma once

#include <memory>
#include <string>
#include <utility>

#include "host/desktop.h"
#include "runtime/core/program_start.h"
#include "runtime/core/runtime.h"
#include "tests/support/silent_front_end.h"

namespace qk_test {

struct RuntimeSetUp {
    rt::ProgramOptions options{};
    std::string module_name = "Qk14";
    std::string base_name = "qk14";
    bool begin_program = false;  // rt::begin_program, as a started program
};

template <class Front = SilentFrontEnd>
class TestRuntime {
public:
    explicit TestRuntime(std::unique_ptr<Front> front = std::make_unique<Front>(), RuntimeSetUp set_up = {})
        : front_(front.get()),
          desktop_(std::move(front)),
          runtime_(std::move(set_up.options), desktop_, std::move(set_up.module_name), std::move(set_up.base_name)),
          scope_(runtime_)
    {
        if (set_up.begin_program)
            rt::begin_program(runtime_);
    }
    explicit TestRuntime(RuntimeSetUp set_up) : TestRuntime(std::make_unique<Front>(), std::move(set_up)) {}
    TestRuntime(const TestRuntime&) = delete;
    TestRuntime& operator=(const TestRuntime&) = delete;

    Front& front() noexcept { return *front_; }
    host::Desktop& desktop() noexcept { return desktop_; }
    rt::Runtime& runtime() noexcept { return runtime_; }

private:
    Front* front_;  // owned by desktop_
    host::Desktop desktop_;
    rt::Runtime runtime_;
    rt::RuntimeScope scope_;
};

}  // namespace qk_test
