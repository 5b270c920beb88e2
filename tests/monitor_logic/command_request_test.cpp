#include <gtest/gtest.h>

#include "monitors/monitor_shared/command_request.h"
#include "monitors/qk14/board_description.h"
#include "monitors/qkp877w/board_description.h"

namespace monitor {
namespace {

using Kind = CommandOutcome::Kind;

CommandOutcome qk14(std::string_view line) { return prepare_command(line, qk14::kBoard); }
CommandOutcome pic(std::string_view line) { return prepare_command(line, qkp877w::kBoard); }

std::string repeat(std::string_view text, int times)
{
    std::string result;
    for (int i = 0; i < times; ++i)
        result += text;
    return result;
}

std::string sent(const CommandOutcome& outcome)
{
    EXPECT_EQ(outcome.kind, Kind::Send);
    return outcome.request;
}

TEST(Qk14Command, ExactWireBytesOfEachLetter)
{
    EXPECT_EQ(sent(qk14("R8000")), std::string("8000\x1F"));
    EXPECT_EQ(sent(qk14("S12347")), std::string("12347\x21"));
    EXPECT_EQ(sent(qk14("C12340")), std::string("12340\x20"));
    EXPECT_EQ(sent(qk14("I3F")), std::string("3F\x23"));
    EXPECT_EQ(sent(qk14("O3F5A")), std::string("3F5A\x22"));
    EXPECT_EQ(sent(qk14("H3F7")), std::string("3F7\x25"));
    EXPECT_EQ(sent(qk14("L3F0")), std::string("3F0\x24"));
    EXPECT_EQ(sent(qk14("W100041")), std::string("100041\x00", 7));
    EXPECT_EQ(sent(qk14("W1000:AB")), std::string("10004142\x01"));
}

TEST(Qk14Command, LowerCaseIsUpperCasedBeforeSending)
{
    EXPECT_EQ(sent(qk14("r1234")), sent(qk14("R1234")));
    EXPECT_EQ(qk14("r1234").command_line, "R1234");
    // w1000:ab: the text is upper-cased first, so it sends 41 42.
    EXPECT_EQ(sent(qk14("w1000:ab")), std::string("10004142\x01"));
    EXPECT_EQ(sent(qk14("iab")), std::string("AB\x23"));
}

TEST(Qk14Command, LengthRulesPerLetter)
{
    EXPECT_EQ(qk14("R12345").kind, Kind::Refused);
    EXPECT_EQ(qk14("R123").kind, Kind::Refused);
    EXPECT_EQ(qk14("I3").kind, Kind::Refused);
    EXPECT_EQ(qk14("O3F5").kind, Kind::Refused);
    EXPECT_EQ(qk14("S1234").kind, Kind::Refused);
    EXPECT_EQ(qk14("H3F").kind, Kind::Refused);
    EXPECT_EQ(qk14("W1000").kind, Kind::Refused);  // no data
}

TEST(Qk14Command, BitNumberAboveSevenIsRefused)
{
    EXPECT_EQ(qk14("S10008").kind, Kind::Refused);
    EXPECT_EQ(sent(qk14("S10007")), std::string("10007\x21"));
    EXPECT_EQ(qk14("CFFFFF").kind, Kind::Refused);
    EXPECT_EQ(qk14("H3F9").kind, Kind::Refused);
    EXPECT_EQ(qk14("L3FA").kind, Kind::Refused);
}

TEST(Qk14Command, WriteDataMustBeWholeBytes)
{
    EXPECT_EQ(qk14("W1000414").kind, Kind::Refused);
    // 16 bytes in hexadecimal form is the most a 37-byte line holds: code 0F.
    const std::string sixteen = "W1000" + std::string(32, 'A');
    ASSERT_EQ(sixteen.size(), 37u);
    EXPECT_EQ(sent(qk14(sixteen)).back(), '\x0F');
    // 31 bytes in text form: code 1E.
    const std::string text = "W1000:" + std::string(31, 'z');
    EXPECT_EQ(sent(qk14(text)), "1000" + repeat("5A", 31) + "\x1E");
}

TEST(Qk14Command, WriteTextForm)
{
    EXPECT_EQ(qk14("W1000:").kind, Kind::Refused);
    EXPECT_EQ(sent(qk14("W1000:Z")), std::string("10005A\x00", 7));
    EXPECT_EQ(sent(qk14("W1000:,:")), std::string("10002C3A\x01"));
    // The address is still checked.
    EXPECT_EQ(qk14("W10G0:AB").kind, Kind::Refused);
}

TEST(Qk14Command, TheThirtyEighthByteIsNeverPartOfTheCommand)
{
    const std::string line = "W1000" + std::string(32, '1') + "X";
    EXPECT_EQ(sent(qk14(line)).size(), 37u);
    EXPECT_EQ(qk14(line).command_line.size(), 37u);
}

TEST(Qk14Command, RefusesEmptyLinesLoneLettersAndNonHexArguments)
{
    EXPECT_EQ(qk14("").kind, Kind::Refused);
    EXPECT_EQ(qk14("R").kind, Kind::Refused);
    EXPECT_EQ(qk14("X").kind, Kind::Refused);
    EXPECT_EQ(qk14("R80G0").kind, Kind::Refused);
    EXPECT_EQ(qk14("R 800").kind, Kind::Refused);
    // Editing keys that are not editing keys here arrive as bytes.
    EXPECT_EQ(qk14(std::string("R800") + '\x1D').kind, Kind::Refused);
    EXPECT_EQ(qk14("\x82\xa0" "12").kind, Kind::Refused);
}

TEST(Qk14Command, JumpUsesTheFirstTwoDigits)
{
    EXPECT_EQ(qk14("J12").kind, Kind::Jump);
    EXPECT_EQ(qk14("J12").dump_base, 0x1200);
    EXPECT_EQ(qk14("J1234").dump_base, 0x1200);
    EXPECT_EQ(qk14("jff").dump_base, 0xFF00);
    EXPECT_EQ(qk14("J1").kind, Kind::Refused);
    EXPECT_EQ(qk14("J123").kind, Kind::Refused);
}

TEST(Qk14Command, UnknownLetterWithHexArgumentsSendsNothingButWaits)
{
    const auto outcome = qk14("X12");
    EXPECT_EQ(outcome.kind, Kind::NoRequest);
    EXPECT_TRUE(outcome.request.empty());
}

TEST(QkP877WCommand, MinimumLengthsAndAllDigitsSent)
{
    EXPECT_EQ(sent(pic("O1234")), std::string("1234\x22"));
    EXPECT_EQ(sent(pic("O123456")), std::string("123456\x22"));
    EXPECT_EQ(pic("O12").kind, Kind::Refused);
    EXPECT_EQ(sent(pic("S10008")), std::string("10008\x21"));
    EXPECT_EQ(pic("R12345").kind, Kind::Refused);
    EXPECT_EQ(sent(pic("R1234")), std::string("1234\x1F"));
    EXPECT_EQ(sent(pic("w0100:a")), std::string("010041\x00", 7));
    EXPECT_EQ(pic("J12").kind, Kind::NoRequest);
    EXPECT_EQ(pic("").kind, Kind::Refused);
    EXPECT_EQ(pic(std::string("R123") + '\x1B').kind, Kind::Refused);  // Esc typed into the line
}

}  // namespace
}  // namespace monitor
