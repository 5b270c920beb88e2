#include "tools/target-sim/reply_fault.h"

namespace sim {

std::string spoil_reply(std::string reply, const FaultOptions& faults)
{
    if (faults.short_reply)
        reply.resize(reply.size() / 2);
    if (faults.garbage) {
        // Printable bytes above the reply end range that are not hexadecimal
        // digits, so the reply is complete but meaningless.
        for (std::size_t i = 0; i < reply.size(); ++i)
            reply[i] = static_cast<char>('G' + (i * 7 + static_cast<unsigned char>(reply[i])) % 20);
    }
    if (faults.oversize > reply.size())
        reply.resize(faults.oversize, '0');
    if (faults.nul)
        reply.insert(reply.size() / 2, 1, '\0');
    return reply;
}

}  // namespace sim
