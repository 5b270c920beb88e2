// QkP877W on the shared end-to-end fixture: the PIC16F877 board.
#pragma once

#include <string>
#include <vector>

#include "tests/support/monitor_end_to_end.h"

namespace qkp877w_e2e {

inline qk_test::MonitorUnderTest qkp877w_under_test() { return {QK_QKP877W, "qkp877w", {"--board", "pic"}}; }

class QkP877WEndToEnd : public qk_test::MonitorEndToEnd {
protected:
    QkP877WEndToEnd() : MonitorEndToEnd(qkp877w_under_test()) {}

    // The 24 rows a script saved, each padded to 80 columns.
    std::vector<std::string> rows(const std::string& file) const { return screen(file).padded_rows(); }

    // The requests other than the row reads of the dump pages 0000 and 0100,
    // as "1234<22>" (argument characters, then the command code).
    std::vector<std::string> command_requests() const { return log().requests_except_rows_of({"0000", "0100"}); }
};

}  // namespace qkp877w_e2e
