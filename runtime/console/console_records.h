// The console's records in the running program: the main console window, the
// output channel of the print statement being executed and the input source
// of the input statement. Installed into the runtime as an extension.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "runtime/console/console_print_channel.h"
#include "runtime/console/console_report_target.h"
#include "runtime/console/console_window.h"
#include "runtime/core/runtime.h"

namespace rt {
class Device;
}

namespace rt::console {

// Where the print statement now running sends its items.
struct OutputChannel {
    bool to_window = true;       // the main console window
    int slot = -1;               // else a device slot of the device table
    std::uint16_t file_number = 0;
};

// Where the input statement now running takes its items from.
struct InputSource {
    bool from_window = true;
    int slot = -1;
    std::uint16_t file_number = 0;
    std::string prompt;          // at most 255 bytes
    std::uint8_t prompt_flags = 2;  // bit 0 print the prompt text, bit 1 print "? "
};

class ConsoleRecords : public RuntimeExtension {
public:
    explicit ConsoleRecords(std::unique_ptr<ConsoleWindow> main_window) noexcept : main_window_(std::move(main_window)) {}

    // The main console window, or null once it has been destroyed.
    ConsoleWindow* main_window() noexcept { return main_window_ && main_window_->alive() ? main_window_.get() : nullptr; }

    OutputChannel output;
    InputSource input;
    ConsolePrintChannel print_channel;
    ConsoleReport report;

    void on_terminate() noexcept override;

private:
    std::unique_ptr<ConsoleWindow> main_window_;
};

// The console records of the current runtime; null when no console is installed.
ConsoleRecords* current_console() noexcept;

// Resolves a window object reference: 0 is the main console window. Raises
// 1000 when there is no such window (other references name forms, which this
// runtime does not have).
ConsoleWindow& resolve_window(std::uint32_t window_reference, std::uint16_t site);

}  // namespace rt::console
