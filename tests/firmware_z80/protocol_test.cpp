// The Z80 firmware on simh against the board model target-sim serves: the
// same request bytes must bring the same replies, byte for byte, including no
// reply at all for requests that do not fit their command.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tools/target-sim/request_decoder.h"
#include "tools/target-sim/target_board.h"
#include "tests/support/raw_line.h"
#include "tests/support/scratch_directory.h"
#include "tests/support/simh_z80_board.h"

namespace {

using qk_test::RawLine;
using qk_test::ScratchDirectory;
using qk_test::SimhZ80Board;

std::string request(std::string digits, char code) { return digits + code; }

std::string shown(const std::string& bytes)
{
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text;
    for (unsigned char c : bytes) {
        if (c >= 0x20 && c < 0x7F) {
            text.push_back(static_cast<char>(c));
        } else {
            text += "<";
            text.push_back(kDigits[c >> 4]);
            text.push_back(kDigits[c & 0x0F]);
            text += ">";
        }
    }
    return text;
}

// Requests on RAM from 8000h (zero on both at the start) and on port 51h,
// which reads back what was written on the simulated machine as on the model.
std::vector<std::string> requests()
{
    const std::string data31 = "000102030405060708090A0B0C0D0E0F101112131415161718191A1B1C1D1E";
    return {
        request("8000", 0x1F),                     // 16 zero bytes
        request("800012", 0x00),                   // write 1 byte
        request("8001A5B6C7", 0x02),               // write 3
        request("8000", 0x10),                     // read 1
        request("8000", 0x1E),                     // read 15
        request("8040" + data31, 0x1E),            // write 31: the longest request
        request("8040", 0x1F),
        request("8050", 0x1F),
        request("80a0aBcD", 0x01),                 // lower-case digits
        request("80A0", 0x11),
        request("123480A0", 0x1F),                 // extra digits before the address
        request("800012", 0x01),                   // too few digits for a 2-byte write
        request("80001234", 0x00),                 // too many for a 1-byte write
        request("8000", 0x05),                     // 4 digits, a write code: nothing
        request("80000", 0x10),                    // 5 digits, a read code: nothing
        request("800", 0x1F),                      // 3 digits: nothing
        request("8000", '\r'),                     // CR is a code too
        request("8040" + data31, 0x1D),            // 66 digits, a 30-byte write code: nothing
        request(data31 + data31 + "8000", 0x1F),   // 130 digits: the last 4 count
        request(data31 + data31 + "80", 0x1E),     // 126 digits: nothing
        request("80003", 0x21),                    // set bit 3
        request("80000", 0x20),                    // clear bit 0
        request("80017", 0x21),
        request("80008", 0x21),                    // bit 8: nothing
        request("8000F", 0x20),                    // bit F: nothing
        request("8000", 0x1F),
        request("5100", 0x22),                     // port out
        request("51", 0x23),                       // port in
        request("517", 0x25),                      // port bit high
        request("512", 0x25),
        request("517", 0x24),                      // port bit low
        request("518", 0x25),                      // bit 8: nothing
        request("51", 0x23),
        request("9951A5", 0x22),                   // extra digits before port and value
        request("51", 0x23),
        request("5", 0x23),                        // 1 digit: nothing
        request("8000", 0x26),                     // unknown codes: nothing
        request("8000", 'G'),
        request("8000", static_cast<char>(0xFF)),
        request("8000", 0x1F),
    };
}

TEST(Z80Firmware, AnswersEveryRequestAsTheBoardModelDoes)
{
    ScratchDirectory directory("firmware-z80");
    SimhZ80Board board(directory, directory / "tty");
    RawLine line(directory / "tty");
    sim::TargetBoard model(sim::BoardKind::Z80);
    sim::RequestDecoder decoder;

    for (const std::string& bytes : requests()) {
        std::string expected;
        for (char byte : bytes) {
            const auto decoded = decoder.feed(static_cast<std::uint8_t>(byte));
            const auto reply = decoded ? model.answer(*decoded) : std::nullopt;
            if (reply)
                expected += *reply + '\r';
        }
        line.send(bytes);
        // A request without a reply is checked by the next one: a stray
        // reply would come before the expected one.
        const int ends = static_cast<int>(std::count(expected.begin(), expected.end(), '\r'));
        if (ends > 0) {
            EXPECT_EQ(shown(line.replies(ends)), shown(expected)) << "request " << shown(bytes);
        }
    }
}

}  // namespace
