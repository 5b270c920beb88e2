// Arrays: a header that is the array variable itself, a bounds block with one
// element count per dimension, zero-filled element storage, and the registry
// that owns the storage of every array dimensioned at run time.
//
// DIM and ARRAY_ELEM take a parameter block naming the element type and size,
// the array and its bounds, and one value per dimension (upper bounds for DIM,
// subscripts for ARRAY_ELEM). ArrayVariable<T, N> is the typed form that
// application code declares.
#pragma once

#include <array>
#include <concepts>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "runtime/core/string_descriptor.h"

namespace rt {

inline constexpr std::size_t kMaxArrayDimensions = 8;
// Subscripts 0..10 in every dimension of an array used before DIM.
inline constexpr std::uint32_t kImplicitCount = 11;

struct BoundsBlock {
    std::uint8_t dimensions = 0;
    std::array<std::uint32_t, kMaxArrayDimensions> counts{};  // upper bound + 1
};

struct ArrayHeader {
    std::uint8_t reserved = 0;
    std::uint8_t element_type = 0;  // type code
    std::byte* data = nullptr;      // element storage; nullptr: not dimensioned yet
    BoundsBlock* bounds = nullptr;
};

struct ArrayParams {
    std::uint32_t flags = 0;  // number of dimensions * 256 + element type
    std::uint32_t element_size = 0;
    ArrayHeader* array = nullptr;
    BoundsBlock* bounds = nullptr;
    std::span<const std::uint32_t> values;  // upper bounds (DIM) or subscripts (ARRAY_ELEM)
};

inline constexpr std::uint32_t array_flags(std::size_t dimensions, std::uint8_t element_type) noexcept
{
    return static_cast<std::uint32_t>(dimensions) * 256 + element_type;
}

// Dimensions the array. Raises 76 inside a trap handler, 10 when it already
// has data, 5 for an upper bound above 2,147,483,646 (or an unusable block),
// 9 when it would exceed 2,147,483,647 bytes, 7 without memory, 89 when the
// registry is full. String elements start empty; fixed-length string elements
// (element size = descriptor + declared length) start as spaces.
void DIM(const ArrayParams& params);
// The element's address; an array without data is first dimensioned with 11
// elements in every dimension. A subscript at or above its count (taken as
// unsigned, so negative ones too) raises 9.
std::byte* ARRAY_ELEM(const ArrayParams& params);

// Element storage, zero-filled by the system (calloc), freed with free().
struct ArrayStorageDeleter {
    void operator()(std::byte* p) const noexcept;
};
using ArrayStorage = std::unique_ptr<std::byte[], ArrayStorageDeleter>;

class ArrayRegistry {
public:
    ArrayRegistry() = default;
    ~ArrayRegistry();
    ArrayRegistry(const ArrayRegistry&) = delete;
    ArrayRegistry& operator=(const ArrayRegistry&) = delete;

    // Takes the storage of `array`, dimensioned in `frame`. Raises 89 or 7.
    void add(std::uint32_t frame, ArrayHeader& array, ArrayStorage storage,
             std::size_t element_count, std::uint32_t element_size);
    // Frees one array (string elements released first); the header loses its data.
    void release(ArrayHeader& array) noexcept;
    // Frees every array dimensioned in `frame` (the frame is ending).
    void release_frame(std::uint32_t frame) noexcept;
    // Termination.
    void release_all() noexcept;

    std::size_t size() const noexcept { return entries_.size(); }
    bool registered(const ArrayHeader& array) const noexcept;

    // Zero-filled storage; nullptr when memory is short (or the test hook says so).
    ArrayStorage allocate_storage(std::size_t bytes) noexcept;
    // Test hook: the next storage allocation fails.
    void fail_next_allocation() noexcept { fail_next_ = true; }

private:
    struct Entry {
        std::uint32_t frame;
        ArrayHeader* array;
        ArrayStorage storage;
        std::size_t element_count;
        std::uint32_t element_size;
    };
    static void free_entry(Entry& entry) noexcept;

    std::vector<Entry> entries_;
    bool fail_next_ = false;
};

// Frees `array` through the current runtime's registry (an array variable
// going out of scope); nothing when it has no data or no runtime is current.
void release_array(ArrayHeader& array) noexcept;

template <class T>
inline constexpr std::uint8_t kElementTypeOf = [] {
    if constexpr (std::same_as<T, std::int16_t>)
        return type_code::kI16;
    else if constexpr (std::same_as<T, std::int32_t>)
        return type_code::kI32;
    else if constexpr (std::same_as<T, float>)
        return type_code::kSingle;
    else if constexpr (std::same_as<T, double>)
        return type_code::kDouble;
    else if constexpr (std::same_as<T, std::uint8_t>)
        return type_code::kByte;
    else if constexpr (std::same_as<T, StringDescriptor>)
        return type_code::kString;
    else
        static_assert(sizeof(T) == 0, "not an element type of the value model");
}();

// A typed array variable: ArrayVariable<std::int16_t, 2> a; a.dim(3, 4); a(1, 2) = 7;
// String arrays hold StringDescriptor elements (use them with basic_string.h).
template <class T, std::size_t Dims = 1>
class ArrayVariable {
    static_assert(Dims >= 1 && Dims <= kMaxArrayDimensions);

public:
    ArrayVariable() noexcept
    {
        header_.element_type = kElementTypeOf<T>;
        header_.bounds = &bounds_;
    }
    ~ArrayVariable() { release_array(header_); }
    ArrayVariable(const ArrayVariable&) = delete;
    ArrayVariable& operator=(const ArrayVariable&) = delete;

    template <std::integral... I>
        requires(sizeof...(I) == Dims)
    void dim(I... upper_bounds)
    {
        const std::array<std::uint32_t, Dims> values{static_cast<std::uint32_t>(upper_bounds)...};
        DIM(params(values));
    }

    template <std::integral... I>
        requires(sizeof...(I) == Dims)
    T& operator()(I... subscripts)
    {
        const std::array<std::uint32_t, Dims> values{static_cast<std::uint32_t>(subscripts)...};
        return *reinterpret_cast<T*>(ARRAY_ELEM(params(values)));
    }

    bool dimensioned() const noexcept { return header_.data != nullptr; }
    std::uint32_t count(std::size_t dimension) const noexcept { return bounds_.counts[dimension]; }
    ArrayHeader& header() noexcept { return header_; }

private:
    ArrayParams params(std::span<const std::uint32_t> values) noexcept
    {
        return {array_flags(Dims, kElementTypeOf<T>), sizeof(T), &header_, &bounds_, values};
    }

    ArrayHeader header_;
    BoundsBlock bounds_;
};

}  // namespace rt
