// The error state: the last raised error and whether its handler runs.
// The trap target itself belongs to the procedure frame (FrameState).
#pragma once

#include <cstdint>
#include <string>

namespace rt {

// What a failed device or file operation worked on, so that a report can say
// why in words: the path and the system's error code, taken at the failing site.
struct ErrorCause {
    enum class Object : std::uint8_t { File, SerialPort };
    std::string path;
    int system_error = 0;           // errno of the failed call; 0 for the runtime's own checks
    bool not_regular_file = false;  // a folder, FIFO or device where a disk file was wanted
    Object object = Object::File;
    bool line_lost = false;  // a serial port that hung up or went away while open

    bool empty() const noexcept { return path.empty(); }
};

struct ErrorState {
    std::uint16_t number = 0;         // last error; 0 after a resume
    std::uint16_t line = 0;           // line current when the error was dispatched
    std::uint16_t site = 0;           // check that raised it: operation << 8 | check index
    ErrorCause cause;                 // device and file errors: path and reason; else empty
    bool in_progress = false;         // from the raise until dispatch or report
    bool in_handler = false;          // an error handler runs
    std::uint32_t handler_frame = 0;  // frame whose handler runs
    // An error inside a handler of a procedure frame: frames are being left
    // until the handler's frame has been left too.
    bool leaving_handler_frame = false;
};

}  // namespace rt
