#include "runtime/core/string_ops.h"

#include <cstring>
#include <limits>

#include "runtime/core/error.h"
#include "runtime/core/runtime.h"
#include "runtime/core/string_heap.h"
#include "runtime/core/string_stack.h"

namespace rt {

namespace {
// Site codes: high byte per operation, low byte per check.
constexpr std::uint16_t kSiteConcatTooLong = 0xC601;     // 15
constexpr std::uint16_t kSiteAssignFixed = 0xC701;       // 13, STR_ASSIGN
constexpr std::uint16_t kSiteAssignVarFixed = 0xC801;    // 13, STR_ASSIGN_VAR
constexpr std::uint16_t kSitePopAssignFixed = 0xC901;    // 13, STR_POP_ASSIGN

constexpr std::uint64_t kMaxStringLength = std::numeric_limits<std::int32_t>::max();

bool is_fixed(const StringDescriptor& d) noexcept
{
    return d.kind == StringKind::Fixed || d.kind == StringKind::FixedLength;
}

// The destination takes over `fresh` (a descriptor that owns its block, or an
// empty one) after its old block, if any, is released. Nothing here allocates,
// so no text moves between the release and the hand-over.
void take_over(StringDescriptor& destination, StringDescriptor& fresh) noexcept
{
    if (destination.kind == StringKind::Variable)
        StringHeap::release(destination);
    destination = {StringKind::Variable, fresh.length, fresh.text};
    StringHeap::adopt(destination);
    fresh = {};
}

// destination = a copy of `source`. The copy is made before the old value is
// released, so assigning a variable to itself keeps its text, and a failed
// allocation leaves the destination as it was.
void assign_copy(StringDescriptor& destination, const StringDescriptor& source)
{
    StringDescriptor fresh;
    Runtime::current().heap().allocate(fresh, StringKind::Variable, source.length, source.text);
    take_over(destination, fresh);
}
}  // namespace

void STR_PUSH_VAR(const StringDescriptor& d)
{
    Runtime::current().string_stack().push(d);
}

void STR_PUSH_CONST(const StringDescriptor& d)
{
    STR_MAKE_TEMP(d.length, d.text);
}

void STR_PUSH_EMPTY()
{
    STR_MAKE_TEMP(0, nullptr);
}

void STR_MAKE_TEMP(std::uint32_t length, const std::uint8_t* text)
{
    Runtime& rt = Runtime::current();
    rt.string_stack().push_new_temp(rt.heap(), length, text);
}

void push_temp(std::string_view text)
{
    STR_MAKE_TEMP(static_cast<std::uint32_t>(text.size()), reinterpret_cast<const std::uint8_t*>(text.data()));
}

void STR_POP(StringDescriptor& destination)
{
    Runtime::current().string_stack().pop(destination);
}

void STR_FREE(StringDescriptor& d)
{
    StringHeap::release(d);
}

void STR_ASSIGN(StringDescriptor& destination, const StringDescriptor& source)
{
    if (is_fixed(destination))
        RAISE_ERROR(err::TypeMismatch, kSiteAssignFixed);
    assign_copy(destination, source);
}

void STR_ASSIGN_VAR(StringDescriptor& destination, const StringDescriptor& source)
{
    if (is_fixed(destination))
        RAISE_ERROR(err::TypeMismatch, kSiteAssignVarFixed);
    assign_copy(destination, source);
}

void STR_POP_ASSIGN(StringDescriptor& destination)
{
    StringStack& stack = Runtime::current().string_stack();
    StringDescriptor popped;
    const StringDescriptor* referenced = nullptr;
    if (!stack.pop(popped, &referenced))
        return;
    if (is_fixed(destination)) {
        StringHeap::release(popped);
        RAISE_ERROR(err::TypeMismatch, kSitePopAssignFixed);
    }
    if (popped.kind == StringKind::Temporary) {
        take_over(destination, popped);  // adopted without copying
        return;
    }
    assign_copy(destination, referenced ? *referenced : popped);
}

void STR_CLEAR(StringDescriptor& destination)
{
    StringDescriptor empty;
    take_over(destination, empty);
}

void STR_CONCAT()
{
    PoppedString b;
    PoppedString a;
    const std::uint64_t total = std::uint64_t{a.length()} + b.length();
    if (total > kMaxStringLength) {
        b.release();
        a.release();
        RAISE_ERROR(err::StringTooLong, kSiteConcatTooLong);
    }
    // The operands stay owned by a and b while the result is made, so their
    // text follows any compaction; they are read after the allocation.
    Runtime& rt = Runtime::current();
    std::uint8_t* out = rt.string_stack().push_new_temp(rt.heap(), static_cast<std::uint32_t>(total), nullptr);
    if (total != 0) {
        const std::string_view left = a.view();
        const std::string_view right = b.view();
        if (!left.empty())
            std::memcpy(out, left.data(), left.size());
        if (!right.empty())
            std::memcpy(out + left.size(), right.data(), right.size());
    }
}

Comparison STR_COMPARE()
{
    PoppedString left;
    PoppedString right;
    const std::string_view l = left.view();
    const std::string_view r = right.view();
    const std::size_t common = l.size() < r.size() ? l.size() : r.size();
    const int c = common == 0 ? 0 : std::memcmp(l.data(), r.data(), common);  // bytes as unsigned
    if (c < 0)
        return Comparison::Below;
    if (c > 0)
        return Comparison::Above;
    if (l.size() == r.size())
        return Comparison::Equal;
    return l.size() < r.size() ? Comparison::Below : Comparison::Above;
}

std::int32_t LEN()
{
    PoppedString s;
    return static_cast<std::int32_t>(s.length());
}

PoppedString::PoppedString()
{
    const StringDescriptor* referenced = nullptr;
    Runtime::current().string_stack().pop(d_, &referenced);
    if (referenced)
        source_ = referenced;
}

PoppedString::~PoppedString()
{
    release();
}

void PoppedString::release() noexcept
{
    if (source_ == &d_)
        StringHeap::release(d_);
}

}  // namespace rt
