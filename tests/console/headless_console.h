// A console window on a headless desktop, for the console tests.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "host/desktop.h"
#include "host/headless_front_end.h"
#include "runtime/console/console_window.h"
#include "runtime/console/console_writer.h"

namespace rt::console::testing {

struct HeadlessConsole {
    explicit HeadlessConsole(KeyReactions reactions = {})
    {
        auto front = std::make_unique<host::HeadlessFrontEnd>();
        front_end = front.get();
        desktop = std::make_unique<host::Desktop>(std::move(front));
        if (!reactions.beep)
            reactions.beep = [this] { desktop->bell(); };
        window = std::make_unique<ConsoleWindow>(*desktop, "TEST", std::move(reactions));
    }

    ConsoleScreen& screen() { return window->screen(); }
    TextScreenState& state() { return window->screen().state(); }
    void write(std::string_view text) { ConsoleWriter(screen()).write(text); }
    void locate(int column, int row)
    {
        state().cursor_column = column;
        state().cursor_row = row;
    }
    // Text of a row of the cell buffer.
    std::string cell_row(int row)
    {
        const auto& r = screen().cells().row(row);
        return std::string(reinterpret_cast<const char*>(r.characters.data()), static_cast<std::size_t>(state().columns));
    }
    // Text of a row as the paint calls left it on the window.
    std::string shown_row(int row) { return front_end->screen_rows(window->id()).at(static_cast<std::size_t>(row)); }
    // Delivers every waiting message to its window.
    void dispatch_all()
    {
        host::Message m;
        while (desktop->peek(m))
            if (m.kind != host::MessageKind::Quit)
                desktop->dispatch(m);
    }

    host::HeadlessFrontEnd* front_end = nullptr;
    std::unique_ptr<host::Desktop> desktop;
    std::unique_ptr<ConsoleWindow> window;
};

inline std::string padded(std::string text, std::size_t width = 80)
{
    text.resize(width, ' ');
    return text;
}

}  // namespace rt::console::testing
