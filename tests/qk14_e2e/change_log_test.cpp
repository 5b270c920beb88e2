// The change log of F11: the typed name's /F and /D forms, the log lines in
// the *.DAS file, and the running list on screen.
#include <sys/resource.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <regex>

#include "tests/qk14_e2e/qk14_e2e_fixture.h"
#include "tests/support/scoped_locale.h"

namespace qk14_e2e {
namespace {

struct LoggedChange {
    std::string number;  // 4 digits as in the file
    std::string date;
    std::string time;
    std::string value;
    bool operator==(const LoggedChange&) const = default;
};

std::ostream& operator<<(std::ostream& out, const LoggedChange& c)
{
    return out << c.number << "," << c.date << "," << c.time << "," << c.value;
}

// The lines of a log file; every line must end with CR LF. A closing 0x1A
// end-of-file byte is allowed.
std::vector<std::string> log_file_lines(std::string text, bool& all_crlf)
{
    if (!text.empty() && text.back() == '\x1a')
        text.pop_back();
    all_crlf = text.empty() || text.ends_with("\r\n");
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find("\r\n", start);
        if (end == std::string::npos) {
            all_crlf = false;
            lines.push_back(text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

std::vector<LoggedChange> parse_log_lines(const std::vector<std::string>& lines)
{
    static const std::regex kLine(R"(^(\d{4}),(\d\d/\d\d/\d\d),(\d\d:\d\d:\d\d),([0-9A-F]{2})$)");
    std::vector<LoggedChange> changes;
    for (const std::string& line : lines) {
        std::smatch m;
        if (std::regex_match(line, m, kLine))
            changes.push_back({m[1], m[2], m[3], m[4]});
        else
            ADD_FAILURE() << "not a log line: " << line;
    }
    return changes;
}

// Changes in the work area: "####" number, date, time, label, value.
std::vector<LoggedChange> changes_on_screen(const ScreenCapture& screen, const std::string& label)
{
    static const std::regex kRow(R"(^ *(\d+) (\d\d/\d\d/\d\d) (\d\d:\d\d:\d\d) (\S+) ([0-9A-F]{2}) *$)");
    std::vector<LoggedChange> changes;
    for (int row = 2; row <= 18; ++row) {
        std::smatch m;
        const std::string text = screen.row(row);
        if (std::regex_match(text, m, kRow) && m[4] == label) {
            std::string number = m[1];
            number.insert(0, 4 - std::min<std::size_t>(4, number.size()), '0');
            changes.push_back({number, m[2], m[3], m[5]});
        }
    }
    return changes;
}

class ChangeLog : public Qk14EndToEnd {
protected:
    void SetUp() override
    {
        Qk14EndToEnd::SetUp();
        directory_.write("abc.DAT", "2,3,CNT,80001,H\r\n2,4,IGNORED,80011,H\r\n");
        // The watched byte moves every 300 ms.
        start_simulator({"--change", "8000:1:300"});
    }

    // F11 and the typed name once the main loop runs.
    static HeadlessScript start_logging(const std::string& typed)
    {
        HeadlessScript script = started();
        script.key("F11").until(kPromptRow, kFilePrompt).screen("prompt.txt").text(typed).key("Enter");
        return script;
    }
    // Logging until row `row` of the change list shows `label`. The list
    // grows upwards, its newest change on row 16 (15 for a W value, which
    // leaves an empty row after it): by default, five changes.
    static HeadlessScript log_until(const std::string& typed, int row = 12, std::string_view label = "CNT")
    {
        HeadlessScript script = start_logging(typed);
        script.until(row, label).screen("logging.txt").close();
        return script;
    }
};

TEST_F(ChangeLog, AppendFormKeepsOldLinesAndWritesEveryChange)
{
    directory_.write("abc.DAS", "OLD LINE\r\n");
    EXPECT_EQ(run(log_until("abc/F")), 0);

    const ScreenCapture prompt = screen("prompt.txt");
    EXPECT_EQ(prompt.at(36, 3, 23), "RET Only   : To 256dump") << prompt.text();
    EXPECT_EQ(prompt.at(36, 5, 40), "FileName/D : Delete & Create File(*.DAS)");
    EXPECT_EQ(prompt.at(5, 6, 17), "File Name(*.DAT):");

    bool crlf = false;
    std::vector<std::string> lines = log_file_lines(directory_.read("abc.DAS"), crlf);
    EXPECT_TRUE(crlf) << directory_.read("abc.DAS");
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.front(), "OLD LINE");
    lines.erase(lines.begin());
    const std::vector<LoggedChange> changes = parse_log_lines(lines);
    ASSERT_GE(changes.size(), 5U) << directory_.read("abc.DAS");
    for (std::size_t i = 0; i < changes.size(); ++i) {
        std::string number = std::to_string(i + 1);
        number.insert(0, 4 - number.size(), '0');
        EXPECT_EQ(changes[i].number, number);
        if (i > 0) {
            EXPECT_NE(changes[i].value, changes[i - 1].value);
        }
    }
    // The screen's list is the tail of the file.
    const std::vector<LoggedChange> shown = changes_on_screen(screen("logging.txt"), "CNT");
    ASSERT_FALSE(shown.empty()) << screen("logging.txt").text();
    for (const LoggedChange& change : shown)
        EXPECT_NE(std::find(changes.begin(), changes.end(), change), changes.end()) << change;
    EXPECT_EQ(screen("logging.txt").at(53, 23, 13), "F11=abc      ");
    // Only the first entry is read in log mode.
    EXPECT_EQ(log().count_received("38 30 30 31 10"), 0);
}

TEST_F(ChangeLog, DeleteFormStartsTheFileAfresh)
{
    directory_.write("abc.DAS", "OLD LINE\r\n");
    EXPECT_EQ(run(log_until("abc/d")), 0);
    bool crlf = false;
    const std::vector<std::string> lines = log_file_lines(directory_.read("abc.DAS"), crlf);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.front().substr(0, 5), "0001,") << directory_.read("abc.DAS");
    EXPECT_GE(parse_log_lines(lines).size(), 5U);
}

TEST_F(ChangeLog, NameWithoutFormShowsChangesButWritesNoFile)
{
    EXPECT_EQ(run(log_until("abc")), 0);
    EXPECT_FALSE(directory_.exists("abc.DAS"));
    EXPECT_GE(changes_on_screen(screen("logging.txt"), "CNT").size(), 3U) << screen("logging.txt").text();
}

TEST_F(ChangeLog, LongNameIsCutToEightBytesForBothFiles)
{
    directory_.write("abcdefgh.DAT", "2,3,CNT,80001,H\r\n");
    EXPECT_EQ(run(log_until("abcdefghijk/F")), 0);
    EXPECT_TRUE(directory_.exists("abcdefgh.DAS"));
    EXPECT_FALSE(directory_.exists("abcdefghijk.DAS"));
    bool crlf = false;
    EXPECT_GE(parse_log_lines(log_file_lines(directory_.read("abcdefgh.DAS"), crlf)).size(), 5U);
}

TEST_F(ChangeLog, EveryChangeOnScreenIsAlreadyInTheFile)
{
    // A screen as each of the first eight changes is listed.
    HeadlessScript script = start_logging("abc/F");
    for (int i = 0; i < 8; ++i)
        script.until(16 - i, "CNT").screen("shot" + std::to_string(i) + ".txt");
    script.close();
    Qk14Process program(directory_, script);

    // Read the file as soon as each screen is written: the changes it shows
    // must be in the file already.
    for (int i = 0; i < 8; ++i) {
        const std::string shot = "shot" + std::to_string(i) + ".txt";
        ASSERT_TRUE(wait_for_screen(shot)) << shot;
        // The program may be writing a line right now: only whole lines count.
        std::string text = directory_.read("abc.DAS");
        text.resize(text.rfind("\r\n") == std::string::npos ? 0 : text.rfind("\r\n") + 2);
        bool crlf = false;
        const std::vector<LoggedChange> in_file = parse_log_lines(log_file_lines(text, crlf));
        for (const LoggedChange& change : changes_on_screen(screen(shot), "CNT"))
            EXPECT_NE(std::find(in_file.begin(), in_file.end(), change), in_file.end()) << shot << ": " << change;
    }
    EXPECT_EQ(program.finish(60s), 0);
}

TEST_F(ChangeLog, FunctionKeyClosesTheLog)
{
    HeadlessScript script = start_logging("abc/F");
    script.until(16, "CNT").key("F1").until(3, "0000 00 ").screen("dump.txt");
    script.wait(1000).close();  // time for log lines that must not come
    Qk14Process program(directory_, script);
    EXPECT_TRUE(wait_for_screen("dump.txt"));
    const std::string at_f1 = directory_.read("abc.DAS");
    EXPECT_EQ(program.finish(60s), 0);
    EXPECT_FALSE(at_f1.empty());
    EXPECT_EQ(directory_.read("abc.DAS"), at_f1);
    EXPECT_EQ(screen("dump.txt").at(1, 2, 4), "ADRS") << screen("dump.txt").text();
}

TEST_F(ChangeLog, WordEntryLeavesAnEmptyRowBetweenChanges)
{
    directory_.write("word.DAT", "2,3,WORD,80002,W\r\n");
    // Three changes listed.
    EXPECT_EQ(run(log_until("word", 11, "WORD")), 0);
    const ScreenCapture logging = screen("logging.txt");
    static const std::regex kRow(R"(^ *\d+ \d\d/\d\d/\d\d \d\d:\d\d:\d\d WORD  [0-9A-F]{4} h *$)");
    // From the newest change upwards: a change on every second row, the rows between empty.
    int newest = 18;
    while (newest > 2 && !std::regex_match(logging.row(newest), kRow))
        --newest;
    int changes = 0;
    for (int row = newest; row >= 2 && std::regex_match(logging.row(row), kRow); row -= 2) {
        ++changes;
        if (row < newest) {
            EXPECT_EQ(logging.at(0, row + 1, 79), std::string(79, ' ')) << logging.text();
        }
    }
    EXPECT_GE(changes, 3) << logging.text();
}

TEST_F(ChangeLog, EscClosesTheLogAndNothingIsWrittenAfterIt)
{
    HeadlessScript script = start_logging("abc/F");
    script.until(16, "CNT").key("Esc").until(3, "0000 00 ").screen("restarted.txt");
    script.wait(1000).screen("later.txt").close();  // time for log lines that must not come
    Qk14Process program(directory_, script);
    EXPECT_TRUE(wait_for_screen("restarted.txt"));
    const std::string at_restart = directory_.read("abc.DAS");
    EXPECT_EQ(program.finish(60s), 0);

    EXPECT_FALSE(at_restart.empty());
    EXPECT_EQ(directory_.read("abc.DAS"), at_restart);
    EXPECT_EQ(screen("later.txt").at(1, 2, 4), "ADRS") << screen("later.txt").text();
}

// A log that cannot be opened (here a folder in place of the .DAS file,
// which holds for root too) shows why on the response row, and monitoring goes on.
TEST_F(ChangeLog, LogThatCannotBeOpenedSaysWhyAndMonitoringGoesOn)
{
    std::filesystem::create_directory(directory_ / "abc.DAS");
    ::setenv("LC_ALL", "C", 1);
    const int code = run(log_until("abc/F"));
    ::unsetenv("LC_ALL");
    EXPECT_EQ(code, 0) << directory_.read("qk14.err");
    const ScreenCapture logging = screen("logging.txt");
    EXPECT_EQ(logging.at(12, 20, 6), "Error ") << logging.text();
    EXPECT_NE(logging.row(20).find("abc.DAS: not a regular file"), std::string::npos) << logging.text();
    EXPECT_GE(changes_on_screen(logging, "CNT").size(), 3U) << logging.text();
}

// A file size limit (inherited by qk14; SIGXFSZ ignored) makes writes fail as
// on a full disk: logging stops with the reason, the file ends with a whole line.
TEST_F(ChangeLog, FullDiskStopsLoggingAndLeavesWholeLines)
{
    constexpr rlim_t kLimit = 8192;
    std::string old;
    while (old.size() + 80 < kLimit)
        old += "OLD LINE OLD LINE OLD LINE\r\n";
    directory_.write("abc.DAS", old);
    ::signal(SIGXFSZ, SIG_IGN);
    rlimit saved{};
    ::getrlimit(RLIMIT_FSIZE, &saved);
    const rlimit limited{kLimit, saved.rlim_max};
    ::setenv("LC_ALL", "C", 1);
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limited), 0);
    std::optional<int> code;
    {
        Qk14Process program(directory_, log_until("abc/F"));
        ::setrlimit(RLIMIT_FSIZE, &saved);
        ::unsetenv("LC_ALL");
        code = program.finish(90s);
    }
    ::signal(SIGXFSZ, SIG_DFL);
    EXPECT_EQ(code, 0) << directory_.read("qk14.err");
    const std::string text = directory_.read("abc.DAS");
    bool crlf = false;
    std::vector<std::string> lines = log_file_lines(text, crlf);
    EXPECT_TRUE(crlf) << text.substr(old.size());
    lines.erase(lines.begin(), lines.begin() + static_cast<std::ptrdiff_t>(old.size() / 28));
    EXPECT_GE(parse_log_lines(lines).size(), 1U) << text.substr(old.size());
    EXPECT_NE(screen("logging.txt").row(20).find("abc.DAS: file size limit reached"), std::string::npos)
        << screen("logging.txt").text();
}

TEST_F(ChangeLog, AppendingAfterAnUnfinishedLineStartsANewLine)
{
    directory_.write("abc.DAS", "0001,26/12/07,06:10:00,045");
    EXPECT_EQ(run(log_until("abc/F")), 0);
    bool crlf = false;
    std::vector<std::string> lines = log_file_lines(directory_.read("abc.DAS"), crlf);
    EXPECT_TRUE(crlf);
    ASSERT_GE(lines.size(), 2U);
    EXPECT_EQ(lines.front(), "0001,26/12/07,06:10:00,045");
    lines.erase(lines.begin());
    EXPECT_GE(parse_log_lines(lines).size(), 3U) << directory_.read("abc.DAS");
}

TEST_F(ChangeLog, DeletedOrReplacedLogGoesOnInANewFileAndSaysSo)
{
    HeadlessScript script = start_logging("abc/F");
    script.until(16, "CNT").screen("one.txt");
    script.until(20, "was deleted or replaced").screen("two.txt").await(kGoOn).close();
    Qk14Process program(directory_, script);
    // The program notices at its next change, which goes into a new file:
    // the file then ends with a whole line past its first `kept` bytes.
    std::string text;
    const auto logged_past = [&](std::size_t kept) {
        text = directory_.read("abc.DAS");
        return text.size() > kept && text.ends_with("\r\n");
    };
    ASSERT_TRUE(wait_for_screen("one.txt"));
    std::filesystem::remove(directory_ / "abc.DAS");
    EXPECT_TRUE(wait_until([&] { return logged_past(0); }));
    const std::string after_delete = text;
    directory_.write("new.tmp", "NEW\r\n");
    std::filesystem::rename(directory_ / "new.tmp", directory_ / "abc.DAS");
    EXPECT_TRUE(wait_until([&] { return logged_past(5); }));
    directory_.write(kGoOn, "");
    EXPECT_EQ(program.finish(60s), 0);

    bool crlf = false;
    EXPECT_GE(parse_log_lines(log_file_lines(after_delete, crlf)).size(), 1U) << after_delete;
    EXPECT_NE(screen("two.txt").row(20).find("abc.DAS was deleted or replaced"), std::string::npos)
        << screen("two.txt").text();
    std::vector<std::string> lines = log_file_lines(directory_.read("abc.DAS"), crlf);
    ASSERT_GE(lines.size(), 2U) << directory_.read("abc.DAS");
    EXPECT_EQ(lines.front(), "NEW");
    lines.erase(lines.begin());
    EXPECT_GE(parse_log_lines(lines).size(), 1U) << directory_.read("abc.DAS");
}

TEST_F(ChangeLog, TheReplacedLogNoticeIsInJapaneseUnderAJapaneseLocale)
{
    const qk_test::ScopedLocale japanese("ja_JP.UTF-8");
    HeadlessScript script = start_logging("abc/F");
    script.until(16, "CNT").screen("one.txt");
    script.until(20, "abc.DAS は削除か置換されました").screen("two.txt").close();
    Qk14Process program(directory_, script);
    ASSERT_TRUE(wait_for_screen("one.txt"));
    std::filesystem::remove(directory_ / "abc.DAS");
    EXPECT_EQ(program.finish(60s), 0);
    EXPECT_EQ(screen("two.txt").at(12, 20, 68),
              to_shift_jis("ログ abc.DAS は削除か置換されました。新しいファイルに続けます") + std::string(7, ' '))
        << screen("two.txt").text();
}

}  // namespace
}  // namespace qk14_e2e
