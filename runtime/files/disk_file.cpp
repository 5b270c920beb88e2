#include "runtime/files/disk_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>
#include <new>

#include "host/code_page.h"
#include "runtime/core/error.h"
#include "runtime/core/error_state.h"
#include "runtime/files/field_reader.h"
#include "runtime/files/file_sites.h"
#include "runtime/files/open_mode.h"
#include "runtime/files/share_lock.h"

namespace rt {

namespace {

constexpr char kEndOfText = 0x1A;

[[noreturn]] void raise_system_error(int errnum, std::uint16_t site, const std::string& path)
{
    RAISE_FILE_ERROR(API_ERROR(errnum), site, ErrorCause{path, errnum});
}

// A folder, FIFO, socket or device where a disk file was asked for: refused
// like a file that cannot be opened, before anything could block on it.
[[noreturn]] void raise_not_regular(std::uint16_t site, const std::string& path)
{
    RAISE_FILE_ERROR(err::kAccessDenied, site, ErrorCause{path, 0, true});
}

// The file's bytes for the field reader, read at explicit offsets.
class DescriptorSource final : public FieldByteSource {
public:
    DescriptorSource(int fd, std::uint16_t site, const std::string& path) noexcept : fd_(fd), site_(site), path_(path) {}
    std::size_t read_at(std::uint64_t offset, std::span<std::uint8_t> buffer) override
    {
        for (;;) {
            const ssize_t n = ::pread(fd_, buffer.data(), buffer.size(), static_cast<off_t>(offset));
            if (n >= 0)
                return static_cast<std::size_t>(n);
            if (errno != EINTR)
                raise_system_error(errno, site_, path_);
        }
    }

private:
    int fd_;
    std::uint16_t site_;
    const std::string& path_;
};

// Converted text in memory, read like the file.
class TextSource final : public FieldByteSource {
public:
    explicit TextSource(std::string_view text) noexcept : text_(text) {}
    std::size_t read_at(std::uint64_t offset, std::span<std::uint8_t> buffer) override
    {
        if (offset >= text_.size())
            return 0;
        const std::size_t count = std::min<std::size_t>(buffer.size(), text_.size() - offset);
        std::memcpy(buffer.data(), text_.data() + offset, count);
        return count;
    }

private:
    std::string_view text_;
};

// Reads `count` bytes from `offset` whole (fewer at the end of the file).
std::string read_whole(FieldByteSource& source, std::uint64_t offset, std::size_t count)
{
    std::string bytes(count, '\0');
    std::size_t got = 0;
    while (got < count) {
        const std::size_t n = source.read_at(
            offset + got, std::span<std::uint8_t>(reinterpret_cast<std::uint8_t*>(bytes.data()) + got, count - got));
        if (n == 0)
            break;
        got += n;
    }
    bytes.resize(got);
    return bytes;
}

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
// Larger input files are read as they are.
constexpr std::uint32_t kLargestConvertedFile = 64u << 20;

// Valid UTF-8 with at least one character outside ASCII. Shift-JIS text with
// double-byte characters almost never is.
bool is_utf8_beyond_ascii(std::string_view text) noexcept
{
    bool beyond_ascii = false;
    while (!text.empty()) {
        const host::DecodedCharacter c = host::decode_utf8(text);
        if (c.code_point == 0xFFFD && c.length == 1)
            return false;
        beyond_ascii = beyond_ascii || c.code_point >= 0x80;
        text.remove_prefix(static_cast<std::size_t>(c.length));
    }
    return beyond_ascii;
}

int open_flags(const DiskOpenRow& row, bool with_read) noexcept
{
    // O_NONBLOCK: should the name turn into a FIFO or device between the
    // check and the open, the open still returns at once (fstat refuses it).
    int flags = O_CLOEXEC | O_NOCTTY | O_NONBLOCK;
    if (row.access == DiskAccess::Read)
        flags |= O_RDONLY;
    else
        flags |= with_read ? O_RDWR : O_WRONLY;
    if (row.creation == DiskCreation::CreateNew)
        flags |= O_CREAT | O_EXCL;
    else if (row.creation == DiskCreation::OpenAlways)
        flags |= O_CREAT;
    return flags;
}

}  // namespace

std::unique_ptr<DiskFile> DiskFile::open(const DiskOpenRequest& request, std::uint16_t site)
{
    const auto row = disk_open_row(request.mode);
    if (!row)
        RAISE_ERROR(err::kBadFileMode, site);

    std::unique_ptr<DiskFile> file;
    try {
        file.reset(new DiskFile());
        file->state_ = std::make_unique<FileState>();
        if (row->record_buffer)
            file->state_->record_buffer = std::make_unique<std::uint8_t[]>(request.record_length);
    } catch (const std::bad_alloc&) {
        RAISE_ERROR(err::kOutOfMemory, site);
    }
    FileState& state = *file->state_;
    state.mode_word = request.mode;
    state.record_length = request.record_length;
    file->name_ = request.path;

    // Only regular files are disk files: a name that exists as anything else
    // is refused before the open, which could wait on a FIFO or touch a device.
    const std::string& path = request.path;
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode))
        raise_not_regular(site, path);

    // Write-only opens also ask for reading, which the share locks need; a
    // file that may only be written is opened without them.
    bool lockable = true;
    int fd = ::open(path.c_str(), open_flags(*row, true), 0666);
    if (fd < 0 && errno == EACCES && row->access == DiskAccess::Write) {
        fd = ::open(path.c_str(), open_flags(*row, false), 0666);
        lockable = false;
    }
    if (fd < 0)
        raise_system_error(errno, site, path);
    file->fd_ = host::FileDescriptor(fd);

    if (::fstat(fd, &info) != 0)
        raise_system_error(errno, site, path);
    if (!S_ISREG(info.st_mode))
        raise_not_regular(site, path);
    file->device_ = info.st_dev;
    file->inode_ = info.st_ino;
    if (lockable) {
        const ShareRequest share{row->access != DiskAccess::Write, row->access != DiskAccess::Read, request.share};
        if (const int error = acquire_share_locks(fd, share); error != 0)
            raise_system_error(error, site, path);
    }

    state.length = static_cast<std::uint32_t>(
        std::min<std::uint64_t>(static_cast<std::uint64_t>(info.st_size), std::numeric_limits<std::uint32_t>::max()));
    if (row->kind == open_kind::kAppend) {
        state.position = state.length;
        char last = 0;
        if (state.length != 0 && ::pread(fd, &last, 1, state.length - 1) == 1 && last == kEndOfText) {
            --state.length;
            --state.position;
        }
    }
    // Set last: a failed open must not write the closing mark on its way out.
    file->open_kind_ = row->kind;
    return file;
}

