// A screen written by the headless front end ("screen FILE", UTF-8 rows),
// held as Shift-JIS rows again so that a byte index is a cell column.
#pragma once

#include <iconv.h>

#include <algorithm>
#include <sstream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace qk_test {

// UTF-8 to Shift-JIS (code page 932, which keeps backslash and tilde).
inline std::string to_shift_jis(std::string_view utf8)
{
    iconv_t cd = ::iconv_open("CP932", "UTF-8");
    if (cd == reinterpret_cast<iconv_t>(-1))
        throw std::runtime_error("iconv CP932 unavailable");
    std::string in(utf8);
    std::string out(in.size() * 2 + 4, '\0');
    char* in_ptr = in.data();
    std::size_t in_left = in.size();
    char* out_ptr = out.data();
    std::size_t out_left = out.size();
    while (in_left > 0) {
        if (::iconv(cd, &in_ptr, &in_left, &out_ptr, &out_left) == static_cast<std::size_t>(-1)) {
            // A character without a Shift-JIS form: one "?" and go on.
            *out_ptr++ = '?';
            --out_left;
            ++in_ptr;
            --in_left;
            while (in_left > 0 && (static_cast<unsigned char>(*in_ptr) & 0xC0) == 0x80) {
                ++in_ptr;
                --in_left;
            }
        }
    }
    ::iconv_close(cd);
    out.resize(out.size() - out_left);
    return out;
}

class ScreenCapture {
public:
    ScreenCapture() = default;
    explicit ScreenCapture(const std::string& utf8_text) : utf8_(utf8_text)
    {
        std::istringstream in(utf8_text);
        for (std::string row; std::getline(in, row);)
            rows_.push_back(to_shift_jis(row));
    }

    bool empty() const noexcept { return rows_.empty(); }

    // Row as Shift-JIS bytes (empty when the screen has no such row).
    std::string row(int index) const
    {
        return index >= 0 && index < static_cast<int>(rows_.size()) ? rows_[static_cast<std::size_t>(index)] : std::string();
    }

    // `length` cells from (column, row), padded with blanks past the row's end.
    std::string at(int column, int row_index, int length) const
    {
        std::string r = row(row_index);
        r.resize(std::max<std::size_t>(r.size(), static_cast<std::size_t>(column + length)), ' ');
        return r.substr(static_cast<std::size_t>(column), static_cast<std::size_t>(length));
    }

    bool row_has(int row_index, std::string_view shift_jis_text) const
    {
        return row(row_index).find(shift_jis_text) != std::string::npos;
    }

    // The first `count` rows, each padded with blanks to `width` cells at least.
    std::vector<std::string> padded_rows(int count = 24, std::size_t width = 80) const
    {
        std::vector<std::string> rows;
        for (int index = 0; index < count; ++index) {
            std::string r = row(index);
            r.resize(std::max(r.size(), width), ' ');
            rows.push_back(r);
        }
        return rows;
    }

    // The whole screen as written (UTF-8), for failure messages.
    const std::string& text() const noexcept { return utf8_; }

private:
    std::string utf8_;
    std::vector<std::string> rows_;
};

}  // namespace qk_test
