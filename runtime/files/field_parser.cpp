#include "runtime/files/field_parser.h"

namespace rt {

namespace {

bool is_separator(char c) noexcept
{
    return c == ',' || c == ':';
}

}  // namespace

FieldStatus LineFieldParser::next(FieldTarget target, std::string& text)
{
    if (!more_)
        return FieldStatus::NoMore;
    while (position_ < line_.size() && line_[position_] == ' ')
        ++position_;

    // Separators, quotes and spaces are all below 0x40 and so never the second
    // byte of a double-byte character: the line can be scanned byte by byte.
    if (position_ < line_.size() && line_[position_] == '"') {
        if (target == FieldTarget::Numeric)
            return FieldStatus::Bad;
        const std::size_t start = position_ + 1;
        const std::size_t close = line_.find('"', start);
        if (close == std::string_view::npos) {
            text.assign(line_.substr(start));
            position_ = line_.size();
            more_ = false;
            return FieldStatus::Taken;
        }
        std::size_t after = close + 1;
        while (after < line_.size() && line_[after] == ' ')
            ++after;
        if (after < line_.size() && !is_separator(line_[after]))
            return FieldStatus::Bad;
        text.assign(line_.substr(start, close - start));
        more_ = after < line_.size();
        position_ = more_ ? after + 1 : line_.size();
        return FieldStatus::Taken;
    }

    std::size_t end = position_;
    while (end < line_.size() && !is_separator(line_[end]))
        ++end;
    std::string_view field = line_.substr(position_, end - position_);
    while (!field.empty() && field.back() == ' ')
        field.remove_suffix(1);
    if (target == FieldTarget::Numeric && (field.empty() || field.find(' ') != std::string_view::npos))
        return FieldStatus::Bad;
    text.assign(field);
    more_ = end < line_.size();
    position_ = more_ ? end + 1 : line_.size();
    return FieldStatus::Taken;
}

}  // namespace rt
