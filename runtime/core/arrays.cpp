#include "runtime/core/arrays.h"

#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>

#include "runtime/core/error.h"
#include "runtime/core/frame.h"
#include "runtime/core/runtime.h"
#include "runtime/core/string_heap.h"

namespace rt {

namespace {
// Site codes: high byte per operation, low byte per check.
namespace site {
inline constexpr std::uint16_t kDimInHandler = 0xD001;   // 76
inline constexpr std::uint16_t kDimTwice = 0xD002;       // 10
inline constexpr std::uint16_t kDimBadBlock = 0xD003;    // 5: dimensions, element size
inline constexpr std::uint16_t kDimBound = 0xD004;       // 5: upper bound
inline constexpr std::uint16_t kDimTooLarge = 0xD005;    // 9
inline constexpr std::uint16_t kDimMemory = 0xD006;      // 7: element storage
inline constexpr std::uint16_t kRegistryFull = 0xD007;   // 89
inline constexpr std::uint16_t kRegistryMemory = 0xD008; // 7: registry entry
inline constexpr std::uint16_t kElemInHandler = 0xD101;  // 76: implicit dimensioning
inline constexpr std::uint16_t kElemDimensions = 0xD102; // 9: subscript count differs, no bounds
inline constexpr std::uint16_t kElemSubscript = 0xD103;  // 9
}  // namespace site

constexpr std::uint32_t kMaxUpperBound = 2147483646;
constexpr std::uint64_t kMaxBytes = std::numeric_limits<std::int32_t>::max();
// Bytes one registry entry ({frame, array address}) counts for when the
// registry's size is checked against kMaxBytes.
constexpr std::uint64_t kRegistryEntryBytes = 8;

bool is_string_type(std::uint8_t type) noexcept
{
    return type == type_code::kString || type == type_code::kFixedLengthString;
}

void initialise_elements(std::byte* data, std::uint8_t type, std::size_t count, std::uint32_t element_size) noexcept
{
    if (type == type_code::kString) {
        for (std::size_t i = 0; i < count; ++i)
            new (data + i * element_size) StringDescriptor{StringKind::Variable, 0, nullptr};
    } else if (type == type_code::kFixedLengthString) {
        const std::uint32_t declared = element_size - sizeof(StringDescriptor);
        for (std::size_t i = 0; i < count; ++i) {
            std::byte* element = data + i * element_size;
            auto* text = reinterpret_cast<std::uint8_t*>(element + sizeof(StringDescriptor));
            new (element) StringDescriptor{StringKind::FixedLength, declared, text};
            std::memset(text, ' ', declared);
        }
    }
}
}  // namespace

void DIM(const ArrayParams& p)
{
    if (in_trap_handler())
        RAISE_ERROR(err::kDimInHandler, site::kDimInHandler);
    if (p.array->data)
        RAISE_ERROR(err::kDuplicateDefinition, site::kDimTwice);

    const std::uint8_t type = static_cast<std::uint8_t>(p.flags & 0xFF);
    const std::size_t dimensions = (p.flags >> 8) & 0xFF;
    if (dimensions == 0 || dimensions > kMaxArrayDimensions || p.values.size() != dimensions ||
        p.element_size == 0 || !p.bounds)
        RAISE_ERROR(err::kIllegalArgument, site::kDimBadBlock);
    if (is_string_type(type) &&
        (p.element_size < sizeof(StringDescriptor) || p.element_size % alignof(StringDescriptor) != 0))
        RAISE_ERROR(err::kIllegalArgument, site::kDimBadBlock);
    for (std::uint32_t upper : p.values)
        if (upper > kMaxUpperBound)
            RAISE_ERROR(err::kIllegalArgument, site::kDimBound);

    p.array->reserved = 0;
    p.array->element_type = type;
    p.array->bounds = p.bounds;
    p.bounds->dimensions = static_cast<std::uint8_t>(dimensions);
    // bytes stays at most 2^31 before each multiplication, so it cannot wrap.
    std::uint64_t bytes = p.element_size;
    bool too_large = bytes > kMaxBytes;
    for (std::size_t i = 0; i < dimensions; ++i) {
        p.bounds->counts[i] = p.values[i] + 1;
        if (!too_large) {
            bytes *= p.bounds->counts[i];
            too_large = bytes > kMaxBytes;
        }
    }
    if (too_large)
        RAISE_ERROR(err::kSubscriptOutOfRange, site::kDimTooLarge);
    const std::uint64_t count = bytes / p.element_size;

    ArrayRegistry& registry = Runtime::current().arrays();
    auto storage = registry.allocate_storage(static_cast<std::size_t>(bytes));
    if (!storage)
        RAISE_ERROR(err::kOutOfMemory, site::kDimMemory);
    initialise_elements(storage.get(), type, static_cast<std::size_t>(count), p.element_size);
    std::byte* data = storage.get();
    registry.add(current_frame_number(), *p.array, std::move(storage), static_cast<std::size_t>(count), p.element_size);
    p.array->data = data;
}

std::byte* ARRAY_ELEM(const ArrayParams& p)
{
    if (!p.array->data) {
        if (in_trap_handler())
            RAISE_ERROR(err::kDimInHandler, site::kElemInHandler);
        const std::size_t dimensions = (p.flags >> 8) & 0xFF;
        std::array<std::uint32_t, kMaxArrayDimensions> upper;
        upper.fill(kImplicitCount - 1);
        ArrayParams implicit = p;
        implicit.values = std::span<const std::uint32_t>(upper.data(), dimensions <= kMaxArrayDimensions ? dimensions : 0);
        DIM(implicit);
    }
    if (!p.array->bounds)
        RAISE_ERROR(err::kSubscriptOutOfRange, site::kElemDimensions);
    const BoundsBlock& bounds = *p.array->bounds;
    if (p.values.size() != bounds.dimensions)
        RAISE_ERROR(err::kSubscriptOutOfRange, site::kElemDimensions);
    for (std::size_t i = 0; i < bounds.dimensions; ++i)
        if (p.values[i] >= bounds.counts[i])
            RAISE_ERROR(err::kSubscriptOutOfRange, site::kElemSubscript);
    // The first subscript varies fastest.
    std::size_t index = p.values[bounds.dimensions - 1];
    for (std::size_t i = bounds.dimensions - 1; i-- > 0;)
        index = index * bounds.counts[i] + p.values[i];
    return p.array->data + index * p.element_size;
}

ArrayRegistry::~ArrayRegistry()
{
    release_all();
}

void ArrayStorageDeleter::operator()(std::byte* p) const noexcept
{
    std::free(p);
}

ArrayStorage ArrayRegistry::allocate_storage(std::size_t bytes) noexcept
{
    if (fail_next_) {
        fail_next_ = false;
        return nullptr;
    }
    return ArrayStorage(static_cast<std::byte*>(std::calloc(bytes, 1)));
}

void ArrayRegistry::add(std::uint32_t frame, ArrayHeader& array, ArrayStorage storage,
                        std::size_t element_count, std::uint32_t element_size)
{
    if ((entries_.size() + 1) * kRegistryEntryBytes > kMaxBytes)
        RAISE_ERROR(err::kTableTooLarge, site::kRegistryFull);
    try {
        entries_.push_back({frame, &array, std::move(storage), element_count, element_size});
    } catch (const std::bad_alloc&) {
        RAISE_ERROR(err::kOutOfMemory, site::kRegistryMemory);
    }
}

void ArrayRegistry::free_entry(Entry& entry) noexcept
{
    if (entry.array->element_type == type_code::kString) {
        for (std::size_t i = 0; i < entry.element_count; ++i)
            StringHeap::release(*reinterpret_cast<StringDescriptor*>(entry.storage.get() + i * entry.element_size));
    }
    entry.array->data = nullptr;
    entry.storage.reset();
}

bool ArrayRegistry::registered(const ArrayHeader& array) const noexcept
{
    for (const Entry& e : entries_)
        if (e.array == &array)
            return true;
    return false;
}

void ArrayRegistry::release(ArrayHeader& array) noexcept
{
    for (auto it = entries_.begin(); it != entries_.end(); ++it) {
        if (it->array == &array) {
            free_entry(*it);
            entries_.erase(it);
            return;
        }
    }
}

void ArrayRegistry::release_frame(std::uint32_t frame) noexcept
{
    std::erase_if(entries_, [frame](Entry& e) {
        if (e.frame != frame)
            return false;
        free_entry(e);
        return true;
    });
}

void ArrayRegistry::release_all() noexcept
{
    for (Entry& e : entries_)
        free_entry(e);
    entries_.clear();
}

void release_array(ArrayHeader& array) noexcept
{
    if (!array.data)
        return;
    if (Runtime* runtime = Runtime::current_or_null())
        runtime->arrays().release(array);
}

}  // namespace rt
