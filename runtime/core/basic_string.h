// The typed face of strings for application code.
//
//     StrVar a, b;
//     a = concat(b, lit("x"), b);          // pushes b, "x", concat, b, concat; pops into a
//     if (equal(a, lit("OK"))) ...         // pushes "OK", then a; compares
//
// An operand is a string variable (StrVar), a descriptor that stands for one
// (a string array element), a literal (StrLit), or an expression: any callable
// that leaves exactly one string on the string stack. Helpers such as concat
// build the whole expression first and push the operands later, in source
// order, because C++ leaves the order of argument evaluation open. A string
// function plugs in the same way:
//
//     template <StringOperand E>
//     auto left(E&& e, std::int32_t n)
//     {
//         return [s = hold(std::forward<E>(e)), n] { s(); LEFT_S(n); };
//     }
#pragma once

#include <concepts>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>

#include "runtime/core/string_descriptor.h"
#include "runtime/core/string_heap.h"
#include "runtime/core/string_ops.h"

namespace rt {

// A string variable: owns one heap block, or none when empty. Its block is
// released when it goes out of scope; at termination the heap empties it.
class StrVar {
public:
    StrVar() noexcept = default;
    ~StrVar() { StringHeap::release(d_); }
    StrVar(const StrVar&) = delete;

    // a = b (the value is copied; assigning a variable to itself keeps it).
    StrVar& operator=(const StrVar& other)
    {
        STR_ASSIGN_VAR(d_, other.d_);
        return *this;
    }
    template <class E>
    StrVar& operator=(E&& expression);

    // Sets the value from bytes held by runtime code.
    void set(std::string_view text)
    {
        push_temp(text);
        STR_POP_ASSIGN(d_);
    }
    void clear() { STR_CLEAR(d_); }

