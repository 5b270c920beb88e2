#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>
#include <unistd.h>

#include "host/front_end_choice.h"
#include "host/headless_front_end.h"
#include "host/program_arguments.h"

namespace {

using host::FrontEndKind;

// Parses a command line given as words after the program name.
host::ProgramArguments parse(std::vector<std::string> words)
{
    words.insert(words.begin(), "qk14");
    std::vector<char*> argv;
    for (std::string& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    return host::parse_program_arguments(int(words.size()), argv.data());
}

TEST(ProgramArguments, EveryOptionLandsInTheRecord)
{
    const host::ProgramArguments all =
        parse({"--ui", "sdl", "--scale=3", "--port", "COM2=/dev/pts/3", "--port=/dev/ttyUSB0", "--no-reconnect",
               "--trace", "wire.txt", "-hV", "--list-ports"});
    EXPECT_EQ(all.program_path, "qk14");
    EXPECT_EQ(all.front_end.kind, FrontEndKind::Sdl);
    EXPECT_EQ(all.front_end.scale, 3);
    ASSERT_EQ(all.ports.size(), 2u);
    EXPECT_EQ(all.ports[0].number, 2u);
    EXPECT_EQ(all.ports[0].path, "/dev/pts/3");
    EXPECT_FALSE(all.ports[1].number);
    EXPECT_EQ(all.ports[1].path, "/dev/ttyUSB0");
    EXPECT_FALSE(all.reconnect);
    EXPECT_EQ(all.trace, "wire.txt");
    EXPECT_TRUE(all.help && all.version && all.list_ports);

    const host::ProgramArguments none = parse({});
    EXPECT_EQ(none.front_end.kind, FrontEndKind::Automatic);
    EXPECT_TRUE(none.reconnect);
    EXPECT_FALSE(none.help || none.version || none.list_ports || none.trace || none.front_end.scale);

    const host::ProgramArguments scripted = parse({"--script", "keys.txt"});
    EXPECT_EQ(scripted.front_end.kind, FrontEndKind::Headless);
    EXPECT_EQ(scripted.front_end.script, "keys.txt");
    EXPECT_EQ(parse({"--ui=tty"}).front_end.kind, FrontEndKind::Tty);
    EXPECT_EQ(parse({"--ui", "headless", "--script", "-"}).front_end.script, "-");
}

TEST(ProgramArguments, UsageErrorsNameTheOffendingArgument)
{
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases{
        {{"--ui", "x11"}, "x11"},
        {{"--ui"}, "--ui"},
        {{"--ui", "tty", "--script", "k.txt"}, "--script"},
        {{"--scale", "0"}, "--scale"},
        {{"--scale", "2x"}, "2x"},
        {{"--ui", "tty", "--scale", "2"}, "--scale"},
        {{"--port", "COM0=/dev/x"}, "COM0=/dev/x"},
        {{"--port", "com256=/dev/x"}, "com256=/dev/x"},
        {{"--port="}, "--port"},
        {{"--colour"}, "--colour"},
        {{"-x"}, "-x"},
        {{"extra"}, "extra"},
    };
    for (const auto& [words, named] : cases) {
        try {
            parse(words);
            ADD_FAILURE() << "accepted: " << words.front();
        } catch (const host::UsageError& e) {
            EXPECT_NE(std::string(e.what()).find(named), std::string::npos) << e.what();
        }
    }
}

TEST(ProgramArguments, AScriptedRunKeepsItsCommandsInOrderAndRunsWithoutAScreen)
{
    const host::ProgramArguments commands =
        parse({"--exec", "R8000", "--exec-file=-", "--exec", "W80002A", "--stop-on-error", "--port", "/dev/pts/4"});
    EXPECT_EQ(commands.front_end.kind, FrontEndKind::Screenless);
    ASSERT_EQ(commands.scripted.commands.size(), 3u);
    EXPECT_FALSE(commands.scripted.commands[0].file);
    EXPECT_EQ(commands.scripted.commands[0].text, "R8000");
    EXPECT_TRUE(commands.scripted.commands[1].file);
    EXPECT_EQ(commands.scripted.commands[1].text, "-");
    EXPECT_EQ(commands.scripted.commands[2].text, "W80002A");
    EXPECT_TRUE(commands.scripted.stop_on_error);

    const host::ProgramArguments watch = parse({"--watch", "MOTOR", "--interval", "250", "--count", "0"});
    EXPECT_EQ(watch.front_end.kind, FrontEndKind::Screenless);
    EXPECT_EQ(watch.scripted.watch, "MOTOR");
    EXPECT_EQ(watch.scripted.interval, std::chrono::milliseconds(250));
    EXPECT_EQ(watch.scripted.count, 0u);
    EXPECT_EQ(parse({"--watch", "MOTOR"}).scripted.count, 1u);
    EXPECT_FALSE(parse({}).scripted.active());

    const std::vector<std::pair<std::vector<std::string>, std::string>> refused{
        {{"--exec", "R8000", "--ui", "tty"}, "without a screen"},
        {{"--watch", "M", "--script", "k.txt"}, "without a screen"},
        {{"--exec", "R8000", "--watch", "M"}, "cannot be combined"},
        {{"--interval", "100"}, "--interval needs --watch"},
        {{"--exec", "R8000", "--count", "2"}, "--count needs --watch"},
        {{"--stop-on-error", "--watch", "M"}, "--stop-on-error"},
        {{"--watch", "M", "--count", "-1"}, "-1"},
        {{"--watch", "M", "--interval", "1s"}, "1s"},
        {{"--exec-file="}, "--exec-file"},
    };
    for (const auto& [words, named] : refused) {
        try {
            parse(words);
            ADD_FAILURE() << "accepted: " << words.front() << " " << words.back();
        } catch (const host::UsageError& e) {
            EXPECT_NE(std::string(e.what()).find(named), std::string::npos) << e.what();
        }
    }
}

TEST(ProgramArguments, HelpColumnsAreAligned)
{
    const std::string help = host::program_options_help();
    std::size_t start = 0;
    int lines = 0;
    while (start < help.size()) {
        const std::size_t end = help.find('\n', start);
        const std::string line = help.substr(start, end - start);
        // Every explanation starts in the same column, after at least one blank.
        if (line.size() > 24) {
            EXPECT_EQ(line[23], ' ') << line;
            EXPECT_NE(line[24], ' ') << line;
        }
        ++lines;
        start = end + 1;
    }
    EXPECT_GE(lines, 10);
    for (const char* option : {"--help", "--version", "--ui sdl|tty|headless", "--scale N", "--script FILE",
                               "--port COMn=PATH", "--port PATH", "--no-reconnect", "--list-ports", "--trace FILE"})
        EXPECT_NE(help.find(option), std::string::npos) << option;
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
