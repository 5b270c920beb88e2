#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/desktop.h"
#include "runtime/console/console_records.h"
#include "runtime/console/print_statements.h"
#include "runtime/console/program_runner.h"
#include "runtime/core/frame.h"
#include "runtime/core/runtime.h"
#include "runtime/core/string_ops.h"
#include "runtime/files/device_table.h"

namespace rt {
namespace {

int run(std::function<void()> main_routine, std::vector<std::function<void(Runtime&)>> installers = {})
{
    std::string program = "/opt/tools/QKTEST.EXE";
    std::string ui = "--ui";
    std::string headless = "headless";
    char* argv[] = {program.data(), ui.data(), headless.data(), nullptr};
    return start_program(3, argv, ProgramOptions{}, "QkTest", std::move(main_routine), std::move(installers));
}

TEST(ProgramRunner, ClosingTheWindowEndsTheProgramWithExitCodeZero)
{
    bool reached_loop = false;
    std::string base_name;
    bool devices_registered = false;
    const int code = run([&] {
        Runtime& runtime = Runtime::current();
        base_name = runtime.base_name();
        devices_registered = DeviceTable::current().device_at(0) && DeviceTable::current().device_at(1);
        push_temp("hello");
        PRINT_STR(0);
        runtime.desktop().post(host::Message{runtime.main_window(), host::MessageKind::Close});
        reached_loop = true;
        for (;;)
            STMT();
    });
    EXPECT_TRUE(reached_loop);
    EXPECT_EQ(code, 0);
    EXPECT_EQ(base_name, "QKTEST");
    EXPECT_TRUE(devices_registered);
}

TEST(ProgramRunner, EndStoresTheExitCodeAndExtraInstallersRun)
{
    int installed = 0;
    const int code = run([] { END(3); }, {[&](Runtime& runtime) {
                                    installed += runtime.find_extension<console::ConsoleRecords>() != nullptr;
                                }});
    EXPECT_EQ(code, 3);
    EXPECT_EQ(installed, 1);
}

TEST(ProgramRunner, BadFrontEndOptionDoesNotRunTheProgram)
{
    std::string program = "QKTEST";
    std::string ui = "--ui";
    std::string bad = "teletype";
    char* argv[] = {program.data(), ui.data(), bad.data(), nullptr};
    bool ran = false;
    EXPECT_NE(start_program(3, argv, ProgramOptions{}, "QkTest", [&] { ran = true; }), 0);
    EXPECT_FALSE(ran);
}

}  // namespace
}  // namespace rt
