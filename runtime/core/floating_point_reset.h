// Puts the floating-point unit back into its initial state: round to
// nearest, all exceptions masked, no exception flag raised. Done at start-up
// and whenever an error is raised.
#pragma once

#include <cfenv>

namespace rt {

inline void reset_floating_point_state() noexcept
{
    std::fesetenv(FE_DFL_ENV);
}

}  // namespace rt
