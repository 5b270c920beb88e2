// The input statement's variables and how fields reach them: from a disk
// file in field mode, and from one input line (console and serial line
// modes). The console's INPUT_VARS calls input_vars_from_device() first and
// performs its own line input when that returns false; its line mode takes
// the fields with assign_fields_from_line().
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "runtime/core/basic_string.h"
#include "runtime/core/string_descriptor.h"
#include "runtime/files/field_parser.h"

namespace rt {

class DiskFile;

// One variable of the input statement's list.
class InputTarget {
public:
    // A string variable; a fixed-length string (kind 0x13) is filled with spaces.
    InputTarget(StringDescriptor& variable) noexcept;
    InputTarget(StrVar& variable) noexcept : InputTarget(variable.descriptor()) {}
    InputTarget(std::int16_t& variable) noexcept : address_(&variable), type_(0) {}
    InputTarget(std::int32_t& variable) noexcept : address_(&variable), type_(1) {}
    InputTarget(float& variable) noexcept : address_(&variable), type_(2) {}
    InputTarget(double& variable) noexcept : address_(&variable), type_(3) {}
    InputTarget(std::uint8_t& variable) noexcept : address_(&variable), type_(4) {}
    // A variable's address and its type code as the statement passes them:
    // 0..4 numbers, 16 and 33 string variables, 17 fixed-length strings (both
    // at a StringDescriptor); any other code is refused with error 13.
    InputTarget(void* address, std::uint8_t type_code) noexcept : address_(address), type_(type_code) {}

    std::uint8_t type_code() const noexcept { return type_; }
    bool accepted() const noexcept;
    FieldTarget field_target() const noexcept;

    // Parses numeric text (raises 6 when it leaves the variable's range);
    // does not assign. For strings, nothing to check.
    void check(std::string_view text, std::uint16_t site) const;
    // Assigns a field's text (quotes already removed); raises 6 for a number
    // out of the variable's range.
    void assign(std::string_view text, std::uint16_t site) const;

private:
    void* address_;
    std::uint8_t type_;
};

// Refuses (error 13) a list holding a type code the statement cannot take.
void check_input_targets(std::span<const InputTarget> targets, std::uint16_t site);

// Field mode: reads one field per variable from the disk file and assigns it.
// Raises 51, 54 and 58 as the field reader does, 6 for a number out of range.
void input_fields_from_disk(DiskFile& file, std::span<const InputTarget> targets, std::uint16_t site);

// Line modes: takes the variables' fields from one line. Returns false, with
// no variable changed, when a field is missing or bad, or (with
// `refuse_extra_fields`) when fields are left over; raises 6 for a number
// out of range.
bool assign_fields_from_line(std::string_view line, std::span<const InputTarget> targets,
                             bool refuse_extra_fields, std::uint16_t site);

// INPUT_FROM_FILE: makes the device of `file_number` the next input
// statement's source. Raises 50, 57, 51 ("SCRN:") and 53 (printers).
void INPUT_FROM_FILE(std::int32_t file_number);

// Performs the input statement when INPUT_FROM_FILE chose a disk file (field
// mode) or a serial channel (one line; a bad field raises 13) and returns
// true. Returns false, leaving the source chosen, when the source is the
// console or "KYBD:": the console then reads a line itself and clears the
// source with DeviceTable::clear_input_source().
bool input_vars_from_device(std::span<const InputTarget> targets);

}  // namespace rt