DiskFile::~DiskFile()
{
    close();
}

void DiskFile::write(std::string_view bytes, std::uint16_t site)
{
    if (open_kind_ != open_kind::kOutput && open_kind_ != open_kind::kAppend && open_kind_ != open_kind::kBlockWrite &&
        open_kind_ != open_kind::kBlockReadWrite)
        RAISE_ERROR(err::kBadFileMode, site);
    FileState& state = *state_;
    if (bytes.size() > std::numeric_limits<std::uint32_t>::max() - state.position)
        RAISE_ERROR(err::kDiskFull, site);

    std::size_t written = 0;
    int failure = 0;
    while (written < bytes.size()) {
        const ssize_t n = ::pwrite(fd_.get(), bytes.data() + written, bytes.size() - written,
                                   static_cast<off_t>(state.position + written));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            failure = n < 0 ? errno : ENOSPC;
            break;
        }
        written += static_cast<std::size_t>(n);
    }
    if (failure != 0) {
        // A write is all or nothing: the part that reached the end of the
        // file is cut off again, so a full disk never leaves half a line.
        if (written != 0 && state.position >= state.length)
            while (::ftruncate(fd_.get(), static_cast<off_t>(state.position)) != 0 && errno == EINTR) {
            }
        raise_system_error(failure, site, name_);
    }
    state.position += static_cast<std::uint32_t>(written);
    state.length = std::max(state.length, state.position);
}

bool DiskFile::ends_inside_line()
{
    const std::uint32_t position = state_->position;
    char last = '\n';
    if (position != 0 && ::pread(fd_.get(), &last, 1, static_cast<off_t>(position - 1)) != 1)
        return false;
    return last != '\n' && last != '\r';
}

bool DiskFile::replaced_on_disk() const noexcept
{
    struct stat info {};
    return ::stat(name_.c_str(), &info) != 0 || info.st_dev != device_ || info.st_ino != inode_;
}

