// The field parser of the input statement: takes one field at a time from an
// input line (console and serial line input) or from one field the field
// reader took from a file.
//
// Leading spaces are skipped. A field that begins with a double quote runs to
// the closing quote (commas and colons inside belong to it); only spaces may
// follow before the separator. Other fields run to the next comma or colon,
// trailing spaces dropped. Numeric fields must not be quoted, empty, or hold
// a space followed by more characters.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace rt {

enum class FieldTarget { String, Numeric };

enum class FieldStatus {
    Taken,   // the field's text is in the output
    Bad,     // the field cannot be taken for this target
    NoMore,  // the line has no more fields
};

class LineFieldParser {
public:
    explicit LineFieldParser(std::string_view line) noexcept : line_(line) {}

    // Takes the next field into `text`.
    FieldStatus next(FieldTarget target, std::string& text);
    // True when a separator was passed and another field follows (possibly empty).
    bool has_more() const noexcept { return more_; }

private:
    std::string_view line_;
    std::size_t position_ = 0;
    bool more_ = true;  // a line holds at least one field, possibly empty
};

}  // namespace rt
