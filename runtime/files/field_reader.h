// The field reader: one field of the input statement taken from a text file,
// scanned in chunks of 256 bytes from the current position.
//
// A field ends at a line end (CR LF, a lone CR or a lone LF, so files saved
// with either convention read alike), at a comma or colon outside quotes, at
// the end of the data, or at a final 0x1A. A double quote that starts the
// field opens a quote that the next double quote closes; the quote characters
// stay in the text for the field parser. Leading spaces are
// skipped; after a closed quote or a complete number spaces are skipped and
// any other character ends the field (left for the next read when the target
// is numeric, dropped when it is a string). NUL bytes are dropped.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "runtime/files/field_parser.h"

namespace rt {

// Where the field reader takes its bytes from.
class FieldByteSource {
public:
    virtual ~FieldByteSource() = default;
    // Reads up to buffer.size() bytes at `offset`; returns how many (0 at the
    // end of the data). Raises the mapped system error when the read fails.
    virtual std::size_t read_at(std::uint64_t offset, std::span<std::uint8_t> buffer) = 0;
};

inline constexpr std::size_t kFieldChunkSize = 256;

struct FieldReadResult {
    std::uint16_t error = 0;          // 0, 54 (nothing before a final 0x1A) or 58 (empty numeric field)
    std::string text;                 // the field's bytes, quotes kept
    std::uint64_t next_position = 0;  // the byte after what was consumed
};

FieldReadResult read_field(FieldByteSource& source, std::uint64_t position, FieldTarget target);

}  // namespace rt
