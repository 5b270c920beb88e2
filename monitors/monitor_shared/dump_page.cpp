#include "monitors/monitor_shared/dump_page.h"

#include "monitors/monitor_shared/console_output.h"
#include "monitors/monitor_shared/target_link.h"
#include "runtime/core/frame.h"
#include "runtime/core/number_text.h"
#include "runtime/drawing/line_draw.h"

namespace monitor {

std::uint16_t moved_dump_base(std::uint16_t dump_base, std::int32_t delta, const BoardDescription& board)
{
    return static_cast<std::uint16_t>((static_cast<std::int32_t>(dump_base) + delta) & board.dump_base_mask);
}

std::uint16_t next_dump_row_offset(std::uint16_t dump_row_offset)
{
    return static_cast<std::uint16_t>((dump_row_offset + 16) & 0xF0);
}

std::string address_text(std::uint32_t address)
{
    const std::string digits = rt::hex_text(static_cast<std::int32_t>(address & 0xFFFF));
    return std::string(4 - digits.size(), '0') + digits;
}

std::string dump_row_request(std::uint16_t dump_base, std::uint16_t dump_row_offset)
{
    std::string request = address_text(static_cast<std::uint32_t>(dump_base) + dump_row_offset);
    request.push_back(static_cast<char>(code::kRead16));
    return request;
}

std::string dump_row_text(std::string_view reply)
{
    std::string text;
    for (std::size_t j = 0; j < 32; j += 2) {
        if (j < reply.size())
            text += reply.substr(j, 2);
        text.push_back(' ');
    }
    return text;
}


using rt::stmt;

void draw_dump_page(std::uint16_t dump_base, std::span<const PlacedText> help_block,
                    const std::function<void()>& draw_legend_cells)
{
    stmt(__LINE__, [&] { rt::CLS(0, 1); });
    stmt(__LINE__, [&] { locate(kDumpHeader); });
    stmt(__LINE__, [&] { text_colour(kDumpHeaderColour); });
    stmt(__LINE__, [&] { print(kDumpHeaderText, kEndLine); });
    stmt(__LINE__, [&] { text_colour(kNormalColour); });
    for (int k = 0; k < kDumpRows; ++k) {
        stmt(__LINE__, [&] { text_colour(kDumpAddressColour); });
        stmt(__LINE__, [&] { locate(kDumpAddressColumn, kDumpFirstRow + k); });
        stmt(__LINE__, [&] { print(address_text(dump_base + 16u * static_cast<unsigned>(k))); });
        stmt(__LINE__, [&] { text_colour(kNormalColour); });
        stmt(__LINE__, [&] { print(kDumpPlaceholder); });
    }
    stmt(__LINE__, [&] { text_colour(kDumpLineTextColour); });
    stmt(__LINE__, [&] { drawing_colour(kDumpLineDrawColour); });
    for (const PixelLine& line : kDumpLines)
        stmt(__LINE__, [&] {
            rt::LINE_DRAW(0, 0, static_cast<float>(line.x1), static_cast<float>(line.y1), 0, static_cast<float>(line.x2),
                          static_cast<float>(line.y2), rt::kDrawModeNotGiven, 0, rt::line_shape::kLine, 0,
                          rt::kLineStyleNotGiven, 3);
        });
    stmt(__LINE__, [&] { text_colour(kNormalColour); });
    draw_legend_cells();
    for (const PlacedText& help : help_block) {
        stmt(__LINE__, [&] { locate(help.place); });
        stmt(__LINE__, [&] { print(help.text); });
    }
}

bool read_dump_row(TargetLink& link, std::uint16_t dump_base, std::uint16_t dump_row_offset)
{
    link.send(dump_row_request(dump_base, dump_row_offset));
    const CommandReply reply = link.read_command_reply();
    if (reply.failed)
        return false;
    stmt(__LINE__, [&] { locate(kDumpBytesColumn, dump_row_screen_row(dump_row_offset)); });
    stmt(__LINE__, [&] { print(dump_row_text(reply.reply)); });
    return true;
}

}  // namespace monitor
