#include "runtime/core/error.h"

#include <cerrno>
#include <utility>

#include "host/settings_store.h"
#include "runtime/core/error_state.h"
#include "runtime/core/floating_point_reset.h"
#include "runtime/core/frame_records.h"
#include "runtime/core/runtime.h"
#include "runtime/core/string_stack.h"

namespace rt {

namespace {

[[noreturn]] void raise(std::uint16_t number, std::uint16_t site, ErrorCause* cause)
{
    reset_floating_point_state();
    if (Runtime* runtime = Runtime::current_or_null()) {
        FrameRecords& f = runtime->frame();
        ErrorState& e = f.error;
        // A second error while one is on its way, or any error during
        // termination, is neither recorded nor reported.
        if (!e.in_progress && !f.terminating && number != 0) {
            e.number = number;
            e.site = site;
            e.line = f.line;
            e.in_progress = true;
            e.cause = cause ? std::move(*cause) : ErrorCause{};
        }
        runtime->string_stack().release_all();
    }
    throw RuntimeError(number, site);
}

}  // namespace

void RAISE_ERROR(std::uint16_t number, std::uint16_t site)
{
    raise(number, site, nullptr);
}

void RAISE_FILE_ERROR(std::uint16_t number, std::uint16_t site, ErrorCause cause)
{
    raise(number, site, &cause);
}

std::uint16_t API_ERROR(int errnum)
{
    host::SettingsStore::for_user().set_u32(host::settings::kErrorLogSection, "APIERR",
                                             static_cast<std::uint32_t>(errnum));
    return translate_system_error(errnum);
}

// Host error codes (errno) to runtime error numbers:
//   ENOENT, ENOTDIR        63  file not found
//   EACCES, EPERM          75  access denied
//   EBUSY                  75  device or file in use
//   EAGAIN, EWOULDBLOCK    75  lock held by another process (flock, fcntl)
//   EEXIST                 64  file already exists
//   ENOSPC                 67  disk full
//   EMFILE, ENFILE         66  too many files
//   EROFS                  73  write protected
//   EFBIG                  67  file size limit reached
//   EINVAL                  5  bad argument
//   ENOMEM                  7  out of memory
//   ENAMETOOLONG           55  bad file name
//   EIO                    54  device I/O error
//   ENODEV, ENXIO          60  device not found
//   ENOTSUP                28  not supported
//   anything else          27  system call failed
std::uint16_t translate_system_error(int errnum) noexcept
{
    switch (errnum) {
    case ENOENT:
    case ENOTDIR:
        return err::kFileNotFound;
    case EACCES:
    case EPERM:
    case EBUSY:
    case EAGAIN:
#if EWOULDBLOCK != EAGAIN
    case EWOULDBLOCK:
#endif
        return err::kAccessDenied;
    case EEXIST:
        return err::kFileExists;
    case ENOSPC:
    case EFBIG:
        return err::kDiskFull;
    case EMFILE:
    case ENFILE:
        return err::kTooManyFiles;
    case EROFS:
        return err::kWriteProtected;
    case EINVAL:
        return err::kIllegalArgument;
    case ENOMEM:
        return err::kOutOfMemory;
    case ENAMETOOLONG:
        return err::kBadFileName;
    case EIO:
        return err::kDeviceIoError;
    case ENODEV:
    case ENXIO:
        return err::kDeviceNotFound;
    case ENOTSUP:
#if EOPNOTSUPP != ENOTSUP
    case EOPNOTSUPP:
#endif
        return err::kNotSupported;
    default:
        return err::kSystemCallFailed;
    }
}

}  // namespace rt
