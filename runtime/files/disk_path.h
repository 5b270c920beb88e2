// Disk file names on a host without drive letters.
//
// A name is turned into a host path in three steps:
//  1. A drive number ("0:" .. "25:") becomes its drive letter ("A:" .. "Z:");
//     larger numbers leave the name unchanged (so "26:X" names a file "26:X").
//  2. A leading drive letter ("A:" .. "Z:", either case) is dropped with the
//     separators after it: every drive's root is the current directory.
//     A name without a drive letter may still be a host path ("/tmp/x").
//     Backslashes that are not the second byte
//     of a double-byte character become "/".
//  3. The name is made absolute against the current directory and normalised.
// When no file of exactly that name exists, an entry of the same directory
// whose name differs only in the case of ASCII letters is taken instead, so
// "motor.dat" opens MOTOR.DAT; a new file is created with the name as given.
#pragma once

#include <string>
#include <string_view>

namespace rt {

// Step 1: "1:LOG.DAT" -> "B:LOG.DAT".
std::string apply_drive_number(std::string_view name);

// Step 2: the host form of a name, relative names staying relative.
std::string host_name(std::string_view name);

// Steps 1 to 3 and the case-insensitive lookup of an existing file.
std::string resolve_disk_path(std::string_view name);

// The name of an existing entry of `path`'s directory that equals its last
// component without regard to case; `path` itself when it exists or no entry
// matches.
std::string find_existing_ignoring_case(const std::string& path);

}  // namespace rt
