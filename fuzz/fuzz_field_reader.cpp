// Arbitrary file contents through the field reader and the field parser, for
// string and numeric targets: no crash, no hang, always progress.
// fuzz-links: qk_files qk_core qk_host
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>
#include <string_view>

#include "runtime/files/field_parser.h"
#include "runtime/files/field_reader.h"
#include "runtime/files/memory_byte_source.h"

namespace {

void read_every_field(std::string_view bytes, rt::FieldTarget target)
{
    rt::MemoryByteSource source(bytes);
    std::uint64_t position = 0;
    while (position < bytes.size()) {
        const rt::FieldReadResult field = rt::read_field(source, position, target);
        if (field.next_position > bytes.size() || field.next_position < position)
            std::abort();
        if (field.error != 0)
            return;
        std::string text;
        rt::LineFieldParser parser(field.text);
        parser.next(target, text);
        // Every successful read consumes at least one byte.
        if (field.next_position == position)
            std::abort();
        position = field.next_position;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    read_every_field(bytes, rt::FieldTarget::String);
    read_every_field(bytes, rt::FieldTarget::Numeric);

    rt::LineFieldParser line(bytes);
    std::string text;
    for (std::size_t i = 0; i <= size; ++i)
        if (line.next(i % 2 ? rt::FieldTarget::Numeric : rt::FieldTarget::String, text) != rt::FieldStatus::Taken)
            break;
    return 0;
}
