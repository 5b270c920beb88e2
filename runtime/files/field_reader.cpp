#include "runtime/files/field_reader.h"

#include <array>

#include "runtime/core/error.h"
#include "runtime/files/file_sites.h"

namespace rt {

namespace {

constexpr std::uint8_t kCr = 0x0D;
constexpr std::uint8_t kLf = 0x0A;
constexpr std::uint8_t kEndOfText = 0x1A;

// Walks the source from a position, one chunk of 256 bytes at a time.
class ChunkCursor {
public:
    ChunkCursor(FieldByteSource& source, std::uint64_t position) : source_(source), position_(position) {}

    std::uint64_t position() const noexcept { return position_; }

    // False at the end of the data.
    bool has_byte()
    {
        if (position_ < chunk_start_ + chunk_size_)
            return true;
        if (ended_)
            return false;
        chunk_start_ = position_;
        chunk_size_ = source_.read_at(chunk_start_, chunk_);
        ended_ = chunk_size_ < chunk_.size();
        return chunk_size_ != 0;
    }

    std::uint8_t current() const noexcept { return chunk_[static_cast<std::size_t>(position_ - chunk_start_)]; }
    void advance() noexcept { ++position_; }

    // True when the current byte is the last of the data.
    bool current_is_last()
    {
        if (position_ + 1 < chunk_start_ + chunk_size_)
            return false;
        if (ended_)
            return true;
        std::array<std::uint8_t, 1> next{};
        return source_.read_at(position_ + 1, next) == 0;
    }

private:
    FieldByteSource& source_;
    std::uint64_t position_;
    std::uint64_t chunk_start_ = 0;
    std::size_t chunk_size_ = 0;
    bool ended_ = false;
    std::array<std::uint8_t, kFieldChunkSize> chunk_{};
};

enum class State {
    Start,     // nothing of the field yet (leading spaces skipped)
    Unquoted,  // characters of an unquoted field
    Quoted,    // inside an open quote
    Finished,  // after a closing quote or a complete number
};

}  // namespace

FieldReadResult read_field(FieldByteSource& source, std::uint64_t position, FieldTarget target)
{
    FieldReadResult result;
    ChunkCursor cursor(source, position);
    State state = State::Start;
    const bool numeric = target == FieldTarget::Numeric;

    while (cursor.has_byte()) {
        const std::uint8_t byte = cursor.current();
        if (byte == 0) {
            cursor.advance();
            continue;
        }
        if (byte == kEndOfText && cursor.current_is_last()) {
            // The end mark stays unread: a further read finds it again.
            if (state == State::Start)
                result.error = err::kDeviceIoError;
            break;
        }
        if (byte == kCr || byte == kLf) {
            // CR LF, a lone CR and a lone LF each end one line.
            cursor.advance();
            if (byte == kCr && cursor.has_byte() && cursor.current() == kLf)
                cursor.advance();
            break;
        }
        if (state == State::Quoted) {
            result.text += static_cast<char>(byte);
            cursor.advance();
            if (byte == '"')
                state = State::Finished;
            continue;
        }
        if (byte == ',' || byte == ':') {
            cursor.advance();
            if (state == State::Start && numeric)
                result.error = err::kBadField;
            break;
        }
        if (byte == ' ') {
            cursor.advance();
            if (state == State::Unquoted) {
                if (numeric)
                    state = State::Finished;
                else
                    result.text += ' ';
            }
            continue;
        }
        if (state == State::Finished) {
            if (!numeric)
                cursor.advance();
            break;
        }
        if (state == State::Start && byte == '"')
            state = State::Quoted;
        else if (state == State::Start)
            state = State::Unquoted;
        result.text += static_cast<char>(byte);
        cursor.advance();
    }
    result.next_position = cursor.position();
    return result;
}

}  // namespace rt
