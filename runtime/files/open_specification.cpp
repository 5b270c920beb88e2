#include "runtime/files/open_specification.h"

#include <array>

#include "runtime/core/error.h"

namespace rt {

namespace {

constexpr std::array<std::string_view, kFirstDiskSlot> kFixedNames{
    "KYBD:", "SCRN:",                            //
    "LPT0:", "LPT1:", "LPT2:", "LPT3:",          // text-mode printers
    "LPT1:", "LPT2:", "LPT3:",                   // drawing-mode printers
    "LPT3:",                                     // special printer path
    "COM0:", "COM1:", "COM2:", "COM3:", "COM4:"  // serial channels
};

constexpr char ascii_upper(char c) noexcept
{
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

}  // namespace

bool equal_ignoring_case(std::string_view a, std::string_view b) noexcept
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (ascii_upper(a[i]) != ascii_upper(b[i]))
            return false;
    return true;
}

SplitSpecification split_open_specification(std::string_view open_text)
{
    SplitSpecification result;
    const auto open = open_text.find('(');
    result.name = std::string(open_text.substr(0, open));
    if (open != std::string_view::npos) {
        const auto rest = open_text.substr(open + 1);
        const auto close = rest.find(')');
        const auto options = rest.substr(0, close);
        if (close == std::string_view::npos || options.empty() || options.size() > kMaxOptionsLength) {
            result.error = err::kIllegalArgument;
            return result;
        }
        result.options = std::string(options);
        result.has_options = true;
        result.name += rest.substr(close + 1);
    }
    if (result.name.empty())
        result.error = err::kBadFileName;
    return result;
}

std::string_view fixed_device_name(int slot) noexcept
{
    return slot >= 0 && slot < kFirstDiskSlot ? kFixedNames[static_cast<std::size_t>(slot)] : std::string_view{};
}

int find_fixed_device(std::string_view name) noexcept
{
    for (int slot = 0; slot < kFirstDiskSlot; ++slot)
        if (equal_ignoring_case(name, kFixedNames[static_cast<std::size_t>(slot)]))
            return slot;
    return kFirstDiskSlot;
}

DeviceChoice choose_device_slot(std::string_view name, bool has_options, std::string_view options) noexcept
{
    const int slot = find_fixed_device(name);
    if (slot >= kFirstPrinterSlot && slot < kSpecialPrinterSlot && has_options) {
        if (!equal_ignoring_case(options, "DC"))
            return {err::kIllegalArgument, slot};
        return {0, slot + 3};
    }
    return {0, slot};
}

}  // namespace rt
