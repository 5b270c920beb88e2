#include "dump_page.h"

namespace monitor {

std::uint16_t moved_dump_base(std::uint16_t dumpBase, std::int32_t delta, MonitorKind monitor)
{
    const std::int32_t mask = monitor == MonitorKind::Qk14 ? 0xFF00 : 0x100;
    return static_cast<std::uint16_t>((static_cast<std::int32_t>(dumpBase) + delta) & mask);
}

std::uint16_t next_dump_row_offset(std::uint16_t dumpRowOffset)
{
    return static_cast<std::uint16_t>((dumpRowOffset + 16) & 0xF0);
}

std::string address_text(std::uint32_t address)
{
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text(4, '0');
    for (int i = 3; i >= 0; --i) {
        text[static_cast<std::size_t>(i)] = kDigits[address & 0xF];
        address >>= 4;
    }
    return text;
}

std::string dump_row_request(std::uint16_t dumpBase, std::uint16_t dumpRowOffset)
{
    std::string request = address_text(static_cast<std::uint32_t>(dumpBase) + dumpRowOffset);
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

}  // namespace monitor