std::int32_t DiskFile::loc(std::uint16_t)
{
    if (open_kind_ == open_kind::kRecord)
        return static_cast<std::int32_t>(state_->record_counter[1]);
    return static_cast<std::int32_t>(state_->length);
}

bool DiskFile::eof(std::uint16_t site)
{
    const FileState& state = *state_;
    const std::int64_t position = state.position;
    const std::int64_t length = state.length;
    switch (open_kind_) {
    case open_kind::kInput: {
        if (position < length - 1)
            return false;
        if (position >= length)
            return true;
        const std::string last = read_whole(*text_source(site), static_cast<std::uint64_t>(position), 1);
        return last.empty() || last[0] == kEndOfText;
    }
    case open_kind::kBlockRead:
    case open_kind::kBlockReadWrite:
        return position >= length;
    default:
        RAISE_ERROR(err::kBadFileMode, site);
    }
}

std::string DiskFile::read(std::uint32_t count, std::uint16_t site)
{
    if (open_kind_ != open_kind::kInput)
        RAISE_ERROR(err::kBadFileMode, site);
    FileState& state = *state_;
    if (state.position >= state.length || count > state.length - state.position)
        RAISE_ERROR(err::kDeviceIoError, site);
    std::string bytes;
    try {
        bytes.resize(count);
    } catch (const std::bad_alloc&) {
        RAISE_ERROR(err::kOutOfMemory, site);
    }
    const std::unique_ptr<FieldByteSource> source = text_source(site);
    std::size_t got = 0;
    while (got < count) {
        const std::size_t n = source->read_at(
            state.position + got, std::span<std::uint8_t>(reinterpret_cast<std::uint8_t*>(bytes.data()) + got, count - got));
        if (n == 0)
            RAISE_ERROR(err::kDeviceIoError, site);
        got += n;
    }
    state.position += count;
    return bytes;
}

std::string DiskFile::read_field(FieldTarget target, std::uint16_t site)
{
    if (open_kind_ != open_kind::kInput)
        RAISE_ERROR(err::kBadFileMode, site);
    FileState& state = *state_;
    if (state.position >= state.length)
        RAISE_ERROR(err::kDeviceIoError, site);
    FieldReadResult field = rt::read_field(*text_source(site), state.position, target);
    state.position = static_cast<std::uint32_t>(
        std::min<std::uint64_t>(field.next_position, std::numeric_limits<std::uint32_t>::max()));
    if (field.error != 0)
        RAISE_ERROR(field.error, site);
    return std::move(field.text);
}

std::unique_ptr<FieldByteSource> DiskFile::text_source(std::uint16_t site)
{
    if (converted_)
        return std::make_unique<TextSource>(*converted_);
    return std::make_unique<DescriptorSource>(fd_.get(), site, name_);
}

bool DiskFile::take_utf8_as_shift_jis(std::uint16_t site)
{
    FileState& state = *state_;
    if (open_kind_ != open_kind::kInput || converted_ || state.position != 0 || state.length > kLargestConvertedFile)
        return false;
    std::string text;
    try {
        text = read_whole(*text_source(site), 0, state.length);
    } catch (const std::bad_alloc&) {
        RAISE_ERROR(err::kOutOfMemory, site);
    }
    const bool marked = text.starts_with(kUtf8Mark);
    if (marked)
        text.erase(0, kUtf8Mark.size());
    if (!marked && !is_utf8_beyond_ascii(text))
        return false;
    converted_ = host::utf8_to_sjis(text);
    state.length = static_cast<std::uint32_t>(converted_->size());
    return true;
}

std::int32_t DiskFile::line_at(std::uint32_t position, std::uint16_t site)
{
    const std::string text = read_whole(*text_source(site), 0, std::min(position, state_->length));
    return 1 + static_cast<std::int32_t>(std::count(text.begin(), text.end(), '\n'));
}

void DiskFile::close() noexcept
{
    if (!fd_.valid())
        return;
    if (open_kind_ == open_kind::kOutput || open_kind_ == open_kind::kAppend) {
        const char mark = kEndOfText;
        while (::pwrite(fd_.get(), &mark, 1, static_cast<off_t>(state_->position)) < 0 && errno == EINTR) {
        }
    }
    fd_.reset();
}

}  // namespace rt
