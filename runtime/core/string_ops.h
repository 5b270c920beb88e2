// String stack and assignment operations (the calls application code and the
// other runtime subsystems use). The heap and stack records themselves are in
// string_heap.h and string_stack.h.
#pragma once

#include <cstdint>
#include <string_view>

#include "string_descriptor.h"

namespace rt {

void STR_PUSH_VAR(const StringDescriptor& d);     // by reference, no copy
void STR_PUSH_CONST(const StringDescriptor& d);   // pushes a temporary copy
void STR_PUSH_EMPTY();
void STR_MAKE_TEMP(std::uint32_t length, const std::uint8_t* text);
// Nothing on an empty stack. A popped temporary's block is then owned by
// `destination`: release it with STR_FREE or hand it on with STR_ASSIGN.
void STR_POP(StringDescriptor& destination);
void STR_FREE(StringDescriptor& d);
void STR_ASSIGN(StringDescriptor& destination, const StringDescriptor& source);
void STR_ASSIGN_VAR(StringDescriptor& destination, const StringDescriptor& source);
void STR_POP_ASSIGN(StringDescriptor& destination);
void STR_CLEAR(StringDescriptor& destination);
void STR_CONCAT();

enum class Comparison { Below, Equal, Above };
Comparison STR_COMPARE();  // pops left, then right
std::int32_t LEN();

// Convenience for runtime code: push a temporary holding `text`.
void push_temp(std::string_view text);

// A string popped from the string stack for a runtime operation. Holds the
// popped descriptor and releases it (when it is a temporary) on destruction,
// so an operation that raises an error never leaves an orphaned heap block.
// A popped temporary is owned by this object, so its text stays valid (and
// view() current) while the operation makes new strings; a string pushed by
// reference is read through the original descriptor. An empty stack gives an
// empty string.
class PoppedString {
public:
    PoppedString();  // pops the top of the stack
    ~PoppedString();
    PoppedString(const PoppedString&) = delete;
    PoppedString& operator=(const PoppedString&) = delete;

    // Valid until the next string is made; call again after that.
    std::string_view view() const noexcept { return source_->view(); }
    const StringDescriptor& descriptor() const noexcept { return *source_; }
    std::uint32_t length() const noexcept { return source_->length; }
    bool is_temporary() const noexcept { return source_ == &d_ && d_.kind == StringKind::Temporary; }
    // Releases a temporary now (before pushing a result, so compaction can
    // reuse its space); the string reads as empty afterwards.
    void release() noexcept;

private:
    StringDescriptor d_;
    const StringDescriptor* source_ = &d_;
};

}  // namespace rt
