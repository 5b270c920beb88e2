// A console stand-in for the terminal front-end test: paints text runs, a
// reversed cell, double-byte text and two lines in the graphics layer, then
// shows every key message it receives on row 22 ("D74" key down 0x74,
// "S79" system key down, "C03" character 3). Writes its process id to the
// file named by its first argument. The key "m" shows a message box. Ends
// when its window is closed.
#include <cstdio>
#include <fstream>
#include <memory>
#include <string>
#include <unistd.h>

#include "host/desktop.h"
#include "host/terminal_front_end.h"

namespace {

constexpr std::uint32_t kWhite = 0xFFFFFF;
constexpr std::uint32_t kBlack = 0x000000;
constexpr std::uint32_t kYellow = 0xFFFF00;

host::TextRun run_at(int column, int row, std::string_view text, std::uint32_t fg, std::uint32_t bg = kBlack,
                     bool reversed = false)
{
    host::TextRun run;
    run.column = column, run.row = row, run.x = column * 8, run.y = row * 18;
    run.text = text, run.foreground = fg, run.background = bg, run.paint_background = reversed;
    return run;
}

std::string token(const host::Message& m)
{
    const char kind = m.kind == host::MessageKind::KeyDown ? 'D' : m.kind == host::MessageKind::SysKeyDown ? 'S' : 'C';
    char text[8];
    std::snprintf(text, sizeof text, "%c%02X ", kind, unsigned(m.kind == host::MessageKind::Char ? m.character : m.key & 0xFF));
    return text;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc > 1)
        std::ofstream(argv[1]) << getpid() << '\n';
    host::Desktop desktop(std::make_unique<host::TerminalFrontEnd>());
    host::Surface layer(640, 432, kBlack);
    for (int x = 48; x <= 424; ++x)
        layer.pixel(x, 197) = kWhite;
    for (int y = 0; y < 432; ++y)
        layer.pixel(236, y) = kWhite;

    std::string keys;
    host::WindowId window = 0;
    auto paint_keys = [&] {
        host::FrontEnd& front_end = desktop.front_end();
        front_end.begin_paint(window);
        front_end.paint_from_layer(window, layer, host::Rect{0, 22 * 18, 640, 23 * 18});
        const std::string shown = keys.size() > 80 ? keys.substr(keys.size() - 80) : keys;
        front_end.paint_text(window, run_at(0, 22, shown, kWhite));
        front_end.end_paint(window);
    };
    host::WindowInfo info;
    info.title_sjis = "probe";
    info.client_width = 640;
    info.client_height = 432;
    window = desktop.create_window(info, [&](const host::Message& m) -> std::int64_t {
        switch (m.kind) {
        case host::MessageKind::KeyDown:
        case host::MessageKind::SysKeyDown:
        case host::MessageKind::Char:
            keys += token(m);
            paint_keys();
            if (m.kind == host::MessageKind::Char && m.character == 'm')
                desktop.message_box("Probe", "Hello\r\nWorld");
            break;
        case host::MessageKind::Close:
            desktop.destroy_window(window);
            desktop.post_quit(0);
            break;
        default:
            break;
        }
        return 0;
    });

    host::FrontEnd& front_end = desktop.front_end();
    front_end.begin_paint(window);
    front_end.paint_from_layer(window, layer, host::Rect{0, 0, 640, 432});
    front_end.paint_text(window, run_at(0, 0, "Qk14 probe", kWhite));
    front_end.paint_text(window, run_at(10, 2, "R", kBlack, kWhite, true));
    front_end.paint_text(window, run_at(0, 3, "\x8A\xBF\x8E\x9A\x81\xA8|", kYellow));  // 漢字→|
    front_end.end_paint(window);

    while (true) {
        const host::Message m = desktop.get();
        if (m.kind == host::MessageKind::Quit)
            return m.exit_code;
        desktop.dispatch(m);
    }
}
