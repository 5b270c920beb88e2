// The cell buffer of a console window: per row four planes of up to 132
// entries (character bytes, colour numbers, display attributes, double-byte flags).
#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace rt::console {

inline constexpr int kMaxColumns = 132;

// Double-byte flag plane values.
inline constexpr std::uint8_t kSingleByte = 0;
inline constexpr std::uint8_t kLeadByte = 1;
inline constexpr std::uint8_t kTrailByte = 2;

struct CellRow {
    std::array<std::uint8_t, kMaxColumns> characters{};
    std::array<std::uint8_t, kMaxColumns> colours{};
    std::array<std::uint8_t, kMaxColumns> attributes{};
    std::array<std::uint8_t, kMaxColumns> flags{};
};

struct Cell {
    std::uint8_t character = ' ';
    std::uint8_t colour = 7;
    std::uint8_t attribute = 4;
    std::uint8_t flag = kSingleByte;
};

class CellBuffer {
public:
    CellBuffer(int columns, int rows);

    int columns() const noexcept { return columns_; }
    int rows() const noexcept { return static_cast<int>(rows_.size()); }

    Cell cell(int column, int row) const noexcept;
    void set_cell(int column, int row, const Cell& cell) noexcept;
    const CellRow& row(int row) const noexcept { return rows_[static_cast<std::size_t>(row)]; }

    // Every cell of rows first .. first + count - 1 becomes a space in the given colours.
    void clear_rows(int first, int count, std::uint8_t colour, std::uint8_t attribute) noexcept;
    // Moves rows first + 1 .. first + count - 1 up by one; the old first row lands
    // in the last place, for the caller to clear.
    void shift_rows_up(int first, int count) noexcept;

private:
    int columns_;
    std::vector<CellRow> rows_;
};

}  // namespace rt::console