    StringDescriptor& descriptor() noexcept { return d_; }
    const StringDescriptor& descriptor() const noexcept { return d_; }
    // Valid until the next string is made.
    std::string_view view() const noexcept { return d_.view(); }
    std::string str() const { return std::string(d_.view()); }
    std::uint32_t length() const noexcept { return d_.length; }

private:
    StringDescriptor d_{StringKind::Variable, 0, nullptr};
};

// A string constant: a descriptor over bytes that outlive it (a literal).
class StrLit {
public:
    explicit StrLit(std::string_view text) noexcept
        : d_{StringKind::Constant, static_cast<std::uint32_t>(text.size()),
             // Constant text is never written; the descriptor type is shared with owned text.
             const_cast<std::uint8_t*>(reinterpret_cast<const std::uint8_t*>(text.data()))}
    {
    }
    const StringDescriptor& descriptor() const noexcept { return d_; }
    std::string_view view() const noexcept { return d_.view(); }

private:
    StringDescriptor d_;
};

// lit("text"): a literal of the bytes between the quotes.
template <std::size_t N>
StrLit lit(const char (&text)[N]) noexcept
{
    return StrLit(std::string_view(text, N - 1));
}

template <class T>
concept StringOperand =
    std::same_as<std::remove_cvref_t<T>, StrVar> || std::same_as<std::remove_cvref_t<T>, StringDescriptor> ||
    std::same_as<std::remove_cvref_t<T>, StrLit> || std::invocable<const std::remove_cvref_t<T>&>;

inline void push_operand(const StrVar& v) { STR_PUSH_VAR(v.descriptor()); }
inline void push_operand(const StringDescriptor& d) { STR_PUSH_VAR(d); }
inline void push_operand(const StrLit& l) { STR_PUSH_VAR(l.descriptor()); }
template <class F>
    requires std::invocable<const F&>
void push_operand(const F& expression)
{
    expression();
}

// Turns an operand into an expression that pushes it: variables and
// descriptors are held by reference (their value is read when pushed),
// literals and expressions by value.
template <StringOperand E>
auto hold(E&& operand)
{
    using T = std::remove_cvref_t<E>;
    if constexpr (std::same_as<T, StrVar> || std::same_as<T, StringDescriptor>)
        return [&operand] { push_operand(operand); };
    else
        return [value = T(std::forward<E>(operand))] { push_operand(value); };
}

// Operands whose text is known without running anything: variables,
// descriptors and literals.
template <class T>
concept PlainOperand = std::same_as<std::remove_cvref_t<T>, StrVar> ||
                       std::same_as<std::remove_cvref_t<T>, StringDescriptor> ||
                       std::same_as<std::remove_cvref_t<T>, StrLit>;

inline const StringDescriptor& descriptor_of(const StrVar& v) noexcept { return v.descriptor(); }
inline const StringDescriptor& descriptor_of(const StringDescriptor& d) noexcept { return d; }
inline const StringDescriptor& descriptor_of(const StrLit& l) noexcept { return l.descriptor(); }
inline const StringDescriptor& descriptor_of(const StringDescriptor* d) noexcept { return *d; }

// Variables and descriptors are held by address, literals by value.
template <PlainOperand E>
auto hold_plain(E&& operand)
{
    if constexpr (std::same_as<std::remove_cvref_t<E>, StrLit>)
        return StrLit(operand);
    else
        return &descriptor_of(operand);
}

// a + b + ...: the first operand comes first in the result. A chain of
// variables and literals is made in one step, one block holding the whole
// result; a chain with other expressions pushes and concatenates pairwise.
template <StringOperand... E>
    requires(sizeof...(E) >= 1)
auto concat(E&&... parts)
{
    if constexpr (sizeof...(E) >= 2 && (PlainOperand<E> && ...)) {
        return [... part = hold_plain(std::forward<E>(parts))] {
            const StringDescriptor* all[] = {&descriptor_of(part)...};
            push_concatenation(all);
        };
    } else {
        return [... part = hold(std::forward<E>(parts))] {
            bool first = true;
            ((part(), first ? void(first = false) : STR_CONCAT()), ...);
        };
    }
}

// destination = expression (a variable or a string array element).
template <StringOperand E>
void assign(StringDescriptor& destination, E&& expression)
{
    push_operand(expression);
    STR_POP_ASSIGN(destination);
}

template <class E>
StrVar& StrVar::operator=(E&& expression)
{
    static_assert(StringOperand<E>, "not a string operand");
    assign(d_, std::forward<E>(expression));
    return *this;
}

// Comparison of left with right; the right operand is pushed first.
template <StringOperand L, StringOperand R>
Comparison compare(L&& left, R&& right)
{
    push_operand(right);
    push_operand(left);
    return STR_COMPARE();
}
template <StringOperand L, StringOperand R>
bool equal(L&& left, R&& right) { return compare(left, right) == Comparison::Equal; }
template <StringOperand L, StringOperand R>
bool not_equal(L&& left, R&& right) { return compare(left, right) != Comparison::Equal; }
template <StringOperand L, StringOperand R>
bool less(L&& left, R&& right) { return compare(left, right) == Comparison::Below; }
template <StringOperand L, StringOperand R>
bool less_equal(L&& left, R&& right) { return compare(left, right) != Comparison::Above; }
template <StringOperand L, StringOperand R>
bool greater(L&& left, R&& right) { return compare(left, right) == Comparison::Above; }
template <StringOperand L, StringOperand R>
bool greater_equal(L&& left, R&& right) { return compare(left, right) != Comparison::Below; }

// LEN(expression).
template <StringOperand E>
std::int32_t len(E&& expression)
{
    push_operand(expression);
    return LEN();
}

// The expression's bytes, for runtime code and tests.
template <StringOperand E>
std::string value_of(E&& expression)
{
    push_operand(expression);
    PoppedString result;
    return std::string(result.view());
}

// The value model's truth value (-1 or 0) of a comparison.
inline std::int16_t truth(bool condition) noexcept { return condition ? kTrue : kFalse; }

}  // namespace rt
