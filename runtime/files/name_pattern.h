// File names compared as the programs' settings and users write them: ASCII
// letters without regard to case, double-byte characters as units,
// "*" and "?" wildcards in directory patterns.
#pragma once

#include <string_view>

namespace rt {

// True when the names are equal with ASCII letters folded; the second byte of
// a double-byte character is compared exactly.
bool same_file_name(std::string_view a, std::string_view b) noexcept;

// True when `name` matches `pattern`: "*" matches any run of characters, "?"
// exactly one character (a double-byte character counts as one), other
// characters as same_file_name compares them. "*.*" matches every name.
bool matches_name_pattern(std::string_view pattern, std::string_view name);

}  // namespace rt
