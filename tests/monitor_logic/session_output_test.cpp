// The text of scripted sessions: command file lines, CSV fields and the
// local time stamp.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <ctime>

#include "monitors/monitor_shared/command_script.h"
#include "monitors/monitor_shared/session_output.h"

namespace {

TEST(CommandFileLines, KeepTheCommandWithoutBlanksAndSkipCommentsAndBlankLines)
{
    EXPECT_EQ(monitor::command_on_line("R8000"), "R8000");
    EXPECT_EQ(monitor::command_on_line("  W8000:a b \r"), "W8000:a b");
    EXPECT_EQ(monitor::command_on_line("W8000:#1"), "W8000:#1");  // a "#" inside a command is text
    EXPECT_FALSE(monitor::command_on_line(""));
    EXPECT_FALSE(monitor::command_on_line(" \t\r"));
    EXPECT_FALSE(monitor::command_on_line("  # set-up"));
}

TEST(CsvFields, AreQuotedOnlyWhenTheyHoldASeparatorQuoteOrLineEnd)
{
    EXPECT_EQ(monitor::csv_field("TEMP"), "TEMP");
    EXPECT_EQ(monitor::csv_field("LEVEL, raw"), "\"LEVEL, raw\"");
    EXPECT_EQ(monitor::csv_field("5\" pipe"), "\"5\"\" pipe\"");
    EXPECT_EQ(monitor::csv_field("a\nb"), "\"a\nb\"");
}

TEST(SampleTimes, AreLocalTimeWithMillisecondsAndTheOffset)
{
    const char* saved = std::getenv("TZ");
    const std::string previous = saved ? saved : "";
    ::setenv("TZ", "EST5", 1);
    ::tzset();
    // 2026-12-07 19:03:22.045 UTC
    const std::chrono::system_clock::time_point when{std::chrono::milliseconds(1796670202045)};
    EXPECT_EQ(monitor::local_time_text(when), "2026-12-07T14:03:22.045-05:00");
    if (saved)
        ::setenv("TZ", previous.c_str(), 1);
    else
        ::unsetenv("TZ");
    ::tzset();
}

}  // namespace
