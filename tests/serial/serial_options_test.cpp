// The options text grammar, the program defaults, the error word mapping and
// the poll pacing, without a port.
#include <gtest/gtest.h>

#include "runtime/serial/serial_line_defaults.h"
#include "runtime/serial/serial_line_errors.h"
#include "runtime/serial/serial_options.h"
#include "runtime/serial/serial_poll_pacer.h"

using namespace std::chrono_literals;
using host::SerialLineSettings;
using rt::SerialOptions;

namespace {

struct Parsed {
    bool ok;
    SerialLineSettings s;
    SerialOptions o;
};

Parsed parse(std::string_view text, SerialLineSettings s = {}, SerialOptions o = {})
{
    bool ok = rt::apply_serial_options(text, s, o);
    return {ok, s, o};
}

}  // namespace

TEST(SerialOptionNumber, DigitsOnlyWithMinusOneAndMinusTwo)
{
    EXPECT_EQ(rt::read_option_number("8192"), 8192);
    EXPECT_EQ(rt::read_option_number("0"), 0);
    EXPECT_EQ(rt::read_option_number(""), -1);
    EXPECT_EQ(rt::read_option_number("12a"), -1);
    EXPECT_EQ(rt::read_option_number("-5"), -1);
    EXPECT_EQ(rt::read_option_number(" 5"), -1);
    EXPECT_EQ(rt::read_option_number("2147483647"), 2147483647);
    EXPECT_EQ(rt::read_option_number("2147483648"), -2);
    EXPECT_EQ(rt::read_option_number("99999999999999999999999"), -2);
}

TEST(SerialOptionsFormat, EachPositionSetsItsMember)
{
    SerialLineSettings start;
    start.fOutX = start.fInX = true;
    auto p = parse("s7o2n8", start);
    ASSERT_TRUE(p.ok);
    EXPECT_EQ(p.s.ByteSize, 7);
    EXPECT_EQ(p.o.data_bits, 7);
    EXPECT_EQ(p.s.Parity, host::serial_parity::kOdd);
    EXPECT_TRUE(p.s.fParity);
    EXPECT_EQ(p.s.StopBits, host::serial_stop_bits::kTwo);
    EXPECT_FALSE(p.s.fOutX);
    EXPECT_FALSE(p.s.fInX);
    EXPECT_EQ(p.o.character_width, 8);

    for (auto [letter, parity] : {std::pair{'N', 0}, {'O', 1}, {'E', 2}, {'M', 3}, {'S', 4}}) {
        auto q = parse(std::string("S8") + letter);
        ASSERT_TRUE(q.ok);
        EXPECT_EQ(q.s.Parity, parity);
        EXPECT_TRUE(q.s.fParity) << "parity letter " << letter << " switches checking on";
    }
    auto x = parse("F8N1X");
    ASSERT_TRUE(x.ok);
    EXPECT_TRUE(x.s.fOutX && x.s.fInX);
    EXPECT_EQ(x.s.XonChar, 0x11);
    EXPECT_EQ(x.s.XoffChar, 0x13);

    auto e = parse("X8N1N8EE");
    ASSERT_TRUE(e.ok);
    EXPECT_EQ(e.s.fRtsControl, host::serial_control::kHandshake);
    EXPECT_TRUE(e.s.fOutxCtsFlow);
    EXPECT_EQ(e.s.fDtrControl, host::serial_control::kHandshake);
    EXPECT_TRUE(e.s.fOutxDsrFlow);
}

TEST(SerialOptionsFormat, AbsentPositionsKeepDefaultsButSevenAndEightSwitchFlowOff)
{
    SerialLineSettings start;
    start.ByteSize = 7;
    start.Parity = 2;
    start.fParity = true;
    start.StopBits = 2;
    start.fOutX = start.fInX = true;
    start.fOutxCtsFlow = start.fOutxDsrFlow = true;
    start.fRtsControl = start.fDtrControl = host::serial_control::kHandshake;
    start.fErrorChar = true;
    SerialOptions o;
    o.character_width = 7;
    auto p = parse("S", start, o);
    ASSERT_TRUE(p.ok);
    EXPECT_EQ(p.s.ByteSize, 7);
    EXPECT_EQ(p.s.Parity, 2);
    EXPECT_EQ(p.s.StopBits, 2);
    EXPECT_TRUE(p.s.fOutX);
    EXPECT_TRUE(p.s.fErrorChar);
    EXPECT_EQ(p.o.character_width, 7);
    EXPECT_FALSE(p.s.fOutxCtsFlow);
    EXPECT_FALSE(p.s.fOutxDsrFlow);
    EXPECT_EQ(p.s.fRtsControl, host::serial_control::kEnable);
    EXPECT_EQ(p.s.fDtrControl, host::serial_control::kEnable);

    auto empty = parse("", start, o);  // "com0:" without options
    ASSERT_TRUE(empty.ok);
    EXPECT_EQ(empty.s.ByteSize, 7);
    EXPECT_FALSE(empty.s.fOutxCtsFlow);
}

