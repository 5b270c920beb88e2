// Fuzzes the options text of a serial open ("S8N1N8,RB8192"): the format by
// position and the keyed options. Checks that an accepted text yields line
// settings within their ranges and that letter case never changes the result.
// fuzz-links: qk_serial qk_files qk_core qk_host
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "runtime/serial/serial_options.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    host::SerialLineSettings settings;
    rt::SerialOptions options;
    const bool accepted = rt::apply_serial_options(text, settings, options);

    std::string flipped = text;
    for (char& c : flipped)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
        else if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    host::SerialLineSettings other_settings;
    rt::SerialOptions other_options;
    const bool other_accepted = rt::apply_serial_options(flipped, other_settings, other_options);
    if (accepted != other_accepted)
        std::abort();
    if (!accepted)
        return 0;
    if (!(settings == other_settings) || options.RB != other_options.RB || options.RD != other_options.RD ||
        options.CS != other_options.CS)
        std::abort();
    if (settings.ByteSize < 4 || settings.ByteSize > 8 || settings.Parity > 4 ||
        (settings.StopBits != 0 && settings.StopBits != 2) ||
        (options.character_width != 7 && options.character_width != 8) || options.RB < -2 || options.SB < -2)
        std::abort();
    return 0;
}
