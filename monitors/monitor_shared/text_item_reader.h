// Text items taken from a file's bytes in memory exactly as the input
// statement takes one string item from a disk file: the runtime's field
// reader finds the field, its field parser removes the quotes. The monitors
// read their files through OPEN and INPUT; this reader lets tests and fuzz
// targets feed bytes to the same per-record and per-entry rules.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "runtime/files/field_reader.h"

namespace monitor {

struct TextItem {
    std::string text;
    std::uint16_t error = 0;  // 0, or the runtime error the input statement raises (54, 58)
};

class TextItemReader {
public:
    explicit TextItemReader(std::string_view bytes) noexcept : source_(bytes) {}

    // EOF as the runtime sees an input file: nothing left, or only a final 0x1A.
    bool at_end() const noexcept;
    TextItem read_text();

private:
    class MemorySource final : public rt::FieldByteSource {
    public:
        explicit MemorySource(std::string_view bytes) noexcept : bytes_(bytes) {}
        std::size_t read_at(std::uint64_t offset, std::span<std::uint8_t> buffer) override;
        std::string_view bytes() const noexcept { return bytes_; }

    private:
        std::string_view bytes_;
    };

    MemorySource source_;
    std::uint64_t position_ = 0;
};

}  // namespace monitor