TEST(SerialOptionsFormat, NinthPositionErrorCharacter)
{
    SerialLineSettings start;
    start.fErrorChar = true;
    auto n = parse("S8E1N8NNN", start);
    ASSERT_TRUE(n.ok);
    EXPECT_FALSE(n.s.fErrorChar);
    EXPECT_TRUE(n.s.fParity);
    auto q = parse("S8E1N8NN?");
    ASSERT_TRUE(q.ok);
    EXPECT_TRUE(q.s.fErrorChar);
    EXPECT_EQ(q.s.ErrorChar, '?');
    EXPECT_FALSE(q.s.fParity) << "an error character switches parity checking off";
    auto lower = parse("s8e1n8nnz");
    EXPECT_EQ(lower.s.ErrorChar, 'Z') << "the text is upper-cased first";
}

TEST(SerialOptionsFormat, RefusedFormats)
{
    for (const char* bad : {"S9N1", "S8N1Q", "Q8N1", "S3", "S8Z", "S8N3", "S8N1Y", "S8N1N9", "S8N1N8Q",
                            "S8N1N8NQ", "S8N1N8NNNABC"}) {
        EXPECT_FALSE(parse(bad).ok) << bad;
    }
    EXPECT_TRUE(parse("S8N1N8NNNAB").ok) << "positions 10 and 11 take anything";
    EXPECT_TRUE(parse("S8N1N8NNN12").ok);
    EXPECT_TRUE(parse(",RB8192").ok) << "an empty format leaves every position absent";
}

TEST(SerialOptionsKeys, KeyedValuesWithTheNumberReadersResults)
{
    auto p = parse("s8n1n8,RB8192");
    ASSERT_TRUE(p.ok);
    EXPECT_EQ(p.o.RB, 8192);
    EXPECT_EQ(p.o.SB, 2048);
    EXPECT_EQ(p.o.CS, 0u);
    EXPECT_EQ(p.o.RD, 0u);

    auto all = parse("S8N1N8,cs100,ds200,sb300,rb400,sd500,rd600,XY7");
    ASSERT_TRUE(all.ok);
    EXPECT_EQ(all.o.CS, 100u);
    EXPECT_EQ(all.o.DS, 200u);
    EXPECT_EQ(all.o.SB, 300);
    EXPECT_EQ(all.o.RB, 400);
    EXPECT_EQ(all.o.SD, 500u);
    EXPECT_EQ(all.o.RD, 600u);

    auto empty = parse("S8,RB,CS");
    EXPECT_EQ(empty.o.RB, -1);
    EXPECT_EQ(empty.o.CS, 0xFFFFFFFFu);
    auto huge = parse("S8,RD99999999999");
    EXPECT_EQ(huge.o.RD, 0xFFFFFFFEu);
    auto first = parse("S8,RB10,RB20");
    EXPECT_EQ(first.o.RB, 10) << "the first occurrence counts";
    auto unkeyed = parse("S8,XRB5");
    EXPECT_EQ(unkeyed.o.RB, 2048);
}

TEST(SerialOptionsKeys, UpperAndLowerCaseGiveTheSameResult)
{
    auto upper = parse("S8N1N8,RB8192,RD5000");
    auto lower = parse("s8n1n8,rb8192,rd5000");
    ASSERT_TRUE(upper.ok && lower.ok);
    EXPECT_EQ(upper.s, lower.s);
    EXPECT_EQ(upper.o.RB, lower.o.RB);
    EXPECT_EQ(upper.o.RD, lower.o.RD);
}

TEST(SerialDefaults, ProgramOptionRecordGives1200EightNoneTwoWithXonXoff)
{
    rt::SerialConfig config{rt::ProgramOptions{}};
    SerialLineSettings s;
    SerialOptions o;
    rt::apply_serial_defaults(config, 0, s, o);
    EXPECT_EQ(s.BaudRate, 1200u);
    EXPECT_EQ(s.ByteSize, 8);
    EXPECT_EQ(o.data_bits, 8);
    EXPECT_EQ(o.character_width, 8);
    EXPECT_EQ(s.Parity, 0);
    EXPECT_FALSE(s.fParity);
    EXPECT_EQ(s.StopBits, 2);
    EXPECT_TRUE(s.fOutX && s.fInX);
    EXPECT_EQ(s.XonChar, 0x11);
    EXPECT_EQ(s.XoffChar, 0x13);
    EXPECT_FALSE(s.fErrorChar);
}

