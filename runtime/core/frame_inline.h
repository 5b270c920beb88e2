// The statement runner behind stmt(): prologue, line, body, and the error
// trap's dispatch when the body raises.
#pragma once

#include <cstdint>
#include <utility>

#include "runtime/core/error.h"

namespace rt::detail {

// What a statement does after its body raised `error`: run it again (RESUME),
// end normally (RESUME_NEXT, or a handler that returned without a resume),
// or pass the error on to the enclosing statement or procedure frame. Fatal
// errors end the program from in here.
enum class ErrorOutcome { Retry, Continue, Propagate };
ErrorOutcome handle_statement_error(const RuntimeError& error);

}  // namespace rt::detail

namespace rt {

template <class Body>
void stmt(std::uint16_t line, Body&& body)
{
    for (;;) {
        try {
            STMT();
            SETLINE(line);
            body();
            return;
        } catch (const RuntimeError& error) {
            switch (detail::handle_statement_error(error)) {
            case detail::ErrorOutcome::Retry:
                continue;
            case detail::ErrorOutcome::Continue:
                return;
            case detail::ErrorOutcome::Propagate:
                throw;
            }
        }
    }
}

}  // namespace rt
