// Files the program cannot use, said in words: a watch file that is missing,
// a folder, a FIFO or a device names itself and the reason on the response
// row (F2-F9 go back to the dump page, F10 and F11 ask again); an entry that
// cannot be placed names its file and line; what reaches past the last column
// is cut. Settings and watch files in UTF-8, with or without a byte-order
// mark, read like Shift-JIS ones.
#include <sys/stat.h>

#include "tests/qk14_e2e/qk14_e2e_fixture.h"
#include "tests/support/scoped_locale.h"

namespace qk14_e2e {
namespace {

using FilesInWords = Qk14EndToEnd;

constexpr int kResponseRow = 20;

// The response row after its label, to the end of the screen.
std::string response(const ScreenCapture& screen)
{
    return screen.at(12, kResponseRow, 68);
}

std::string padded(std::string text, std::size_t cells = 68)
{
    text.resize(cells, ' ');
    return text;
}

TEST_F(FilesInWords, WatchFilesThatDoNotLoadAreNamedWithTheReason)
{
    qk_test::ScopedLocale english("C.UTF-8");
    directory_.write("QK.DEF", "CH=0\r\nF2=NOPE\r\nF3=FOLDER\r\nF4=DEVICE\r\nF5=PIPE\r\nF6=ROW19\r\nF7=FIELD\r\n");
    std::filesystem::create_directory(directory_ / "FOLDER.DAT");
    std::filesystem::create_symlink("/dev/null", directory_ / "DEVICE.DAT");
    ASSERT_EQ(::mkfifo((directory_ / "PIPE.DAT").c_str(), 0600), 0);
    directory_.write("ROW19.DAT", "2,3,A,80001,H\r\n2,19,B,80011,H\r\n");
    directory_.write("FIELD.DAT", "2,3,A,80001,H\r\n2,4,B,80011,H\r\n2,5,C," + std::string(4000, 'F') + ",H\r\n");
    start_simulator();
    HeadlessScript script = started();
    const std::pair<const char*, const char*> keys[] = {
        {"F2", "NOPE.DAT: not found"},
        {"F3", "FOLDER.DAT: not a regular file"},
        {"F4", "DEVICE.DAT: not a regular file"},
        {"F5", "PIPE.DAT: not a regular file"},
        {"F6", "ROW19.DAT line 2: row 19 is outside the work area (rows 2-18)"},
        {"F7", "FIELD.DAT line 3: the address field is too long"},
    };
    for (const auto& [key, said] : keys)
        script = HeadlessScript::join(script, failing_watch_key(key)).until(kResponseRow, said).screen(key);
    // F10 asks again, with the reason below the list; a page that loads clears it.
    directory_.write("GOOD.DAT", "2,3,GOOD,80001,H\r\n");
    script.key("F10").until(kPromptRow, kFilePrompt).text("NOPE2").key("Enter");
    script.until(kResponseRow, "NOPE2.DAT: not found").until(kPromptRow, kFilePrompt).screen("f10.txt");
    script.text("GOOD").key("Enter").until(3, "GOOD 8000.1.H").screen("good.txt");
    // F11 likewise.
    script.key("F11").until(kPromptRow, kFilePrompt).text("NOPE3/F").key("Enter");
    script.until(kResponseRow, "NOPE3.DAT: not found").until(kPromptRow, kFilePrompt).screen("f11.txt");
    script.key("Enter").until(18, "00F0 ").close();
    EXPECT_EQ(run(script), 0) << directory_.read("qk14.err");

    for (const auto& [key, said] : keys) {
        const ScreenCapture shown = screen(key);
        EXPECT_EQ(response(shown), padded(said)) << shown.text();
        EXPECT_EQ(shown.at(1, 2, 4), "ADRS") << key << " goes back to the dump page";
    }
    EXPECT_EQ(response(screen("f10.txt")), padded("NOPE2.DAT: not found"));
    EXPECT_EQ(response(screen("good.txt")), padded("")) << screen("good.txt").text();
    EXPECT_EQ(response(screen("f11.txt")), padded("NOPE3.DAT: not found"));
    EXPECT_FALSE(std::filesystem::exists(directory_ / "NOPE3.DAS"));
}

TEST_F(FilesInWords, EntriesReachingPastTheLastColumnAreCutNotRefused)
{
    directory_.write("QK.DEF", "CH=0\r\nF2=WIDE\r\n");
    // A 10-character label at column 60 pushes every value 19 columns right.
    directory_.write("WIDE.DAT", "60,2,LONGLABEL1,80001,H\r\n2,3,A,80011,H\r\n70,4,B,80021,Q\r\n");
    start_simulator({"--fill", "8001=5A", "--fill", "8002=3412"});
    HeadlessScript script = started();
    script.key("F2").until(3, "A          8001.1.H 5A").screen("wide.txt").close();
    EXPECT_EQ(run(script), 0) << directory_.read("qk14.err");
    const ScreenCapture wide = screen("wide.txt");
    EXPECT_EQ(wide.at(60, 2, 20), "LONGLABEL1 8000.1.H ") << wide.text();
    EXPECT_EQ(wide.at(2, 3, 22), "A          8001.1.H 5A");
    EXPECT_EQ(wide.at(70, 4, 10), "B         ") << wide.text();  // its static text would start at column 81
    EXPECT_EQ(wide.row(5), "") << "nothing wrapped onto the next row";
}

TEST_F(FilesInWords, Utf8FilesWithOrWithoutAMarkReadAsShiftJis)
{
    start_simulator({"--fill", "9000=5A"});
    // The mark no longer hides the first record: the dump starts at 9000.
    directory_.write("QK.DEF", "\xEF\xBB\xBF" "AD=9000\r\nCH=0\r\nF2=TEMP\r\nF3=MARK\r\n");
    // 温度 (temperature); the euro sign has no Shift-JIS form.
    directory_.write("TEMP.DAT", "2,3,温度,90001,H\r\n2,4,€5,90001,H\r\n");
    directory_.write("MARK.DAT", "\xEF\xBB\xBF" "2,5,MARKED,90001,H\r\n");
    HeadlessScript script = started("9000 5A ");
    script.key("F2").until(4, "9000.1.H 5A").screen("temp.txt");
    script.key("F3").until(5, "MARKED 9000.1.H 5A").screen("mark.txt").close();
    EXPECT_EQ(run(script), 0) << directory_.read("qk14.err");
    const ScreenCapture temp = screen("temp.txt");
    EXPECT_EQ(temp.at(2, 3, 20), to_shift_jis("温度 9000.1.H 5A    ")) << temp.text();
    EXPECT_EQ(temp.at(2, 4, 20), "?5   9000.1.H 5A    ") << temp.text();
    EXPECT_EQ(screen("mark.txt").at(2, 5, 18), "MARKED 9000.1.H 5A") << screen("mark.txt").text();
}

}  // namespace
}  // namespace qk14_e2e