TEST(SerialDefaults, LineFormatWordSpeedTableAndSystemSpeed)
{
    rt::ProgramOptions options;
    options.line_format[1] = 0x0006;  // 7 bits, even parity, one stop bit, width 7
    options.speed_code[1] = 3;
    options.error_char_enabled = true;
    rt::SerialConfig config{options};
    SerialLineSettings s;
    SerialOptions o;
    rt::apply_serial_defaults(config, 1, s, o);
    EXPECT_EQ(s.BaudRate, 2400u);
    EXPECT_EQ(s.ByteSize, 7);
    EXPECT_EQ(s.Parity, host::serial_parity::kEven);
    EXPECT_FALSE(s.fParity) << "the error character switches parity checking off";
    EXPECT_TRUE(s.fErrorChar);
    EXPECT_EQ(s.ErrorChar, '?');
    EXPECT_EQ(s.StopBits, 0);
    EXPECT_EQ(o.character_width, 7);

    config.speed_table[1] = 9600;
    EXPECT_EQ(rt::serial_default_speed(config, 1), 9600u);
    config.speed_code[2] = rt::kSpeedCodeFromTable;
    EXPECT_EQ(rt::serial_default_speed(config, 2), 0u) << "no usable speed";

    config.options.use_system_port_speed = true;
    config.ports.set_profile([](std::string_view key) -> std::optional<std::string> {
        return key == "COM2:" ? std::optional<std::string>("19200") : std::nullopt;
    });
    EXPECT_EQ(rt::serial_default_speed(config, 1), 19200u);
    EXPECT_EQ(rt::serial_default_speed(config, 0), 9600u);
}

TEST(SerialErrorWord, MappedAsAWhole)
{
    EXPECT_EQ(rt::map_serial_error_word(0, true), 0);
    EXPECT_EQ(rt::map_serial_error_word(0x0001, false), 61);
    EXPECT_EQ(rt::map_serial_error_word(0x0002, false), 53);
    EXPECT_EQ(rt::map_serial_error_word(0x0004, true), 53);
    EXPECT_EQ(rt::map_serial_error_word(0x0004, false), 0);
    EXPECT_EQ(rt::map_serial_error_word(0x0008, false), 53);
    EXPECT_EQ(rt::map_serial_error_word(0x0100, false), 61);
    EXPECT_EQ(rt::map_serial_error_word(0x0400, false), 53);
    EXPECT_EQ(rt::map_serial_error_word(0x0800, false), 60);
    EXPECT_EQ(rt::map_serial_error_word(0x1000, false), 60);
    EXPECT_EQ(rt::map_serial_error_word(0x0010, false), 27);
    EXPECT_EQ(rt::map_serial_error_word(0x0009, false), 27) << "several bits together";
}

TEST(SerialPollPacer, EmptyChecksAverageOneSliceWhateverEachSleepLasts)
{
    // A silent line: every wait runs to its limit and oversleeps by 60 us, as
    // a sleep on this host does.
    rt::SerialPollPacer pacer;
    std::chrono::steady_clock::duration elapsed{};
    int waits = 0;
    for (int i = 0; i < 130000; ++i) {
        if (pacer.take_owed_check())
            continue;
        ++waits;
        const auto lasted = rt::kSerialPollWaitQuantum + 60us;
        elapsed += lasted;
        pacer.waited(lasted, false);
    }
    EXPECT_GE(elapsed, 1290ms);
    EXPECT_LE(elapsed, 1310ms);
    const int checks_per_wait = int((rt::kSerialPollWaitQuantum + 60us) / rt::kSerialPollSlice);
    EXPECT_EQ(waits, (130000 + checks_per_wait - 1) / checks_per_wait) << "one wait for each quantum's worth of checks";
}

TEST(SerialPollPacer, ByteEndedWaitsCountOnceUpToAReplysWorthAndAStretchedWaitEarnsAtMostTheMaximumLag)
{
    rt::SerialPollPacer pacer;
    EXPECT_FALSE(pacer.take_owed_check()) << "the first empty check waits";
    pacer.waited(1500us, true);
    EXPECT_FALSE(pacer.take_owed_check()) << "after a wait a byte ended, the next empty check waits again";
    pacer.waited(rt::kSerialPollSlice / 2, false);
    EXPECT_FALSE(pacer.take_owed_check()) << "a wait shorter than a slice stands for itself only";

    // A peer streaming bytes that never end a reply: after the forgiven
    // byte-ended waits, each one stands for its time again.
    for (int i = 0; i < rt::kSerialPollForgivenBytes; ++i) {
        pacer.waited(1ms, true);
        EXPECT_FALSE(pacer.take_owed_check());
    }
    pacer.waited(1ms, true);
    EXPECT_EQ(pacer.owed_checks(), 1ms / rt::kSerialPollSlice - 1);
    while (pacer.take_owed_check()) {
    }
    pacer.waited(1ms, false);  // a silent wait starts a new reply's allowance
    while (pacer.take_owed_check()) {
    }
    pacer.waited(1ms, true);
    EXPECT_FALSE(pacer.take_owed_check());

    // After a byte, the next wait is the long read wait; run out, it stands
    // for its whole time and the waits after it are quanta again.
    EXPECT_TRUE(pacer.read_wait_due());
    pacer.waited(100ms, false, 100ms);
    EXPECT_FALSE(pacer.read_wait_due());
    EXPECT_EQ(pacer.owed_checks(), 100ms / rt::kSerialPollSlice - 1);
    while (pacer.take_owed_check()) {
    }

    pacer.waited(5s, false);  // the process was stopped or starved meanwhile
    int immediate = 0;
    while (pacer.take_owed_check())
        ++immediate;
    EXPECT_EQ(immediate, (rt::kSerialPollMaxLag + rt::kSerialPollWaitQuantum) / rt::kSerialPollSlice - 1);
}
