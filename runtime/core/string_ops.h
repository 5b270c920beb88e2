// String stack and assignment operations (the calls application code and the
// other runtime subsystems use). The heap and stack records themselves are in
// string_heap.h and string_stack.h.
#pragma once

#include <cstdint>
#include <string_view>

#include "string_descriptor.h"

namespace rt {

void STR_PUSH_VAR(StringDescriptor& d);           // by reference, no copy
void STR_PUSH_CONST(const StringDescriptor& d);   // pushes a temporary copy
void STR_PUSH_EMPTY();
void STR_MAKE_TEMP(std::uint32_t length, const std::uint8_t* text);
void STR_POP(StringDescriptor& destination);      // nothing on an empty stack
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
class PoppedString {
public:
    PoppedString();  // pops the top of the stack
    ~PoppedString();
    PoppedString(const PoppedString&) = delete;
    PoppedString& operator=(const PoppedString&) = delete;

    std::string_view view() const noexcept { return d_.view(); }
    const StringDescriptor& descriptor() const noexcept { return d_; }
    // Releases now (before pushing a result that may move the heap's text).
    void release() noexcept;

private:
    StringDescriptor d_;
    bool released_ = false;
};

}  // namespace rt
