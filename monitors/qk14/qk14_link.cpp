// Qk14's use of the command reply reader: the reply and its failure go into
// the monitor state, where the command display and the dump row read look.
#include "monitors/monitor_shared/target_link.h"
#include "qk14_program.h"
#include "runtime/core/frame.h"

namespace qk14 {

using rt::stmt;

void Qk14Program::reply_reader()
{
    const monitor::CommandReply result = monitor::read_command_reply();
    stmt(__LINE__, [&] {
        s_.replyFailed = result.failed;
        s_.reply = result.reply;
    });
}

}  // namespace qk14
