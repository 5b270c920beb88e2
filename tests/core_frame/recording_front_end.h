// A front end for frame tests: calls a hook at every collection of native
// events (where a test posts its messages), and records message boxes.
#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "host/desktop.h"
#include "host/front_end.h"

namespace qk_test {

class RecordingFrontEnd final : public host::FrontEnd {
public:
    // Called with the desktop and the number of collections so far (1, 2, ...).
    std::function<void(host::Desktop&, int)> on_collect;
    int collections = 0;
    std::vector<std::pair<std::string, std::string>> boxes;  // caption, text

    void collect_events(host::Desktop& desktop, std::chrono::milliseconds) override
    {
        ++collections;
        if (on_collect)
            on_collect(desktop, collections);
    }
    void paint_from_layer(host::WindowId, const host::Surface&, const host::Rect&) override {}
    void paint_text(host::WindowId, const host::TextRun&) override {}
    void paint_fill(host::WindowId, const host::Rect&, std::uint32_t) override {}
    void bell() override {}
    void message_box(std::string_view caption, std::string_view text) override
    {
        boxes.emplace_back(std::string(caption), std::string(text));
    }
};

}  // namespace qk_test
