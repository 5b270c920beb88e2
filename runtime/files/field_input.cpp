#include "runtime/files/field_input.h"

#include <cfloat>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "runtime/core/error.h"
#include "runtime/core/number_text.h"
#include "runtime/core/string_ops.h"
#include "runtime/files/device_table.h"
#include "runtime/files/disk_file.h"
#include "runtime/files/file_sites.h"

namespace rt {

namespace {

constexpr std::uint8_t kStringVariable = 16;
constexpr std::uint8_t kFixedLengthString = 17;
constexpr std::uint8_t kStringVariableByValue = 33;

bool is_string_code(std::uint8_t type) noexcept
{
    return type == kStringVariable || type == kFixedLengthString || type == kStringVariableByValue;
}

// The number of a numeric field, rounded for integer variables and checked
// against the variable's range.
double numeric_value(std::string_view text, std::uint8_t type, std::uint16_t site)
{
    const ParsedNumber parsed = parse_number(text);
    if (!parsed.representable)
        RAISE_ERROR(err::kOverflow, site);
    const double value = parsed.value;
    const double rounded = std::nearbyint(value);
    bool fits = true;
    switch (type) {
    case type_code::kI16:
        fits = rounded >= std::numeric_limits<std::int16_t>::min() && rounded <= std::numeric_limits<std::int16_t>::max();
        break;
    case type_code::kI32:
        fits = rounded >= std::numeric_limits<std::int32_t>::min() && rounded <= std::numeric_limits<std::int32_t>::max();
        break;
    case type_code::kByte:
        fits = rounded >= 0 && rounded <= 255;
        break;
    case type_code::kSingle:
        fits = std::fabs(value) <= FLT_MAX;
        break;
    default:
        break;
    }
    if (!fits)
        RAISE_ERROR(err::kOverflow, site);
    return type == type_code::kSingle || type == type_code::kDouble ? value : rounded;
}

}  // namespace

InputTarget::InputTarget(StringDescriptor& variable) noexcept
    : address_(&variable), type_(variable.kind == StringKind::FixedLength ? kFixedLengthString : kStringVariable)
{
}

bool InputTarget::accepted() const noexcept
{
    return type_ <= type_code::kByte || is_string_code(type_);
}

FieldTarget InputTarget::field_target() const noexcept
{
    return is_string_code(type_) ? FieldTarget::String : FieldTarget::Numeric;
}

void InputTarget::check(std::string_view text, std::uint16_t site) const
{
    if (!is_string_code(type_))
        numeric_value(text, type_, site);
}

void InputTarget::assign(std::string_view text, std::uint16_t site) const
{
    if (!accepted())
        RAISE_ERROR(err::kTypeMismatch, site);
    if (is_string_code(type_)) {
        auto& variable = *static_cast<StringDescriptor*>(address_);
        if (variable.kind == StringKind::FixedLength) {
            if (variable.length == 0)
                return;
            const std::size_t n = std::min<std::size_t>(text.size(), variable.length);
            std::memcpy(variable.text, text.data(), n);
            std::memset(variable.text + n, ' ', variable.length - n);
        } else {
            push_temp(text);
            STR_POP_ASSIGN(variable);
        }
        return;
    }
    const double value = numeric_value(text, type_, site);
    switch (type_) {
    case type_code::kI16:
        *static_cast<std::int16_t*>(address_) = static_cast<std::int16_t>(value);
        break;
    case type_code::kI32:
        *static_cast<std::int32_t*>(address_) = static_cast<std::int32_t>(value);
        break;
    case type_code::kSingle:
        *static_cast<float*>(address_) = static_cast<float>(value);
        break;
    case type_code::kDouble:
        *static_cast<double*>(address_) = value;
        break;
    case type_code::kByte:
        *static_cast<std::uint8_t*>(address_) = static_cast<std::uint8_t>(value);
        break;
    default:
        break;
    }
}

void check_input_targets(std::span<const InputTarget> targets, std::uint16_t site)
{
    for (const InputTarget& target : targets)
        if (!target.accepted())
            RAISE_ERROR(err::kTypeMismatch, site);
}

void input_fields_from_disk(DiskFile& file, std::span<const InputTarget> targets, std::uint16_t site)
{
    check_input_targets(targets, site);
    std::string text;
    for (const InputTarget& target : targets) {
        const std::string raw = file.read_field(target.field_target(), site);
        LineFieldParser parser(raw);
        if (parser.next(target.field_target(), text) != FieldStatus::Taken)
            RAISE_ERROR(err::kBadField, site);
        target.assign(text, site);
    }
}

bool assign_fields_from_line(std::string_view line, std::span<const InputTarget> targets,
                             bool refuse_extra_fields, std::uint16_t site)
{
    check_input_targets(targets, site);
    LineFieldParser parser(line);
    std::vector<std::string> fields(targets.size());
    for (std::size_t i = 0; i < targets.size(); ++i) {
        if (parser.next(targets[i].field_target(), fields[i]) != FieldStatus::Taken)
            return false;
        targets[i].check(fields[i], site);
    }
    if (refuse_extra_fields && parser.has_more())
        return false;
    for (std::size_t i = 0; i < targets.size(); ++i)
        targets[i].assign(fields[i], site);
    return true;
}

void INPUT_FROM_FILE(std::int32_t file_number)
{
    constexpr std::uint16_t kSite = file_site::kInputFromFile;
    DeviceTable& table = DeviceTable::current();
    Device& device = table.open_device(file_number, kSite);
    if (device.device_class() == DeviceClass::Screen)
        RAISE_ERROR(err::kBadFileMode, kSite);
    if (device.device_class() == DeviceClass::Printer)
        RAISE_ERROR(err::kDeviceFault, kSite);
    table.set_input_source(table.slot_of(file_number));
}

bool input_vars_from_device(std::span<const InputTarget> targets)
{
    constexpr std::uint16_t kSite = file_site::kInputVars;
    DeviceTable& table = DeviceTable::current();
    const auto source = table.take_input_source();
    Device* device = source ? table.device_at(*source) : nullptr;
    if (!device || device->device_class() == DeviceClass::Keyboard || device->device_class() == DeviceClass::Screen) {
        if (source)
            table.set_input_source(*source);
        return false;
    }
    if (device->device_class() == DeviceClass::Disk) {
        input_fields_from_disk(*table.disk_file_at(*source), targets, kSite);
        return true;
    }
    const std::string line = device->read_line(kSite);
    if (!assign_fields_from_line(line, targets, false, kSite))
        RAISE_ERROR(err::kTypeMismatch, kSite);
    return true;
}

}  // namespace rt
