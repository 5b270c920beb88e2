// Numbered runtime errors and program termination, as C++ exceptions.
//
// Every failing runtime operation raises an error number together with a site
// code (high byte: the operation, low byte: the check inside it, first check 1).
// RAISE_ERROR records the error in the runtime's error state and throws
// RuntimeError; the statement runner (frame.h) catches it and either dispatches
// to the trap handler or makes the fatal report and terminates.
// Termination (END, break, quit, fatal error) unwinds as ProgramTermination,
// which is deliberately not a std::exception so that nothing swallows it.
#pragma once

#include <array>
#include <cstdint>
#include <exception>

namespace rt {

// The runtime's error numbers, one name each. A number that several
// subsystems raise for related conditions lists them all.
namespace err {
inline constexpr std::uint16_t kTrapWindow = 1;
inline constexpr std::uint16_t kReturnWithoutGosub = 3;
inline constexpr std::uint16_t kIllegalArgument = 5;
inline constexpr std::uint16_t kOverflow = 6;
inline constexpr std::uint16_t kOutOfMemory = 7;
inline constexpr std::uint16_t kSubscriptOutOfRange = 9;
inline constexpr std::uint16_t kDuplicateDefinition = 10;
inline constexpr std::uint16_t kDivisionByZero = 11;
inline constexpr std::uint16_t kTypeMismatch = 13;
inline constexpr std::uint16_t kStringTooLong = 15;
inline constexpr std::uint16_t kStringStackFull = 16;
inline constexpr std::uint16_t kFrameLeftInHandler = 19;
inline constexpr std::uint16_t kResumeWithoutError = 20;
inline constexpr std::uint16_t kSystemCallFailed = 27;  // also: several serial line errors at once, break
inline constexpr std::uint16_t kNotSupported = 28;
inline constexpr std::uint16_t kGosubTooDeep = 32;
inline constexpr std::uint16_t kBadFileNumber = 50;
inline constexpr std::uint16_t kBadFileMode = 51;
inline constexpr std::uint16_t kFileAlreadyOpen = 52;
inline constexpr std::uint16_t kDeviceFault = 53;    // serial overrun, framing, parity, device I/O; printer input
inline constexpr std::uint16_t kDeviceIoError = 54;  // system I/O error; input past the end; search finished
inline constexpr std::uint16_t kBadFileName = 55;
inline constexpr std::uint16_t kFileNotOpen = 57;  // file or directory number not open
inline constexpr std::uint16_t kBadField = 58;     // a field the field parser rejects
inline constexpr std::uint16_t kDeviceUnavailable = 59;
inline constexpr std::uint16_t kDeviceNotFound = 60;  // also: device not selected, out of paper
inline constexpr std::uint16_t kBufferOverflow = 61;  // receive overrun, transmit queue full
inline constexpr std::uint16_t kInputPastEnd = 62;
inline constexpr std::uint16_t kFileNotFound = 63;
inline constexpr std::uint16_t kFileExists = 64;
inline constexpr std::uint16_t kTooManyFiles = 66;
inline constexpr std::uint16_t kDiskFull = 67;
inline constexpr std::uint16_t kBadFormat = 71;
inline constexpr std::uint16_t kDiskNotReady = 72;
inline constexpr std::uint16_t kWriteProtected = 73;
inline constexpr std::uint16_t kAccessDenied = 75;
inline constexpr std::uint16_t kDimInHandler = 76;
inline constexpr std::uint16_t kDeviceTimeout = 78;
inline constexpr std::uint16_t kNoStackForFrame = 81;
inline constexpr std::uint16_t kHeapReallocFailed = 82;
inline constexpr std::uint16_t kTableTooLarge = 89;
inline constexpr std::uint16_t kDeviceAccessDisabled = 90;  // disk files, drawing or serial access switched off
inline constexpr std::uint16_t kBadWindow = 1000;
inline constexpr std::uint16_t kBadWindowKind = 1002;
inline constexpr std::uint16_t kBadWindowState = 1006;

// Every error number above: each has a message text in both languages
// (checked by the message library's test). A new number is added here too.
inline constexpr std::array kAllErrorNumbers{
    kTrapWindow, kReturnWithoutGosub, kIllegalArgument, kOverflow, kOutOfMemory, kSubscriptOutOfRange,
    kDuplicateDefinition, kDivisionByZero, kTypeMismatch, kStringTooLong, kStringStackFull, kFrameLeftInHandler,
    kResumeWithoutError, kSystemCallFailed, kNotSupported, kGosubTooDeep, kBadFileNumber, kBadFileMode,
    kFileAlreadyOpen, kDeviceFault, kDeviceIoError, kBadFileName, kFileNotOpen, kBadField, kDeviceUnavailable,
    kDeviceNotFound, kBufferOverflow, kInputPastEnd, kFileNotFound, kFileExists, kTooManyFiles, kDiskFull,
    kBadFormat, kDiskNotReady, kWriteProtected, kAccessDenied, kDimInHandler, kDeviceTimeout, kNoStackForFrame,
    kHeapReallocFailed, kTableTooLarge, kDeviceAccessDisabled, kBadWindow, kBadWindowKind, kBadWindowState,
};
}  // namespace err

// A raised runtime error on its way to the statement runner.
class RuntimeError : public std::exception {
public:
    RuntimeError(std::uint16_t number, std::uint16_t site) noexcept : number_(number), site_(site) {}
    std::uint16_t number() const noexcept { return number_; }
    std::uint16_t site() const noexcept { return site_; }
    const char* what() const noexcept override { return "runtime error"; }

private:
    std::uint16_t number_;
    std::uint16_t site_;
};

// The program is ending; carries the process exit code. Caught only by the
// start routine (and by tests that run a program body).
struct ProgramTermination {
    int exit_code = 0;
};

// Raises error `number` with `site` against the current line. Records it in the
// current runtime's error state (when a runtime is running), releases every
// temporary on the string stack, and throws RuntimeError.
[[noreturn]] void RAISE_ERROR(std::uint16_t number, std::uint16_t site);

struct ErrorCause;

// RAISE_ERROR for a device or file operation that failed on `cause.path`:
// the cause is kept in the error state for the report's reason line.
[[noreturn]] void RAISE_FILE_ERROR(std::uint16_t number, std::uint16_t site, ErrorCause cause);

// Logs the host error code `errnum` (errno) as "APIERR" in the error log and
// returns the runtime error number it translates to (27 when it has no better one).
std::uint16_t API_ERROR(int errnum);

// The translation alone, without logging.
std::uint16_t translate_system_error(int errnum) noexcept;

}  // namespace rt
