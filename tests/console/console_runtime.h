// A running program's runtime with the console installed on a headless
// desktop, for tests of the statement operations.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <utility>

#include "host/desktop.h"
#include "host/headless_front_end.h"
#include "runtime/console/console_installation.h"
#include "runtime/console/console_records.h"
#include "runtime/core/error.h"
#include "runtime/core/program_start.h"
#include "runtime/core/runtime.h"
#include "runtime/core/string_ops.h"
#include "runtime/core/string_stack.h"
#include "runtime/files/device_table.h"
#include "tests/support/test_runtime.h"

namespace rt::console::testing {

struct ConsoleRuntime {
    explicit ConsoleRuntime(ProgramOptions options = {})
        : kit(qk_test::RuntimeSetUp{std::move(options), "Test", "TEST", true})
    {
        runtime.install(std::make_unique<DeviceTable>(runtime.options()));
        records = &install_console(runtime);
    }

    ConsoleWindow& window() { return *records->main_window(); }
    TextScreenState& state() { return window().screen().state(); }
    std::string cell_row(int row)
    {
        const auto& r = window().screen().cells().row(row);
        return std::string(reinterpret_cast<const char*>(r.characters.data()), static_cast<std::size_t>(state().columns));
    }
    std::string shown_row(int row) { return front->screen_rows(window().id()).at(static_cast<std::size_t>(row)); }
    // Queues key messages for the main window as a keyboard would deliver them.
    void type(std::string_view text)
    {
        for (char c : text)
            front->inject(host::Message{.window = 0, .kind = host::MessageKind::Char, .character = static_cast<std::uint8_t>(c)});
    }
    void press(std::uint32_t virtual_key)
    {
        front->inject(host::Message{0, host::MessageKind::KeyDown, virtual_key, 1});
        front->inject(host::Message{0, host::MessageKind::KeyUp, virtual_key, 0});
    }
    // Delivers every waiting message.
    void dispatch_all()
    {
        host::Message m;
        while (desktop.peek(m))
            if (m.kind != host::MessageKind::Quit)
                desktop.dispatch(m);
    }
    std::string pop_string()
    {
        PoppedString s;
        return std::string(s.view());
    }

    qk_test::TestRuntime<host::HeadlessFrontEnd> kit;
    host::HeadlessFrontEnd* front = &kit.front();
    host::Desktop& desktop = kit.desktop();
    Runtime& runtime = kit.runtime();
    ConsoleRecords* records = nullptr;
};

// The error number a call raises; 0 when it returns normally.
inline std::uint16_t error_of(const std::function<void()>& call)
{
    try {
        call();
    } catch (const RuntimeError& e) {
        return e.number();
    }
    return 0;
}

}  // namespace rt::console::testing
