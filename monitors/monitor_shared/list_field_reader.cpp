#include "list_field_reader.h"

namespace monitor {

namespace {

constexpr char kEndOfText = 0x1A;

// Turns the raw field into its text: quotes removed, trailing blanks dropped;
// after a closing quote only blanks may follow.
TextItem parse_field(std::string_view raw)
{
    if (!raw.empty() && raw.front() == '"') {
        const auto close = raw.find('"', 1);
        if (close == std::string_view::npos)
            return {std::string(raw.substr(1)), 0};
        if (raw.find_first_not_of(' ', close + 1) != std::string_view::npos)
            return {{}, kErrorBadField};
        return {std::string(raw.substr(1, close - 1)), 0};
    }
    const auto last = raw.find_last_not_of(' ');
    return {std::string(raw.substr(0, last == std::string_view::npos ? 0 : last + 1)), 0};
}

}  // namespace

bool ListFieldReader::at_end() const noexcept
{
    if (position_ >= bytes_.size())
        return true;
    return position_ + 1 == bytes_.size() && bytes_[position_] == kEndOfText;
}

TextItem ListFieldReader::read_text()
{
    if (position_ >= bytes_.size())
        return {{}, kErrorInputPastEnd};
    std::string raw;
    bool started = false;
    bool in_quote = false;
    bool quote_closed = false;
    while (position_ < bytes_.size()) {
        const char byte = bytes_[position_];
        if (byte == '\0') {
            ++position_;
            continue;
        }
        if (byte == kEndOfText && position_ + 1 == bytes_.size()) {
            if (!started)
                return {{}, kErrorInputPastEnd};
            break;
        }
        if (byte == '\r') {
            ++position_;
            if (position_ < bytes_.size() && bytes_[position_] == '\n')
                ++position_;
            break;
        }
        if (in_quote) {
            raw.push_back(byte);
            ++position_;
            if (byte == '"') {
                in_quote = false;
                quote_closed = true;
            }
            continue;
        }
        if (byte == ',' || byte == ':') {
            ++position_;
            break;
        }
        if (quote_closed) {
            ++position_;
            if (byte == ' ')
                continue;
            raw.push_back(byte);  // ends the field; the parser refuses it
            break;
        }
        if (byte == ' ' && !started) {
            ++position_;
            continue;
        }
        if (byte == '"' && !started)
            in_quote = true;
        started = true;
        raw.push_back(byte);
        ++position_;
    }
    return parse_field(raw);
}

}  // namespace monitor
