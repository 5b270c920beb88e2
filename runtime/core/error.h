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
inline constexpr std::uint16_t TrapWindow = 1;
inline constexpr std::uint16_t ReturnWithoutGosub = 3;
inline constexpr std::uint16_t IllegalArgument = 5;
inline constexpr std::uint16_t Overflow = 6;
inline constexpr std::uint16_t OutOfMemory = 7;
inline constexpr std::uint16_t SubscriptOutOfRange = 9;
inline constexpr std::uint16_t DuplicateDefinition = 10;
inline constexpr std::uint16_t DivisionByZero = 11;
inline constexpr std::uint16_t TypeMismatch = 13;
inline constexpr std::uint16_t StringTooLong = 15;
inline constexpr std::uint16_t StringStackFull = 16;
inline constexpr std::uint16_t FrameLeftInHandler = 19;
inline constexpr std::uint16_t ResumeWithoutError = 20;
inline constexpr std::uint16_t SystemCallFailed = 27;  // also: several serial line errors at once, break
inline constexpr std::uint16_t NotSupported = 28;
inline constexpr std::uint16_t GosubTooDeep = 32;
inline constexpr std::uint16_t BadFileNumber = 50;
inline constexpr std::uint16_t BadFileMode = 51;
inline constexpr std::uint16_t FileAlreadyOpen = 52;
inline constexpr std::uint16_t DeviceFault = 53;    // serial overrun, framing, parity, device I/O; printer input
inline constexpr std::uint16_t DeviceIoError = 54;  // system I/O error; input past the end; search finished
inline constexpr std::uint16_t BadFileName = 55;
inline constexpr std::uint16_t FileNotOpen = 57;  // file or directory number not open
inline constexpr std::uint16_t BadField = 58;     // a field the field parser rejects
inline constexpr std::uint16_t DeviceUnavailable = 59;
inline constexpr std::uint16_t DeviceNotFound = 60;  // also: device not selected, out of paper
inline constexpr std::uint16_t BufferOverflow = 61;  // receive overrun, transmit queue full
inline constexpr std::uint16_t InputPastEnd = 62;
inline constexpr std::uint16_t FileNotFound = 63;
inline constexpr std::uint16_t FileExists = 64;
inline constexpr std::uint16_t TooManyFiles = 66;
inline constexpr std::uint16_t DiskFull = 67;
inline constexpr std::uint16_t BadFormat = 71;
inline constexpr std::uint16_t DiskNotReady = 72;
inline constexpr std::uint16_t WriteProtected = 73;
inline constexpr std::uint16_t AccessDenied = 75;
inline constexpr std::uint16_t DimInHandler = 76;
inline constexpr std::uint16_t DeviceTimeout = 78;
inline constexpr std::uint16_t NoStackForFrame = 81;
inline constexpr std::uint16_t HeapReallocFailed = 82;
inline constexpr std::uint16_t TableTooLarge = 89;
inline constexpr std::uint16_t DeviceAccessDisabled = 90;  // disk files, drawing or serial access switched off
inline constexpr std::uint16_t BadWindow = 1000;
inline constexpr std::uint16_t BadWindowKind = 1002;
inline constexpr std::uint16_t BadWindowState = 1006;

// Every error number above: each has a message text in both languages
// (checked by the message library's test). A new number is added here too.
inline constexpr std::array kAllErrorNumbers{
    TrapWindow, ReturnWithoutGosub, IllegalArgument, Overflow, OutOfMemory, SubscriptOutOfRange,
    DuplicateDefinition, DivisionByZero, TypeMismatch, StringTooLong, StringStackFull, FrameLeftInHandler,
    ResumeWithoutError, SystemCallFailed, NotSupported, GosubTooDeep, BadFileNumber, BadFileMode,
    FileAlreadyOpen, DeviceFault, DeviceIoError, BadFileName, FileNotOpen, BadField, DeviceUnavailable,
    DeviceNotFound, BufferOverflow, InputPastEnd, FileNotFound, FileExists, TooManyFiles, DiskFull,
    BadFormat, DiskNotReady, WriteProtected, AccessDenied, DimInHandler, DeviceTimeout, NoStackForFrame,
    HeapReallocFailed, TableTooLarge, DeviceAccessDisabled, BadWindow, BadWindowKind, BadWindowState,
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
