// A runtime made current for one test, with a front end that counts beeps and
// a print channel that captures formatted items; helpers to push and pop text
// and to check that no heap block or stack entry is left behind.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "host/front_end.h"
#include "runtime/core/error.h"
#include "runtime/core/print_channel.h"
#include "runtime/core/runtime.h"
#include "runtime/core/string_heap.h"
#include "runtime/core/string_ops.h"
#include "runtime/core/string_stack.h"
#include "tests/support/test_runtime.h"

namespace core_strings_test {

class BellCountingFrontEnd final : public host::FrontEnd {
public:
    explicit BellCountingFrontEnd(int& bells) : bells_(bells) {}
    void collect_events(host::Desktop&, std::chrono::milliseconds) override {}
    void paint_from_layer(host::WindowId, const host::Surface&, const host::Rect&) override {}
    void paint_text(host::WindowId, const host::TextRun&) override {}
    void paint_fill(host::WindowId, const host::Rect&, std::uint32_t) override {}
    void bell() override { ++bells_; }
    void message_box(std::string_view, std::string_view) override {}

private:
    int& bells_;
};

// Records what formatted output sends; window 0 and the windows in `open` exist.
class CapturePrintChannel final : public rt::PrintChannel {
public:
    struct Item {
        std::string text;
        std::uint16_t separator;
        bool operator==(const Item&) const = default;
    };

    void select(std::uint16_t window) override
    {
        if (window != 0 && !open.contains(window))
            rt::RAISE_ERROR(rt::err::kBadWindow, 0x3901);
        selected.push_back(window);
    }
    void print_item(std::string_view text, std::uint16_t separator) override
    {
        items.push_back({std::string(text), separator});
    }

    std::set<std::uint16_t> open;
    std::vector<std::uint16_t> selected;
    std::vector<Item> items;
};

// The error number `body` raised, or 0 when it returned normally.
template <class Body>
std::uint16_t error_raised_by(Body&& body)
{
    try {
        body();
    } catch (const rt::RuntimeError& e) {
        return e.number();
    }
    return 0;
}

class StringRuntimeTest : public ::testing::Test {
protected:
    rt::Runtime& runtime() { return runtime_.runtime(); }
    rt::StringHeap& heap() { return runtime().heap(); }
    rt::StringStack& stack() { return runtime().string_stack(); }
    int bells() const { return bells_; }

    void push(std::string_view text) { rt::push_temp(text); }

    // Pops the top string and returns its bytes, releasing its block.
    std::string pop_text()
    {
        rt::StringDescriptor d;
        rt::STR_POP(d);
        std::string text(d.view());
        rt::STR_FREE(d);
        return text;
    }

    // No temporary is left: the stack is empty and only `variables` blocks live.
    void expect_clean(std::size_t variables = 0)
    {
        EXPECT_EQ(stack().depth(), 0);
        std::size_t live = 0;
        for (const rt::HeapBlockInfo& block : heap().walk())
            live += block.owner != nullptr ? 1 : 0;
        EXPECT_EQ(live, variables);
    }

private:
    int bells_ = 0;
    qk_test::TestRuntime<BellCountingFrontEnd> runtime_{std::make_unique<BellCountingFrontEnd>(bells_)};
};

}  // namespace core_strings_test
