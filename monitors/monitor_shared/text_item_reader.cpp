#include "monitors/monitor_shared/text_item_reader.h"

#include <algorithm>

#include "runtime/files/field_parser.h"
#include "runtime/core/error.h"

namespace monitor {

namespace {
constexpr char kEndOfText = 0x1A;
}  // namespace

std::size_t TextItemReader::MemorySource::read_at(std::uint64_t offset, std::span<std::uint8_t> buffer)
{
    if (offset >= bytes_.size())
        return 0;
    const std::size_t n = std::min<std::size_t>(buffer.size(), bytes_.size() - offset);
    std::copy_n(bytes_.begin() + static_cast<std::ptrdiff_t>(offset), n, buffer.begin());
    return n;
}

bool TextItemReader::at_end() const noexcept
{
    const std::string_view bytes = source_.bytes();
    if (position_ >= bytes.size())
        return true;
    return position_ + 1 == bytes.size() && bytes.back() == kEndOfText;
}

TextItem TextItemReader::read_text()
{
    TextItem item;
    if (position_ >= source_.bytes().size()) {
        item.error = rt::err::kDeviceIoError;
        return item;
    }
    const rt::FieldReadResult field = rt::read_field(source_, position_, rt::FieldTarget::String);
    position_ = field.next_position;
    if (field.error != 0) {
        item.error = field.error;
        return item;
    }
    rt::LineFieldParser parser(field.text);
    if (parser.next(rt::FieldTarget::String, item.text) != rt::FieldStatus::Taken) {
        item.text.clear();
        item.error = rt::err::kBadField;
    }
    return item;
}

}  // namespace monitor
