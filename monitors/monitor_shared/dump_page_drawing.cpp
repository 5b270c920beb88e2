#include "dump_page_drawing.h"

#include "console_output.h"
#include "dump_page.h"
#include "runtime/core/frame.h"
#include "runtime/drawing/line_draw.h"
#include "target_link.h"

namespace monitor {

using rt::stmt;

void draw_dump_page(std::uint16_t dumpBase, std::span<const PlacedText> helpBlock,
                    const std::function<void()>& drawLegend)
{
    stmt(__LINE__, [&] { rt::CLS(0, 1); });
    stmt(__LINE__, [&] { locate(kDumpHeader); });
    stmt(__LINE__, [&] { text_colour(kDumpHeaderColour); });
    stmt(__LINE__, [&] { print(kDumpHeaderText, kEndLine); });
    stmt(__LINE__, [&] { text_colour(kNormalColour); });
    for (int k = 0; k < kDumpRows; ++k) {
        stmt(__LINE__, [&] { text_colour(kDumpAddressColour); });
        stmt(__LINE__, [&] { locate(kDumpAddressColumn, kDumpFirstRow + k); });
        stmt(__LINE__, [&] { print(address_text(dumpBase + 16u * static_cast<unsigned>(k))); });
        stmt(__LINE__, [&] { text_colour(kNormalColour); });
        stmt(__LINE__, [&] { print(kDumpPlaceholder); });
    }
    stmt(__LINE__, [&] { text_colour(kDumpLineTextColour); });
    stmt(__LINE__, [&] { drawing_colour(kDumpLineDrawColour); });
    for (const PixelLine& line : kDumpLines)
        stmt(__LINE__, [&] {
            rt::LINE_DRAW(0, 0, static_cast<float>(line.x1), static_cast<float>(line.y1), 0, static_cast<float>(line.x2),
                          static_cast<float>(line.y2), rt::kDrawModeNotGiven, 0, rt::line_shape::Line, 0,
                          rt::kLineStyleNotGiven, 3);
        });
    stmt(__LINE__, [&] { text_colour(kNormalColour); });
    drawLegend();
    for (const PlacedText& help : helpBlock) {
        stmt(__LINE__, [&] { locate(help.place); });
        stmt(__LINE__, [&] { print(help.text); });
    }
}

bool read_dump_row(std::uint16_t dumpBase, std::uint16_t dumpRowOffset)
{
    send_request(dump_row_request(dumpBase, dumpRowOffset));
    const CommandReply reply = read_command_reply();
    if (reply.failed)
        return false;
    stmt(__LINE__, [&] { locate(kDumpBytesColumn, dump_row_screen_row(dumpRowOffset)); });
    stmt(__LINE__, [&] { print(dump_row_text(reply.reply)); });
    return true;
}

}  // namespace monitor
