// The input statement on the console: the prompt, then one edited line whose
// fields go to the variables, retried with a notice while the line does not fit.
#pragma once

#include <cstdint>
#include <span>

#include "runtime/files/field_input.h"

namespace rt {

// Prompt modes: 0 "? " only, 1 the prompt text only, 2 the prompt text then
// "? ". Modes 1 and 2 pop the prompt text (kept up to 255 bytes).
void INPUT_PROMPT(std::uint32_t window, std::int32_t mode);

// Reads the input and assigns the variables in order: from the device that
// INPUT_FROM_FILE chose, else from the console's line editor.
void INPUT_VARS(std::span<const InputTarget> targets);

}  // namespace rt
