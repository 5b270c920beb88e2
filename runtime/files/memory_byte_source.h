// Bytes already in memory as a source for the field reader.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "runtime/files/field_reader.h"

namespace rt {

class MemoryByteSource final : public FieldByteSource {
public:
    // `bytes` must outlive the source.
    explicit MemoryByteSource(std::string_view bytes) noexcept : bytes_(bytes) {}

    std::size_t read_at(std::uint64_t offset, std::span<std::uint8_t> buffer) override
    {
        ++reads_;
        if (offset >= bytes_.size())
            return 0;
        const std::size_t n = std::min<std::size_t>(buffer.size(), bytes_.size() - offset);
        std::copy_n(bytes_.begin() + static_cast<std::ptrdiff_t>(offset), n, buffer.begin());
        return n;
    }
    // How many reads the field reader made.
    int reads() const noexcept { return reads_; }

private:
    std::string_view bytes_;
    int reads_ = 0;
};

}  // namespace rt
