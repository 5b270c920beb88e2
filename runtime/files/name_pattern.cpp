#include "runtime/files/name_pattern.h"

#include <cstddef>
#include <vector>

#include "runtime/core/shift_jis.h"

namespace rt {

namespace {

char fold(char c) noexcept
{
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// The characters of `text` as views of one or two bytes each.
std::vector<std::string_view> characters_of(std::string_view text)
{
    std::vector<std::string_view> result;
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t n = sjis::character_length(text, i);
        result.push_back(text.substr(i, n));
        i += n;
    }
    return result;
}

bool same_character(std::string_view a, std::string_view b) noexcept
{
    if (a.size() != b.size())
        return false;
    if (a.size() == 1)
        return fold(a[0]) == fold(b[0]);
    return a == b;
}

}  // namespace

bool same_file_name(std::string_view a, std::string_view b) noexcept
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size();) {
        const std::size_t n = sjis::character_length(a, i);
        if (!same_character(a.substr(i, n), b.substr(i, n)))
            return false;
        i += n;
    }
    return true;
}

bool matches_name_pattern(std::string_view pattern, std::string_view name)
{
    if (pattern == "*.*")
        return true;
    const auto p = characters_of(pattern);
    const auto n = characters_of(name);
    // Greedy match with backtracking to the last "*": linear in practice and
    // never worse than |pattern| x |name|.
    std::size_t pi = 0, ni = 0;
    std::size_t star = p.size(), star_name = 0;
    while (ni < n.size()) {
        if (pi < p.size() && p[pi] == "*") {
            star = pi++;
            star_name = ni;
        } else if (pi < p.size() && (p[pi] == "?" || same_character(p[pi], n[ni]))) {
            ++pi;
            ++ni;
        } else if (star != p.size()) {
            pi = star + 1;
            ni = ++star_name;
        } else {
            return false;
        }
    }
    while (pi < p.size() && p[pi] == "*")
        ++pi;
    return pi == p.size();
}

}  // namespace rt
