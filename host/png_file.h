// Writes a pixel surface as an 8-bit RGB PNG file.
#pragma once

#include <string>

#include "host/surface.h"

namespace host {

// Returns false (with the reason in `error` when given) when the file cannot be written.
bool write_png_file(const Surface& surface, const std::string& path, std::string* error = nullptr);

}  // namespace host
