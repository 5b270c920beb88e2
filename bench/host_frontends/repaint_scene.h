// One full repaint of an 80x24 console: the whole client area restored from
// the graphics layer, then 24 text runs of 80 cells (one reversed run).
#pragma once

#include <string>
#include <vector>

#include "host/front_end.h"

class RepaintScene {
public:
    RepaintScene() : layer_(640, 432, 0x000000)
    {
        for (int x = 48; x <= 424; ++x)
            layer_.pixel(x, 197) = 0xFFFFFF;
        for (int y = 0; y < 432; ++y)
            layer_.pixel(236, y) = 0xFFFFFF;
        // Two texts per row, so that alternate frames change every cell.
        for (int variant = 0; variant < 2; ++variant) {
            for (int row = 0; row < 24; ++row) {
                std::string text;
                for (int column = 0; column < 80; ++column)
                    text += char(variant ? 'A' + (row + column) % 26 : '0' + (row * 7 + column) % 10);
                if (row == 3)  // a row of double-byte characters (漢)
                    for (int column = 0; column < 80; column += 2)
                        text[std::size_t(column)] = '\x8A', text[std::size_t(column) + 1] = '\xBF';
                rows_[variant].push_back(text);
            }
        }
    }

    void paint(host::FrontEnd& front_end, host::WindowId window)
    {
        const auto& rows = rows_[frame_++ % 2];
        front_end.begin_paint(window);
        front_end.paint_from_layer(window, layer_, host::Rect{0, 0, 640, 432});
        for (int row = 0; row < 24; ++row) {
            host::TextRun run;
            run.row = row, run.y = row * 18;
            run.text = rows[std::size_t(row)];
            run.foreground = row == 0 ? 0x000000 : 0xFFFFFF;
            run.background = 0xFFFFFF;
            run.paint_background = row == 0;
            front_end.paint_text(window, run);
        }
        front_end.end_paint(window);
    }

    static host::WindowInfo window_info()
    {
        host::WindowInfo info;
        info.title_sjis = "bench";
        info.client_width = 640;
        info.client_height = 432;
        return info;
    }

private:
    host::Surface layer_;
    std::vector<std::string> rows_[2];
    unsigned frame_ = 0;
};
