// The error trap and its resumes, the fatal report with its error log, the
// message library, help contexts and the host error translation.
#include <algorithm>
#include <cctype>
#include <cerrno>
#include <string>
#include <vector>

#include "runtime/core/console_report.h"
#include "runtime/core/error.h"
#include "runtime/core/fatal_report.h"
#include "runtime/core/frame.h"
#include "runtime/core/frame_records.h"
#include "runtime/core/shift_jis.h"
#include "runtime/core/message_library.h"
#include "runtime/core/string_ops.h"
#include "runtime/core/string_stack.h"
#include "runtime/core/error_reason.h"
#include "runtime/core/error_state.h"
#include "runtime/core/user_language.h"
#include "tests/core_frame/frame_fixture.h"
#include "tests/support/scoped_locale.h"

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

// The texts compared here are the Japanese ones; the English ones have tests
// of their own below.
class ErrorTest : public FrameTest {
protected:
    qk_test::ScopedLocale locale_{"ja_JP.UTF-8"};

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

TEST(UserLanguage, FirstNonEmptyOfLcAllLcMessagesLangAndItsLanguagePart)
{
    EXPECT_EQ(rt::language_of_locale("ja_JP.UTF-8"), rt::Language::Japanese);
    EXPECT_EQ(rt::language_of_locale("ja"), rt::Language::Japanese);
    EXPECT_EQ(rt::language_of_locale("ja.SJIS"), rt::Language::Japanese);
    EXPECT_EQ(rt::language_of_locale("jam_JM"), rt::Language::English);
    EXPECT_EQ(rt::language_of_locale("C"), rt::Language::English);
    EXPECT_EQ(rt::language_of_locale("en_GB.UTF-8"), rt::Language::English);

    qk_test::ScopedLocale all("");  // empty: the next variable decides
    const char* messages = std::getenv("LC_MESSAGES");
    const std::string saved_messages = messages ? messages : "";
    const char* lang = std::getenv("LANG");
    const std::string saved_lang = lang ? lang : "";
    ::setenv("LC_MESSAGES", "ja_JP.UTF-8", 1);
    ::setenv("LANG", "C", 1);
    EXPECT_EQ(rt::user_language(), rt::Language::Japanese);
    ::setenv("LC_MESSAGES", "", 1);
    EXPECT_EQ(rt::user_language(), rt::Language::English);
    ::setenv("LANG", "ja_JP.eucJP", 1);
    EXPECT_EQ(rt::user_language(), rt::Language::Japanese);
    {
        qk_test::ScopedLocale c("C");
        EXPECT_EQ(rt::user_language(), rt::Language::English);
    }
    ::setenv("LC_MESSAGES", saved_messages.c_str(), 1);
    ::setenv("LANG", saved_lang.c_str(), 1);
}

TEST_F(FrameTest, EnglishLocaleGivesEnglishLibraryTextReportAndNotice)
{
    qk_test::ScopedLocale english("C");
    const std::string library = std::string(QK_MESSAGE_LIBRARY_DIR) + std::string(rt::kMessageLibraryFile);
    EXPECT_EQ(rt::message_text_from(library, 63, rt::kConsoleMessageBuffer), "File not found");
    EXPECT_EQ(rt::fatal_report_line("Qk14", 39, 60), "\r\nQk14 [line 39]: error[60]");
    EXPECT_EQ(rt::break_notice_text("Qk14", 7), "\r\nInterrupted Qk14[line 7] \r\nPress any key");
    qk_test::ScopedLocale japanese("ja_JP.UTF-8");
    EXPECT_EQ(rt::message_text_from(library, 63, rt::kConsoleMessageBuffer), kText63);
    EXPECT_EQ(rt::fatal_report_line("Qk14", 39, 60), "\r\nQk14 [39\x8d\x73]:\x83\x47\x83\x89\x81\x5b[60]");
}

TEST(MessageLibraryTexts, EveryErrorNumberHasAnEnglishAndAJapaneseText)
{
    const std::string library = std::string(QK_MESSAGE_LIBRARY_DIR) + std::string(rt::kMessageLibraryFile);
    for (const std::uint16_t number : rt::err::kAllErrorNumbers) {
        SCOPED_TRACE(number);
        std::optional<std::string> english;
        std::optional<std::string> japanese;
        {
            qk_test::ScopedLocale locale("C");
            english = rt::message_text_from(library, number, rt::kConsoleMessageBuffer);
        }
        {
            qk_test::ScopedLocale locale("ja_JP.UTF-8");
            japanese = rt::message_text_from(library, number, rt::kConsoleMessageBuffer);
        }
        ASSERT_TRUE(english.has_value());
        ASSERT_TRUE(japanese.has_value());
        EXPECT_FALSE(english->empty());
        // Plain ASCII in English; the Japanese text has double-byte characters.
        EXPECT_TRUE(std::all_of(english->begin(), english->end(), [](char c) { return c > 0x1F && c < 0x7F; }))
            << *english;
        EXPECT_TRUE(std::any_of(japanese->begin(), japanese->end(), [](char c) { return rt::sjis::is_lead_byte(c); }));
    }
    qk_test::ScopedLocale locale("C");
    // 60 covers every port that cannot be opened: its text leaves the why to the reason line.
    EXPECT_EQ(rt::message_text_from(library, rt::err::kDeviceNotFound, rt::kConsoleMessageBuffer),
              "Device cannot be opened");
}

TEST(MessageLibraryFolders, BesideTheExecutableThenTheInstalledLibraryFolder)
{
    EXPECT_EQ(rt::message_library_folders("/usr/local/bin/qk14"),
              (std::vector<std::string>{"/usr/local/bin/", "/usr/local/bin/../lib/qkmonitors/"}));
    EXPECT_TRUE(rt::message_library_folders("qk14").empty());
}

TEST(ErrorReasonLine, SaysWhyInEitherLanguage)
{
    using Object = rt::ErrorCause::Object;
    const auto english = [](rt::ErrorCause cause) { return rt::error_reason_line(cause, rt::Language::English); };
    EXPECT_EQ(english({}), "");
    EXPECT_EQ(english({"/w/QK.DEF", ENOENT}), "/w/QK.DEF: not found");
    EXPECT_EQ(english({"/w/QK.DEF", 0, true}), "/w/QK.DEF: not a regular file");
    EXPECT_EQ(english({"/w/LOG.DAS", EACCES}), "/w/LOG.DAS: permission denied");
    EXPECT_EQ(english({"/w/LOG.DAS", ENOSPC}), "/w/LOG.DAS: disk full");
    EXPECT_EQ(english({"/w/LOG.DAS", EFBIG}), "/w/LOG.DAS: file size limit reached");
    EXPECT_EQ(english({"/dev/ttyUSB0", EWOULDBLOCK, false, Object::SerialPort}),
              "/dev/ttyUSB0: in use by another program");
    EXPECT_EQ(english({"/dev/ttyUSB0", EBUSY, false, Object::SerialPort}), "/dev/ttyUSB0: in use by another program");
    // A missing port names the ports there are (none or some on this machine).
    const std::string missing_port = english({"/dev/ttyNONE9", ENOENT, false, Object::SerialPort});
    EXPECT_TRUE(missing_port.starts_with("/dev/ttyNONE9: not found; ")) << missing_port;
    EXPECT_NE(missing_port.find("serial ports present"), std::string::npos) << missing_port;

    // Ports that are there but are no port, and a port that went away.
    EXPECT_EQ(english({"/w/folder", EISDIR, false, Object::SerialPort}), "/w/folder: a folder, not a serial port");
    EXPECT_EQ(english({"/dev/null", ENOTTY, false, Object::SerialPort}),
              "/dev/null: not a serial port (not a terminal device)");
    EXPECT_EQ(english({"/dev/ttyUSB0", 0, false, Object::SerialPort, true}),
              "/dev/ttyUSB0: the port went away (hung up or unplugged)");
    // Reasons without words of their own are the C library's, in the user's language.
    EXPECT_EQ(english({"/w/x", ELOOP}), "/w/x: Too many levels of symbolic links");
    EXPECT_EQ(rt::error_reason_line({"/w/x", ELOOP}, rt::Language::Japanese),
              "/w/x: シンボリックリンクの階層が多すぎます");

    EXPECT_EQ(rt::error_reason_line({"/w/QK.DEF", ENOENT}, rt::Language::Japanese), "/w/QK.DEF: 見つかりません");
    EXPECT_EQ(rt::error_reason_line({"/w/A.DAS", 0, true}, rt::Language::Japanese),
              "/w/A.DAS: 通常のファイルではありません");
}

TEST_F(FrameTest, FileErrorReportCarriesTheReasonAndKeepsTheTextForStandardError)
{
    qk_test::ScopedLocale english("C.UTF-8");
    settings_.store().set_string(settings::kEnvironmentSection, settings::kInstallationDirectoryKey,
                                 QK_MESSAGE_LIBRARY_DIR);
    FakeConsole console;
    runtime_.set_report_target(&console);
    const int code = rt::run_main_routine([] {
        rt::stmt(39, [] { rt::RAISE_FILE_ERROR(rt::err::kFileNotFound, 0x2009, {"/w/QK.DEF", ENOENT}); });
    });
    EXPECT_EQ(code, rt::kFatalErrorExitCode);
    EXPECT_EQ(console.written, "\r\nQk14 [line 39]: error[63]\r\nFile not found\r\n/w/QK.DEF: not found\r\nPress any key\r\n");
    EXPECT_EQ(runtime_.closing_report(), "Qk14 [line 39]: error[63]\nFile not found\n/w/QK.DEF: not found\n");
    runtime_.set_report_target(nullptr);
}

}  // namespace
