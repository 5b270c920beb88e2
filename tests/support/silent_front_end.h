// A front end with no output and no input of its own, for tests and
// benchmarks that need a desktop but look at nothing it shows.
#pragma once

#include <chrono>
#include <cstdint>
#include <string_view>

#include "host/front_end.h"

namespace qk_test {

class SilentFrontEnd final : public host::FrontEnd {
public:
    void collect_events(host::Desktop&, std::chrono::milliseconds) override {}
    void paint_from_layer(host::WindowId, const host::Surface&, const host::Rect&) override {}
    void paint_text(host::WindowId, const host::TextRun&) override {}
    void paint_fill(host::WindowId, const host::Rect&, std::uint32_t) override {}
    void bell() override {}
    void message_box(std::string_view, std::string_view) override {}
};

}  // namespace qk_test
