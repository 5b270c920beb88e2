// A runtime made current for one test, over a desktop without any output,
// and a helper that runs code and reports the error it raised.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <ostream>

#include "host/desktop.h"
#include "host/front_end.h"
#include "runtime/core/arrays.h"
#include "runtime/core/error.h"
#include "runtime/core/runtime.h"
#include "runtime/core/string_heap.h"
#include "runtime/core/string_stack.h"

namespace core_values_test {

class SilentFrontEnd final : public host::FrontEnd {
public:
    void collect_events(host::Desktop&, std::chrono::milliseconds) override {}
    void paint_from_layer(host::WindowId, const host::Surface&, const host::Rect&) override {}
    void paint_text(host::WindowId, const host::TextRun&) override {}
    void paint_fill(host::WindowId, const host::Rect&, std::uint32_t) override {}
    void bell() override {}
    void message_box(std::string_view, std::string_view) override {}
};

struct Raised {
    std::uint16_t number = 0;
    std::uint16_t site = 0;
    bool operator==(const Raised&) const = default;
};

inline std::ostream& operator<<(std::ostream& os, const Raised& r)
{
    return os << "error " << r.number << " at site 0x" << std::hex << r.site << std::dec;
}

// The error `body` raised, or {0, 0} when it returned normally.
template <class Body>
Raised raised_by(Body&& body)
{
    try {
        body();
    } catch (const rt::RuntimeError& e) {
        return {e.number(), e.site()};
    }
    return {};
}

class RuntimeTest : public ::testing::Test {
protected:
    rt::StringHeap& heap() { return runtime_.heap(); }
    rt::StringStack& stack() { return runtime_.string_stack(); }
    rt::ArrayRegistry& arrays() { return runtime_.arrays(); }

private:
    host::Desktop desktop_{std::make_unique<SilentFrontEnd>()};
    rt::Runtime runtime_{rt::ProgramOptions{}, desktop_, "Qk14", "qk14"};
    rt::RuntimeScope scope_{runtime_};
};

}  // namespace core_values_test
