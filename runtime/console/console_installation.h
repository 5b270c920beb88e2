// Puts the console into a running program: the main console window, the
// console records, the print channel and report target, and the "KYBD:" and
// "SCRN:" devices of the device table (which must be installed first).
#pragma once

#include <functional>

namespace rt {
class Runtime;
}

namespace rt::console {

class ConsoleRecords;

// Key events go to RAISE_EVENT and a full key queue beeps on the desktop.
ConsoleRecords& install_console(Runtime& runtime);

}  // namespace rt::console
