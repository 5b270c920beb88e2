// The runtime error a piece of code raised, for assertions.
#pragma once

#include <cstdint>
#include <ostream>

#include "runtime/core/error.h"

namespace qk_test {

struct Raised {
    std::uint16_t number = 0;
    std::uint16_t site = 0;
    bool operator==(const Raised&) const = default;
};

inline std::ostream& operator<<(std::ostream& os, const Raised& r)
{
    return os << "error " << r.number << " at site 0x" << std::hex << r.site << std::dec;
}

// The error `body` raised, or {0, 0} when it returned normally.
template <class Body>
Raised raised_by(Body&& body)
{
    try {
        body();
    } catch (const rt::RuntimeError& e) {
        return {e.number(), e.site()};
    }
    return {};
}

}  // namespace qk_test
