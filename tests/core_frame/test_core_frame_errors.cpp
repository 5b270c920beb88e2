// The error trap and its resumes, the fatal report with its error log, the
// message library, help contexts and the host error translation.
#include <cctype>
#include <cerrno>
#include <string>
#include <vector>

#include "runtime/core/console_report.h"
#include "runtime/core/error.h"
#include "runtime/core/fatal_report.h"
#include "runtime/core/frame.h"
#include "runtime/core/frame_records.h"
#include "runtime/core/message_library.h"
#include "runtime/core/string_ops.h"
#include "runtime/core/string_stack.h"
#include "tests/core_frame/frame_fixture.h"

namespace {

using qk_test::FrameTest;
using Log = std::vector<std::string>;
namespace settings = host::settings;

// Shift-JIS texts of the message library for errors 5 and 63.
const std::string kText5 = "\x88\xf8\x90\x94\x82\xaa\x94\xcd\x88\xcd\x8a" "O\x82\xc5\x82\xb7";  // 引数が範囲外です
const std::string kText63 = "\x83t\x83@\x83" "C\x83\x8b\x82\xaa\x8c\xa9\x82\xc2\x82\xa9\x82\xe8\x82\xdc\x82\xb9\x82\xf1";  // ファイルが見つかりません

// "yyyy/mm/dd hh:mm:ss"
bool matches_time_pattern(const std::string& text)
{
    const std::string pattern = "dddd/dd/dd dd:dd:dd";
    if (text.size() != pattern.size())
        return false;
    for (std::size_t i = 0; i < text.size(); ++i)
        if (pattern[i] == 'd' ? !std::isdigit(static_cast<unsigned char>(text[i])) : text[i] != pattern[i])
            return false;
    return true;
}

class FakeConsole final : public rt::ConsoleReportTarget {
public:
    std::string written;
    std::vector<bool> waits;  // help_enabled of each wait
    bool press_f1 = false;

