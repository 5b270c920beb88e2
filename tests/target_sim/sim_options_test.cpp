#include <gtest/gtest.h>

#include "tools/target-sim/sim_options.h"

namespace sim {
namespace {

std::optional<SimOptions> parse(std::vector<std::string> args, std::string* error_out = nullptr)
{
    std::string error;
    auto options = parse_sim_options(args, error);
    if (error_out)
        *error_out = error;
    return options;
}

TEST(SimOptions, DefaultsAreAPacedZ80BoardAt9600)
{
    auto options = parse({});
    ASSERT_TRUE(options);
    EXPECT_EQ(options->board, BoardKind::Z80);
    EXPECT_TRUE(options->paced);
    // 10 bits a character at 9600 bit/s; 9 bits with 7 data bits.
    EXPECT_EQ(options->byte_time().count(), 1'041'666);
    options->data_bits = 7;
    EXPECT_EQ(options->byte_time().count(), 937'500);
    options->paced = false;
    EXPECT_EQ(options->byte_time().count(), 0);
}

TEST(SimOptions, ParsesEveryOption)
{
    auto options = parse({"--board", "pic", "--baud", "19200", "--data-bits", "7", "--change", "8000:-3:250",
                          "--change", "10:1:5", "--fill", "1230=00FFa5", "--fault", "late:40", "--fault", "short",
                          "--fault", "garbage", "--fault", "silent", "--fault", "unplug:1500:2000", "--faulty-address", "90a", "--hangup-after", "3", "--log", "l.txt",
                          "--link", "/tmp/x", "--exit-on-stdin-eof", "--unpaced"});
    ASSERT_TRUE(options);
    EXPECT_EQ(options->board, BoardKind::Pic);
    EXPECT_EQ(options->baud, 19200u);
    EXPECT_EQ(options->data_bits, 7);
    ASSERT_EQ(options->changes.size(), 2u);
    EXPECT_EQ(options->changes[0].address, 0x8000u);
    EXPECT_EQ(options->changes[0].step, -3);
    EXPECT_EQ(options->changes[0].period.count(), 250);
    ASSERT_EQ(options->fills.size(), 1u);
    EXPECT_EQ(options->fills[0].address, 0x1230u);
    EXPECT_EQ(options->fills[0].bytes, (std::vector<std::uint8_t>{0x00, 0xFF, 0xA5}));
    EXPECT_EQ(options->faults.late.count(), 40);
    EXPECT_TRUE(options->faults.short_reply && options->faults.garbage && options->faults.silent);
    EXPECT_EQ(options->faults.hangup_after, 3u);
    EXPECT_EQ(options->faults.faulty_address, "90a");
    ASSERT_TRUE(options->faults.unplug);
    EXPECT_EQ(options->faults.unplug->after.count(), 1500);
    EXPECT_EQ(options->faults.unplug->down.count(), 2000);
    EXPECT_EQ(options->log_path, "l.txt");
    EXPECT_EQ(options->link_path, "/tmp/x");
    EXPECT_TRUE(options->exit_on_stdin_eof);
    EXPECT_FALSE(options->paced);
}

TEST(SimOptions, TakesValuesAfterAnEqualsSignAndUniquePrefixes)
{
    auto options = parse({"--fill=0010=5A", "--fault=unplug:700:1500:50", "--unplug-decoy", "--board=pic",
                          "--hang", "9", "--unpa"});
    ASSERT_TRUE(options);
    ASSERT_EQ(options->fills.size(), 1u);
    EXPECT_EQ(options->fills[0].address, 0x10u);
    EXPECT_EQ(options->fills[0].bytes, (std::vector<std::uint8_t>{0x5A}));
    ASSERT_TRUE(options->faults.unplug);
    EXPECT_EQ(options->faults.unplug->times, 50u);
    EXPECT_TRUE(options->faults.unplug->decoy);
    EXPECT_EQ(options->board, BoardKind::Pic);
    EXPECT_EQ(options->faults.hangup_after, 9u);
    EXPECT_FALSE(options->paced);
    EXPECT_TRUE(parse({"-h"})->help);
}

TEST(SimOptions, RefusesMalformedValues)
{
    for (const auto& args : std::vector<std::vector<std::string>>{
             {"--board", "6502"}, {"--baud", "0"}, {"--baud"}, {"--data-bits", "6"},
             {"--change", "8000:1"}, {"--change", "8000:1:0"}, {"--change", "XYZ:1:5"},
             {"--fill", "8000=ABC"}, {"--fill", "8000"}, {"--fault", "late:"}, {"--fault", "sometimes"}, {"--fault", "unplug:100"}, {"--fault", "unplug:x:5"}, {"--faulty-address", "9G"},
             {"--hangup-after", "-1"}, {"--log"}, {"--frobnicate"},
             {"--un"},                                // --unpaced or --unplug-decoy
             {"--unplug-decoy"},                      // without an unplug fault
             {"--unpaced", "stray"}, {"--fault=unplug:1:2:0"}}) {
        std::string error;
        EXPECT_FALSE(parse(args, &error)) << args[0];
        EXPECT_FALSE(error.empty());
    }
}

}  // namespace
}  // namespace sim
