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
namespace site {
inline constexpr std::uint16_t kConcatTooLong = 0xC601;     // 15
inline constexpr std::uint16_t kAssignFixed = 0xC701;       // 13, STR_ASSIGN
inline constexpr std::uint16_t kAssignVarFixed = 0xC801;    // 13, STR_ASSIGN_VAR
inline constexpr std::uint16_t kPopAssignFixed = 0xC901;    // 13, STR_POP_ASSIGN
}  // namespace site

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
        RAISE_ERROR(err::kTypeMismatch, site::kAssignFixed);
    assign_copy(destination, source);
}

void STR_ASSIGN_VAR(StringDescriptor& destination, const StringDescriptor& source)
{
    if (is_fixed(destination))
        RAISE_ERROR(err::kTypeMismatch, site::kAssignVarFixed);
    assign_copy(destination, source);
}

void pop_assign_by_copy(StringDescriptor& destination)
{
    StringStack& stack = Runtime::current().string_stack();
    StringDescriptor popped;
    const StringDescriptor* referenced = nullptr;
    if (!stack.pop(popped, &referenced))
        return;
    if (is_fixed(destination)) {
        StringHeap::release(popped);
        RAISE_ERROR(err::kTypeMismatch, site::kPopAssignFixed);
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
    Runtime& rt = Runtime::current();
    StringStack& stack = rt.string_stack();
    StringHeap& heap = rt.heap();
    if (stack.depth() >= 2) {
        const StringDescriptor& right = stack.entry(0);
        const StringDescriptor& left = stack.entry(1);
        const std::uint64_t total = std::uint64_t{left.length} + right.length;
        if (total <= kMaxStringLength) {
            // A temporary at the end of the heap grows in place, as the left
            // operand of a chain a + b + c does.
            if (StringDescriptor* grown = stack.temporary_at(1);
                grown && (right.length == 0 || heap.extend_in_place(*grown, right.length, right.text))) {
                stack.discard_top();
                return;
            }
            // With room at the end nothing moves while the result is made, so
            // the operands are read where they are.
            if (heap.has_room_for(static_cast<std::uint32_t>(total))) {
                StringDescriptor result;
                std::uint8_t* out = heap.allocate(result, StringKind::Temporary, static_cast<std::uint32_t>(total));
                if (left.length != 0)
                    std::memcpy(out, left.text, left.length);
                if (right.length != 0)
                    std::memcpy(out + left.length, right.text, right.length);
                stack.discard_top();
                stack.discard_top();
                stack.push_temporary(result);  // two entries were just freed
                return;
            }
        }
    }

    PoppedString b;
    PoppedString a;
    const std::uint64_t total = std::uint64_t{a.length()} + b.length();
    if (total > kMaxStringLength) {
        b.release();
        a.release();
        RAISE_ERROR(err::kStringTooLong, site::kConcatTooLong);
    }
    // The operands stay owned by a and b while the result is made, so their
    // text follows any compaction; they are read after the allocation.
    std::uint8_t* out = stack.push_new_temp(heap, static_cast<std::uint32_t>(total), nullptr);
    if (total != 0) {
        const std::string_view left = a.view();
        const std::string_view right = b.view();
        if (!left.empty())
            std::memcpy(out, left.data(), left.size());
        if (!right.empty())
            std::memcpy(out + left.size(), right.data(), right.size());
    }
}

void push_concatenation(std::span<const StringDescriptor* const> parts)
{
    std::uint64_t total = 0;
    for (const StringDescriptor* part : parts)
        total += part->length;
    if (total > kMaxStringLength)
        RAISE_ERROR(err::kStringTooLong, site::kConcatTooLong);
    Runtime& rt = Runtime::current();
    std::uint8_t* out = rt.string_stack().push_new_temp(rt.heap(), static_cast<std::uint32_t>(total), nullptr);
    for (const StringDescriptor* part : parts) {
        if (part->length != 0)
            std::memcpy(out, part->text, part->length);
        out += part->length;
    }
}

// Nothing is made while comparing or measuring, so the entries are read in place.
Comparison STR_COMPARE()
{
    StringStack& stack = Runtime::current().string_stack();
    if (stack.depth() < 2) {
        PoppedString left;
        PoppedString right;
        return left.length() < right.length() ? Comparison::Below
               : left.length() > right.length() ? Comparison::Above
                                                : Comparison::Equal;
    }
    const std::string_view l = stack.entry(0).view();
    const std::string_view r = stack.entry(1).view();
    const std::size_t common = l.size() < r.size() ? l.size() : r.size();
    const int c = common == 0 ? 0 : std::memcmp(l.data(), r.data(), common);  // bytes as unsigned
    stack.discard_top();
    stack.discard_top();
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