    bool accepts_console_output() const noexcept override { return true; }
    void write_text(std::string_view sjis) override { written += sjis; }
    void wait_for_key(bool help_enabled) override
    {
        waits.push_back(help_enabled);
        if (help_enabled && press_f1)
            rt::open_error_help();
        written += "\r\n";  // the console's wait ends with a line end
    }
};

class ErrorTest : public FrameTest {
protected:
    void install_message_library() const
    {
        settings_.store().set_string(settings::kEnvironmentSection, settings::kInstallationDirectoryKey,
                                     QK_MESSAGE_LIBRARY_DIR);
    }
};

TEST_F(ErrorTest, TrappedErrorGoesToHandlerAndResumeNextContinuesAfterIt)
{
    Log log;
    rt::ON_ERROR_GOTO([&] {
        log.push_back("handler " + std::to_string(rt::GET_ERR()) + " at " + std::to_string(rt::GET_LINE()));
        EXPECT_TRUE(rt::in_trap_handler());
        rt::RESUME_NEXT();
    });
    rt::stmt(10, [&] {
        log.push_back("10");
        rt::RAISE_ERROR(5, 0x1201);
        log.push_back("rest of 10");
    });
    rt::stmt(11, [&] { log.push_back("11"); });
    EXPECT_EQ(log, (Log{"10", "handler 5 at 10", "11"}));
    EXPECT_EQ(rt::GET_ERR(), 0);
    EXPECT_FALSE(rt::in_trap_handler());
}

TEST_F(ErrorTest, ResumeRunsTheFailedStatementAgainUntilItSucceeds)
{
    int attempts = 0;
    int handled = 0;
    rt::ON_ERROR_GOTO([&] {
        ++handled;
        rt::RESUME();
    });
    rt::stmt(20, [&] {
        if (++attempts < 3)
            rt::RAISE_ERROR(6, 0x1202);
    });
    EXPECT_EQ(attempts, 3);
    EXPECT_EQ(handled, 2);
}

TEST_F(ErrorTest, ResumeLabelContinuesAtTheLabel)
{
    Log log;
    bool failed = false;
    rt::ON_ERROR_GOTO([] { rt::RESUME_LABEL(100); });
    rt::label_scope(100, [&] {
        rt::stmt(30, [&] { log.push_back(failed ? "label again" : "label"); });
        rt::stmt(31, [&] {
            if (!failed) {
                failed = true;
                rt::RAISE_ERROR(5, 0x1203);
            }
            log.push_back("31 done");
        });
    });
    EXPECT_EQ(log, (Log{"label", "label again", "31 done"}));
    EXPECT_FALSE(rt::in_trap_handler());
}

TEST_F(ErrorTest, ResumeWithoutErrorRaises20ToTheTrap)
{
    std::vector<int> errors;
    rt::ON_ERROR_GOTO([&] {
        errors.push_back(rt::GET_ERR());
        rt::RESUME_NEXT();
    });
    rt::stmt(40, [] { rt::RESUME_NEXT(); });
    rt::stmt(41, [] { rt::RESUME(); });
    rt::stmt(42, [] { rt::RESUME_LABEL(1); });
    EXPECT_EQ(errors, (std::vector<int>{20, 20, 20}));
}

TEST_F(ErrorTest, ErrorInsideHandlerIsFatalEvenAfterANewTrap)
{
    bool second_handler_ran = false;
    const int code = rt::run_main_routine([&] {
        rt::ON_ERROR_GOTO([&] {
            rt::stmt(51, [&] { rt::ON_ERROR_GOTO([&] { second_handler_ran = true; }); });
            rt::stmt(52, [] { rt::RAISE_ERROR(6, 0x3402); });
        });
        rt::stmt(50, [] { rt::RAISE_ERROR(5, 0x3401); });
    });
    EXPECT_EQ(code, rt::kFatalErrorExitCode);
    EXPECT_FALSE(second_handler_ran);
    ASSERT_EQ(front_->boxes.size(), 1u);
    EXPECT_EQ(front_->boxes[0].first, "qk14.EXE");
    EXPECT_EQ(front_->boxes[0].second, rt::fatal_report_line("Qk14", 52, 6));  // no installation directory: no text

    const auto store = settings_.store();
    EXPECT_EQ(store.get_string(settings::kErrorLogSection, "MODL"), "Qk14");
    EXPECT_EQ(store.get_u32(settings::kErrorLogSection, "LINE"), 52u);
    EXPECT_EQ(store.get_u32(settings::kErrorLogSection, "CODE"), 6u);
    EXPECT_EQ(store.get_u32(settings::kErrorLogSection, "FUNC"), 0x34u);
    EXPECT_EQ(store.get_u32(settings::kErrorLogSection, "INFO"), 0x02u);
    const auto time = store.get_string(settings::kErrorLogSection, "TIME");
    ASSERT_TRUE(time);
    EXPECT_TRUE(matches_time_pattern(*time)) << *time;
}

TEST_F(ErrorTest, HandlerThatNeverResumesLeavesNextErrorFatal)
{
    int handled = 0;
    Log log;
    const int code = rt::run_main_routine([&] {
        rt::ON_ERROR_GOTO([&] { ++handled; });
        rt::stmt(60, [] { rt::RAISE_ERROR(5, 0x3501); });
        rt::stmt(61, [&] { log.push_back("61 runs in handler state"); });
        rt::stmt(62, [] { rt::RAISE_ERROR(9, 0x3502); });
        rt::stmt(63, [&] { log.push_back("not reached"); });
    });
    EXPECT_EQ(code, rt::kFatalErrorExitCode);
    EXPECT_EQ(handled, 1);
    EXPECT_EQ(log, Log{"61 runs in handler state"});
    EXPECT_EQ(settings_.store().get_u32(settings::kErrorLogSection, "CODE"), 9u);
}

TEST_F(ErrorTest, ErrorOutsideEveryStatementIsFatal)
{
    const int code = rt::run_main_routine([] {
        rt::SETLINE(70);
        rt::RAISE_ERROR(7, 0x3601);
    });
    EXPECT_EQ(code, rt::kFatalErrorExitCode);
    EXPECT_EQ(settings_.store().get_u32(settings::kErrorLogSection, "LINE"), 70u);
}

TEST_F(ErrorTest, RaisingReleasesTheStringStack)
{
    rt::push_temp("abc");
    rt::push_temp("def");
    EXPECT_THROW(rt::RAISE_ERROR(5, 0x3701), rt::RuntimeError);
    EXPECT_EQ(runtime_.string_stack().depth(), 0);
}

TEST_F(ErrorTest, ConsoleReportShowsTextWaitsWithHelpAndRecordsContext)
{
    install_message_library();
    FakeConsole console;
    console.press_f1 = true;
    runtime_.set_report_target(&console);
    const int code = rt::run_main_routine([] { rt::stmt(80, [] { rt::RAISE_ERROR(63, 0x3801); }); });
    EXPECT_EQ(code, rt::kFatalErrorExitCode);
    EXPECT_EQ(console.written, rt::fatal_report_line("Qk14", 80, 63) + "\r\n" + kText63 +
                                   std::string(rt::press_any_key_text()) + "\r\n");
    EXPECT_EQ(console.waits, std::vector<bool>{true});
    EXPECT_EQ(runtime_.frame().help.last_context, 63u);
    EXPECT_FALSE(runtime_.frame().help.open);
    EXPECT_TRUE(front_->boxes.empty());
    runtime_.set_report_target(nullptr);
}

TEST_F(ErrorTest, WindowErrorOpensHelpContextAbove100000)
{
    FakeConsole console;
    console.press_f1 = true;
    runtime_.set_report_target(&console);
    rt::run_main_routine([] { rt::stmt(81, [] { rt::RAISE_ERROR(1005, 0x3802); }); });
    EXPECT_EQ(runtime_.frame().help.last_context, 100005u);
    EXPECT_EQ(console.written, rt::fatal_report_line("Qk14", 81, 1005) + std::string(rt::press_any_key_text()) + "\r\n");
    runtime_.set_report_target(nullptr);
}

TEST_F(ErrorTest, MessageBoxReportCarriesLibraryText)
{
    install_message_library();
    rt::run_main_routine([] { rt::stmt(82, [] { rt::RAISE_ERROR(5, 0x3803); }); });
    ASSERT_EQ(front_->boxes.size(), 1u);
    EXPECT_EQ(front_->boxes[0].second, rt::fatal_report_line("Qk14", 82, 5) + "\n" + kText5);
}

TEST_F(ErrorTest, BreakNoticeOnConsoleWaitsWithoutHelp)
{
    FakeConsole console;
    runtime_.set_report_target(&console);
    const int code = rt::run_main_routine([] {
        rt::stmt(90, [] { rt::RAISE_EVENT(rt::kEventBreak); });
        rt::stmt(91, [] {});
        rt::stmt(92, [] {});  // not reached: the prologue of 91 ends the program
    });
    EXPECT_EQ(code, 0);
    EXPECT_EQ(console.written, rt::break_notice_text("Qk14", 90) + "\r\n");
    EXPECT_EQ(console.waits, std::vector<bool>{false});
    runtime_.set_report_target(nullptr);
}

TEST_F(ErrorTest, MessageLibraryLookupPresentAbsentAndCut)
{
    const std::string library = std::string(QK_MESSAGE_LIBRARY_DIR) + std::string(rt::kMessageLibraryFile);
    EXPECT_EQ(rt::message_text_from(library, 5, rt::kConsoleMessageBuffer), kText5);
    EXPECT_EQ(rt::message_text_from(library, 4, rt::kConsoleMessageBuffer), std::nullopt);
    // A buffer of 8 bytes takes three double-byte characters and the NUL.
    EXPECT_EQ(rt::message_text_from(library, 5, 8), kText5.substr(0, 6));
    EXPECT_EQ(rt::message_text_from(settings_.directory().string() + "/Q7R2ER50.DLL", 5, 260), std::nullopt);
    EXPECT_EQ(rt::message_text_from("/lib/x86_64-linux-gnu/libm.so.6", 5, 260), std::nullopt);  // no lookup symbol

    EXPECT_EQ(rt::error_message_text(5, 260), std::nullopt);  // no installation directory
    install_message_library();
    EXPECT_EQ(rt::error_message_text(5, 260), kText5);
}

TEST_F(ErrorTest, ApiErrorLogsTheHostCodeAndTranslatesIt)
{
    EXPECT_EQ(rt::API_ERROR(EACCES), 75);
    EXPECT_EQ(settings_.store().get_u32(settings::kErrorLogSection, "APIERR"), std::uint32_t(EACCES));
    EXPECT_EQ(rt::API_ERROR(ENOENT), 63);
    EXPECT_EQ(settings_.store().get_u32(settings::kErrorLogSection, "APIERR"), std::uint32_t(ENOENT));
}

TEST(ErrorTranslation, HostCodesMapToRuntimeErrors)
{
    const std::vector<std::pair<int, int>> table{
        {ENOENT, 63}, {ENOTDIR, 63}, {EACCES, 75}, {EPERM, 75}, {EEXIST, 64},  {ENOSPC, 67},
        {EMFILE, 66}, {ENFILE, 66},  {EBUSY, 75},  {EROFS, 73}, {EINVAL, 5},   {ENOMEM, 7},
        {ENAMETOOLONG, 55}, {EIO, 54}, {ENODEV, 60}, {ENXIO, 60}, {ENOTSUP, 28}, {EAGAIN, 75},
        {EWOULDBLOCK, 75}, {EPIPE, 27}, {0, 27}};
    for (const auto& [code, number] : table)
        EXPECT_EQ(rt::translate_system_error(code), number) << "errno " << code;
}

TEST(HelpContext, WindowErrorsMoveAbove99000AndZeroOpensNothing)
{
    EXPECT_EQ(rt::help_context_for(1005), 100005u);
    EXPECT_EQ(rt::help_context_for(1000), 100000u);
    EXPECT_EQ(rt::help_context_for(1019), 100019u);
    EXPECT_EQ(rt::help_context_for(1020), 1020u);
    EXPECT_EQ(rt::help_context_for(63), 63u);
    EXPECT_EQ(rt::help_context_for(0), 0u);
}

TEST_F(ErrorTest, ProcedureWithoutTrapPassesErrorToCallersTrap)
{
    Log log;
    rt::ON_ERROR_GOTO([&] {
        log.push_back("caller trap " + std::to_string(rt::GET_ERR()) + " frame " +
                      std::to_string(rt::current_frame_number()));
        rt::RESUME_NEXT();
    });
    rt::stmt(100, [&] {
        rt::call_procedure([&] {
            rt::stmt(200, [] { rt::RAISE_ERROR(11, 0x3901); });
            log.push_back("not reached");
        });
    });
    rt::stmt(101, [&] { log.push_back("101"); });
    EXPECT_EQ(log, (Log{"caller trap 11 frame 0", "101"}));
}

TEST_F(ErrorTest, LeavingProcedureWhileItsHandlerRunsRaises19InCaller)
{
    Log log;
    rt::ON_ERROR_GOTO([&] {
        log.push_back("caller trap " + std::to_string(rt::GET_ERR()));
        rt::RESUME_NEXT();
    });
    rt::stmt(110, [&] {
        rt::call_procedure([&] {
            rt::ON_ERROR_GOTO([&] { log.push_back("procedure trap"); });  // returns without a resume
            rt::stmt(210, [] { rt::RAISE_ERROR(5, 0x3A01); });
            rt::stmt(211, [&] { log.push_back("211"); });
        });
    });
    EXPECT_EQ(log, (Log{"procedure trap", "211", "caller trap 19"}));
    EXPECT_FALSE(rt::in_trap_handler());
}

TEST_F(ErrorTest, ErrorInProcedureHandlerLeavesTheFrameToTheCallersTrap)
{
    Log log;
    rt::ON_ERROR_GOTO([&] {
        log.push_back("caller trap " + std::to_string(rt::GET_ERR()));
        rt::RESUME_NEXT();
    });
    rt::stmt(120, [&] {
        rt::call_procedure([&] {
            rt::ON_ERROR_GOTO([&] { rt::stmt(221, [] { rt::RAISE_ERROR(6, 0x3B02); }); });
            rt::stmt(220, [] { rt::RAISE_ERROR(5, 0x3B01); });
            log.push_back("not reached");
        });
    });
    EXPECT_EQ(log, Log{"caller trap 6"});
}

TEST_F(ErrorTest, EventSubroutineInsideProcedureRunsInTheMainProgram)
{
    Log log;
    auto where = [] { return rt::current_frame_number() == 0 ? std::string("main") : std::string("procedure"); };
    rt::ON_ERROR_GOTO([&] {
        log.push_back("main trap in " + where());
        rt::RESUME_NEXT();
    });
    rt::ON_KEY_GOSUB(2, [&] {
        rt::stmt(300, [&] {
            log.push_back("F2 in " + where());
            rt::RAISE_ERROR(5, 0x3C01);
        });
    });
    rt::KEY_CTRL(2, 1);
    rt::stmt(130, [&] {
        rt::call_procedure([&] {
            rt::ON_ERROR_GOTO([&] { log.push_back("procedure trap"); });
            rt::stmt(230, [] { rt::RAISE_EVENT(rt::kEventKey1 + 1); });
            rt::stmt(231, [&] { log.push_back("231 in " + where()); });
        });
    });
    EXPECT_EQ(log, (Log{"F2 in main", "main trap in main", "231 in procedure"}));
    EXPECT_EQ(rt::current_frame_number(), 0u);
}

}  // namespace
