// String stack and assignment operations (the calls application code and the
// other runtime subsystems use). The heap and stack records themselves are in
// string_heap.h and string_stack.h.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "runtime/core/runtime.h"
#include "runtime/core/string_descriptor.h"
#include "runtime/core/string_heap.h"
#include "runtime/core/string_stack.h"

namespace rt {

// By reference, no copy.
inline void STR_PUSH_VAR(const StringDescriptor& d)
{
    Runtime::current().string_stack().push(d);
}
inline void STR_MAKE_TEMP(std::uint32_t length, const std::uint8_t* text)
{
    Runtime& rt = Runtime::current();
    rt.string_stack().push_new_temp(rt.heap(), length, text);
}
// Pushes a temporary copy.
inline void STR_PUSH_CONST(const StringDescriptor& d)
{
    STR_MAKE_TEMP(d.length, d.text);
}
inline void STR_PUSH_EMPTY()
{
    STR_MAKE_TEMP(0, nullptr);
}
// Nothing on an empty stack. A popped temporary's block is then owned by
// `destination`: release it with STR_FREE or hand it on with STR_ASSIGN.
void STR_POP(StringDescriptor& destination);
void STR_FREE(StringDescriptor& d);
void STR_ASSIGN(StringDescriptor& destination, const StringDescriptor& source);
void STR_ASSIGN_VAR(StringDescriptor& destination, const StringDescriptor& source);
// The general assignment from the stack (referenced, constant and field
// entries, fixed destinations, an empty stack).
void pop_assign_by_copy(StringDescriptor& destination);
inline void STR_POP_ASSIGN(StringDescriptor& destination)
{
    if (!Runtime::current().string_stack().pop_temporary_into(destination))
        pop_assign_by_copy(destination);
}
void STR_CLEAR(StringDescriptor& destination);
void STR_CONCAT();
// Pushes the concatenation of `parts` in order as one new temporary (what
// pushing them and concatenating pairwise leaves, without the intermediate
// temporaries). The parts are variables, array elements or constants, which
// this reads after the allocation, so compaction cannot leave them stale.
void push_concatenation(std::span<const StringDescriptor* const> parts);

enum class Comparison { Below, Equal, Above };
Comparison STR_COMPARE();  // pops left, then right
std::int32_t LEN();

// Convenience for runtime code: push a temporary holding `text`.
inline void push_temp(std::string_view text)
{
    STR_MAKE_TEMP(static_cast<std::uint32_t>(text.size()), reinterpret_cast<const std::uint8_t*>(text.data()));
}

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
