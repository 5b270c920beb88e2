#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <unistd.h>

#include "host/front_end_choice.h"
#include "host/headless_front_end.h"

namespace {

using host::FrontEndKind;

TEST(FrontEndChoice, TakesItsOptionsAndLeavesTheRest)
{
    std::vector<std::string> arguments{"--ui", "tty", "--port", "COM1=/dev/pts/3", "extra"};
    EXPECT_EQ(host::take_front_end_options(arguments).kind, FrontEndKind::Tty);
    EXPECT_EQ(arguments, (std::vector<std::string>{"--port", "COM1=/dev/pts/3", "extra"}));

    arguments = {"--ui=sdl"};
    EXPECT_EQ(host::take_front_end_options(arguments).kind, FrontEndKind::Sdl);
    EXPECT_TRUE(arguments.empty());

    arguments = {"--script", "keys.txt"};
    const host::FrontEndChoice scripted = host::take_front_end_options(arguments);
    EXPECT_EQ(scripted.kind, FrontEndKind::Headless);
    EXPECT_EQ(scripted.script, "keys.txt");

    arguments = {};
    EXPECT_EQ(host::take_front_end_options(arguments).kind, FrontEndKind::Automatic);
}

TEST(FrontEndChoice, RejectsBadOptions)
{
    std::vector<std::string> arguments{"--ui", "x11"};
    EXPECT_THROW(host::take_front_end_options(arguments), std::invalid_argument);
    arguments = {"--ui"};
    EXPECT_THROW(host::take_front_end_options(arguments), std::invalid_argument);
    arguments = {"--ui", "tty", "--script", "k.txt"};
    EXPECT_THROW(host::take_front_end_options(arguments), std::invalid_argument);
    EXPECT_NE(host::front_end_help().find("--ui sdl|tty|headless"), std::string::npos);
}

TEST(FrontEndChoice, DefaultFollowsTheEnvironment)
{
    EXPECT_EQ(host::default_front_end_kind(true, true), FrontEndKind::Sdl);
    EXPECT_EQ(host::default_front_end_kind(false, true), FrontEndKind::Tty);
    EXPECT_EQ(host::default_front_end_kind(false, false), FrontEndKind::Headless);
}

TEST(FrontEndChoice, HeadlessWithAScriptFile)
{
    const auto path = std::filesystem::temp_directory_path() / "qk_choice_script.txt";
    std::ofstream(path) << "key F1\n";
    host::FrontEndChoice choice;
    choice.kind = FrontEndKind::Headless;
    choice.script = path.string();
    const auto front_end = host::make_front_end(choice);
    auto* headless = dynamic_cast<host::HeadlessFrontEnd*>(front_end.get());
    ASSERT_NE(headless, nullptr);
    EXPECT_FALSE(headless->script_finished());
    std::filesystem::remove(path);
    choice.script = path.string();
    EXPECT_THROW(host::make_front_end(choice), std::runtime_error);  // the file is gone
    std::ofstream(path) << "key NoSuchKey\n";
    EXPECT_THROW(host::make_front_end(choice), host::InputScriptError);
    std::filesystem::remove(path);
}

TEST(FrontEndChoice, ExplicitTerminalNeedsATerminal)
{
    if (isatty(0) && isatty(1))
        GTEST_SKIP() << "running in a terminal";
    host::FrontEndChoice choice;
    choice.kind = FrontEndKind::Tty;
    EXPECT_THROW(host::make_front_end(choice), std::runtime_error);
}

}  // namespace
