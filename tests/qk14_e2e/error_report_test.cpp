// Reports that say why, in the user's language and on standard error once
// the front end has closed; files that are not regular files refused at once;
// settings and watch files with LF, CR LF or mixed line ends read alike.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

#include "tests/qk14_e2e/qk14_e2e_fixture.h"

namespace qk14_e2e {
namespace {

// LC_ALL for the programs the test starts (they inherit the environment).
class ChildLocale {
public:
    explicit ChildLocale(const char* locale) { ::setenv("LC_ALL", locale, 1); }
    ~ChildLocale() { ::unsetenv("LC_ALL"); }
    ChildLocale(const ChildLocale&) = delete;
    ChildLocale& operator=(const ChildLocale&) = delete;
};

class ErrorReport : public Qk14EndToEnd {
protected:
    // Runs qk14 until its fatal report, presses a key and returns standard
    // error. The report, written whole, stands where the cursor was: the test
    // looks for its start ("Qk14 [", in either language) on the live screen.
    std::string fatal_report(const std::vector<std::string>& arguments = {})
    {
        HeadlessScript script;
        script.live("live.txt").await(kGoOn).screen("report.txt").key("Enter").close();
        EXPECT_EQ(run_when(script, [&] { return live().text().find("Qk14 [") != std::string::npos; }, arguments), 1)
            << directory_.read("qk14.err");
        return directory_.read("qk14.err");
    }
};

TEST_F(ErrorReport, MissingPortIsExplainedOnStandardErrorInEitherLanguage)
{
    const std::string missing = (directory_ / "ttyGONE").string();
    {
        ChildLocale english("C");
        const std::string report = fatal_report({"--port", "COM1=" + missing});
        EXPECT_NE(report.find("Qk14 [line "), std::string::npos) << report;
        EXPECT_NE(report.find("]: error[60]\nDevice cannot be opened\n" + missing + ": not found; "), std::string::npos)
            << report;
        EXPECT_NE(report.find("serial ports present"), std::string::npos) << report;
        // The same report was on the screen before the key.
        EXPECT_NE(screen("report.txt").text().find(missing + ": not found"), std::string::npos)
            << screen("report.txt").text();
    }
    {
        ChildLocale japanese("ja_JP.UTF-8");
        const std::string report = fatal_report({"--port", "COM1=" + missing});
        EXPECT_NE(report.find("行]:エラー[60]\nデバイスを開けません\n" + missing + ": 見つかりません"),
                  std::string::npos)
            << report;
    }
}

// A port that is there but cannot be used: the headline of error 60 says
// only that, the reason line says why.
TEST_F(ErrorReport, PortsThatCannotBeUsedAreNotHeadedNotFound)
{
    start_simulator();
    const std::string folder = (directory_ / "folder").string();
    std::filesystem::create_directory(folder);
    // Another program holds the simulator's line.
    const int held = ::open(port().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    ASSERT_GE(held, 0);
    ASSERT_EQ(::flock(held, LOCK_EX | LOCK_NB), 0);
    {
        ChildLocale english("C");
        for (const auto& [path, reason] : {std::pair<std::string, std::string>{folder, "a folder, not a serial port"},
                                           {"/dev/null", "not a serial port (not a terminal device)"},
                                           {port().string(), "in use by another program"}}) {
            const std::string report = fatal_report({"--port", "COM1=" + path});
            EXPECT_NE(report.find("]: error[60]\nDevice cannot be opened\n" + path + ": " + reason + "\n"),
                      std::string::npos)
                << report;
            EXPECT_EQ(report.find("not found"), std::string::npos) << report;
        }
    }
    ::close(held);
    // Reasons without words of their own come from the C library, in the user's language.
    const std::string loop = (directory_ / "loop").string();
    std::filesystem::create_symlink(loop, loop);
    ChildLocale japanese("ja_JP.UTF-8");
    const std::string report = fatal_report({"--port", "COM1=" + loop});
    EXPECT_NE(report.find("\nデバイスを開けません\n" + loop + ": シンボリックリンクの階層が多すぎます\n"), std::string::npos)
        << report;
}

TEST_F(ErrorReport, FifoSettingsFileIsRefusedAtOnceWithItsReason)
{
    ChildLocale english("C.UTF-8");
    std::filesystem::remove(directory_ / "QK.DEF");
    ASSERT_EQ(::mkfifo((directory_ / "QK.DEF").c_str(), 0600), 0);
    start_simulator();
    const std::string report = fatal_report();
    EXPECT_NE(report.find("]: error[75]\nAccess denied\n" + (directory_ / "QK.DEF").string() +
                          ": not a regular file\n"),
              std::string::npos)
        << report;
}

TEST_F(ErrorReport, MissingSettingsFileNamesItsPath)
{
    ChildLocale english("C");
    std::filesystem::remove(directory_ / "QK.DEF");
    start_simulator();
    const std::string report = fatal_report();
    EXPECT_NE(report.find("]: error[63]\nFile not found\n" + (directory_ / "QK.DEF").string() + ": not found\n"),
              std::string::npos)
        << report;
}

TEST_F(ErrorReport, FifoWatchFileFailsTheLoadAtOnce)
{
    directory_.write("QK.DEF", "CH=0\r\nF2=PIPE\r\n");
    ASSERT_EQ(::mkfifo((directory_ / "PIPE.DAT").c_str(), 0600), 0);
    start_simulator();
    HeadlessScript script = failing_watch_key("F2");
    script.screen("after.txt").close();
    EXPECT_EQ(run(script), 0) << directory_.read("qk14.err");
    EXPECT_EQ(screen("after.txt").at(1, 2, 4), "ADRS") << screen("after.txt").text();  // back on the dump page
}

TEST_F(ErrorReport, LfCrLfAndMixedLineEndsGiveTheSameSettingsAndPage)
{
    const std::string settings[] = {"CH=0\r\nBL=1\r\nAD=8000\r\nF2=PAGE\r\n", "CH=0\nBL=1\nAD=8000\nF2=PAGE\n",
                                    "CH=0\nBL=1\r\nAD=8000\nF2=PAGE\r\n"};
    const std::string pages[] = {"2,3,FIRST,80001,H\r\n2,4,\"A:B\",80011,B\r\n",
                                 "2,3,FIRST,80001,H\n2,4,\"A:B\",80011,B\n",
                                 "2,3,FIRST,80001,H\r\n2,4,\"A:B\",80011,B\n"};
    std::vector<std::string> starts;
    std::vector<std::string> watched;
    for (int i = 0; i < 3; ++i) {
        // A fresh line each time: no reply of the run before is left on it.
        start_simulator({"--fill", "8000=5A", "--fill", "8001=C3"});
        directory_.write("QK.DEF", settings[i]);
        directory_.write("PAGE.DAT", pages[i]);
        HeadlessScript script = started("8000 5A ");
        script.screen("start.txt").key("F2").until(4, "11000011").screen("page.txt").close();
        ASSERT_EQ(run(script), 0) << directory_.read("qk14.err");
        const ScreenCapture start = screen("start.txt");
        const ScreenCapture page = screen("page.txt");
        starts.push_back(start.at(3, 1, 30) + "|" + start.at(1, 3, 8) + "|" + start.row(22));
        std::string rows;
        for (int row = 2; row <= 18; ++row)
            rows += page.row(row) + "\n";
        watched.push_back(rows);
    }
    EXPECT_NE(starts[0].find("Big"), std::string::npos) << starts[0];
    EXPECT_NE(starts[0].find("8000 5A"), std::string::npos) << starts[0];
    EXPECT_NE(starts[0].find("F2=PAGE"), std::string::npos) << starts[0];
    EXPECT_NE(watched[0].find("A:B"), std::string::npos) << watched[0];
    EXPECT_NE(watched[0].find("11000011"), std::string::npos) << watched[0];
    for (int i = 1; i < 3; ++i) {
        EXPECT_EQ(starts[i], starts[0]) << "settings file " << i;
        EXPECT_EQ(watched[i], watched[0]) << "watch file " << i;
    }
}

}  // namespace
}  // namespace qk14_e2e
