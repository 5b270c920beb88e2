#include <gtest/gtest.h>

#include <string>

#include "tools/target-sim/hex_text.h"
#include "tools/target-sim/reply_fault.h"
#include "tools/target-sim/request_decoder.h"
#include "tools/target-sim/target_board.h"

namespace sim {
namespace {

std::optional<std::string> ask(TargetBoard& board, std::string digits, std::uint8_t code)
{
    return board.answer(BoardRequest{std::move(digits), code});
}

TEST(RequestDecoder, DigitsCollectUntilAnyOtherByteClosesTheRequest)
{
    RequestDecoder decoder;
    for (char c : std::string("8000"))
        EXPECT_FALSE(decoder.feed(static_cast<std::uint8_t>(c)));
    auto request = decoder.feed(0x1F);
    ASSERT_TRUE(request);
    EXPECT_EQ(request->digits, "8000");
    EXPECT_EQ(request->code, 0x1F);
    EXPECT_TRUE(decoder.pending_digits().empty());

    // Lower-case digits are digits; a CR or a "G" is a command code.
    for (char c : std::string("ab"))
        EXPECT_FALSE(decoder.feed(static_cast<std::uint8_t>(c)));
    request = decoder.feed('G');
    ASSERT_TRUE(request);
    EXPECT_EQ(request->digits, "ab");
    EXPECT_EQ(request->code, 'G');

    // A code byte on its own is a request without digits.
    request = decoder.feed(0x00);
    ASSERT_TRUE(request);
    EXPECT_TRUE(request->digits.empty());
}

TEST(RequestDecoder, KeepsOnlyTheNewestDigitsOfAnEndlessRun)
{
    RequestDecoder decoder;
    for (std::size_t i = 0; i < RequestDecoder::kMaxDigits + 10; ++i)
        decoder.feed('0');
    for (char c : std::string("1234"))
        decoder.feed(static_cast<std::uint8_t>(c));
    EXPECT_EQ(decoder.pending_digits().size(), RequestDecoder::kMaxDigits);
    EXPECT_TRUE(decoder.pending_digits().ends_with("1234"));
}

TEST(Z80Board, ReadsSixteenOrCountedBytesLowestAddressFirst)
{
    TargetBoard board(BoardKind::Z80);
    EXPECT_EQ(board.memory_size(), 0x10000u);
    for (int i = 0; i < 16; ++i)
        board.poke(0x1230 + i, static_cast<std::uint8_t>(0xA0 + i));
    EXPECT_EQ(ask(board, "1230", 0x1F), "A0A1A2A3A4A5A6A7A8A9AAABACADAEAF");
    EXPECT_EQ(ask(board, "1230", 0x10), "A0");
    EXPECT_EQ(ask(board, "1230", 0x13), "A0A1A2A3");
    EXPECT_EQ(ask(board, "1230", 0x1E), "A0A1A2A3A4A5A6A7A8A9AAABACADAE");
    EXPECT_EQ(ask(board, "1a3f", 0x10), ask(board, "1A3F", 0x10));
}

TEST(Z80Board, ReadAndWriteWrapAroundTheTopOfMemory)
{
    TargetBoard board(BoardKind::Z80);
    EXPECT_EQ(ask(board, "FFFFAABB", 0x01), "AABB");
    EXPECT_EQ(board.peek(0xFFFF), 0xAA);
    EXPECT_EQ(board.peek(0x0000), 0xBB);
    EXPECT_EQ(ask(board, "FFFF", 0x11), "AABB");
}

TEST(Z80Board, WriteCodeCountsBytesAndRepliesWithTheReadBack)
{
    TargetBoard board(BoardKind::Z80);
    EXPECT_EQ(ask(board, "100041", 0x00), "41");
    EXPECT_EQ(board.peek(0x1000), 0x41);
    // Code 10 with 4 + 2*17 digits writes 17 bytes; with 4 digits it reads 1.
    std::string data;
    for (int i = 0; i < 17; ++i)
        data += "5A";
    EXPECT_EQ(ask(board, "2000" + data, 0x10), data);
    EXPECT_EQ(board.peek(0x2010), 0x5A);
    EXPECT_EQ(board.peek(0x2011), 0x00);
    // A count that fits neither form is not answered and writes nothing.
    EXPECT_FALSE(ask(board, "300011", 0x01));
    EXPECT_FALSE(ask(board, "3000", 0x05));
    EXPECT_EQ(board.peek(0x3000), 0x00);
}

TEST(Z80Board, MemoryBitOperationsChangeOneBitAndRefuseBitsAboveSeven)
{
    TargetBoard board(BoardKind::Z80);
    board.poke(0x1234, 0x0F);
    EXPECT_EQ(ask(board, "12347", 0x21), "8F");
    EXPECT_EQ(ask(board, "12340", 0x20), "8E");
    EXPECT_EQ(board.peek(0x1234), 0x8E);
    EXPECT_FALSE(ask(board, "12348", 0x21));
    EXPECT_EQ(board.peek(0x1234), 0x8E);
}

TEST(Z80Board, PortsOutputInputAndSingleBits)
{
    TargetBoard board(BoardKind::Z80);
    EXPECT_EQ(ask(board, "3F", 0x23), "00");
    EXPECT_EQ(ask(board, "3F55", 0x22), "55");
    EXPECT_EQ(ask(board, "3F", 0x23), "55");
    EXPECT_EQ(ask(board, "3F7", 0x25), "D5");
    EXPECT_EQ(ask(board, "3F0", 0x24), "D4");
    EXPECT_EQ(board.port(0x3F), 0xD4);
    EXPECT_FALSE(ask(board, "3F9", 0x25));
}

TEST(Z80Board, FixedLengthCodesTakeTheLastDigitsAndNeedEnough)
{
    TargetBoard board(BoardKind::Z80);
    EXPECT_EQ(ask(board, "123456", 0x22), "56");  // port 34 gets 56
    EXPECT_EQ(board.port(0x34), 0x56);
    EXPECT_FALSE(ask(board, "3", 0x23));
    EXPECT_FALSE(ask(board, "123", 0x1F));
    EXPECT_FALSE(ask(board, "1234", 0x26));  // unknown code
    EXPECT_FALSE(ask(board, "1234", '\r'));
}

TEST(PicBoard, HasHalfAKilobyteOfMemoryAndNoPorts)
{
    TargetBoard board(BoardKind::Pic);
    EXPECT_EQ(board.memory_size(), 0x200u);
    board.poke(0x1FF, 0x12);
    board.poke(0x000, 0x34);
    EXPECT_EQ(ask(board, "01FF", 0x11), "1234");
    EXPECT_EQ(ask(board, "0100AB", 0x00), "AB");
    EXPECT_EQ(ask(board, "0300", 0x10), "AB");  // 0x300 wraps to 0x100
    EXPECT_EQ(ask(board, "01003", 0x21), "AB");
    EXPECT_EQ(ask(board, "01002", 0x21), "AF");
    EXPECT_FALSE(ask(board, "3F", 0x23));
    EXPECT_FALSE(ask(board, "3F55", 0x22));
    EXPECT_FALSE(ask(board, "3F1", 0x25));
}

TEST(ReplyFault, ShortHalvesAndGarbageKeepsLengthWithoutHexDigits)
{
    FaultOptions faults;
    faults.short_reply = true;
    EXPECT_EQ(spoil_reply("00112233", faults), "0011");
    faults = {};
    faults.garbage = true;
    const std::string spoiled = spoil_reply("0123456789ABCDEF", faults);
    ASSERT_EQ(spoiled.size(), 16u);
    for (char c : spoiled) {
        EXPECT_GE(static_cast<unsigned char>(c), 0x30);
        EXPECT_FALSE(is_hex_digit(c)) << c;
    }
    EXPECT_EQ(spoil_reply("AB", FaultOptions{}), "AB");
}

}  // namespace
}  // namespace sim
