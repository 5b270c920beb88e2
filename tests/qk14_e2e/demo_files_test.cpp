// The demo folder's settings and watch files load in qk14 and show every
// format, the I/O entries and the double-byte labels.
#include <tuple>

#include "tests/qk14_e2e/qk14_e2e_fixture.h"
#include "tests/support/screen_series.h"

namespace qk14_e2e {
namespace {

using DemoFiles = Qk14EndToEnd;

TEST_F(DemoFiles, EveryPageOfTheDemoLoads)
{
    for (const auto& entry : std::filesystem::directory_iterator(QK14_DEMO_DIR))
        std::filesystem::copy_file(entry.path(), directory_ / entry.path().filename().string(),
                                   std::filesystem::copy_options::overwrite_existing);
    // The demo's settings use channel 0 and start at 8000.
    start_simulator({"--fill", "8000=2AA53412DEADBEEF07", "--fill", "8010=E803"});
    HeadlessScript script = started("8000 2A A5 34 ");
    script.screen("dump.txt");
    // Each page once its last entry shows a value; then captures spaced in
    // time, as a "Q" value is erased before it is printed.
    const std::tuple<const char*, int, const char*> pages[] = {{"F2", 3, "MODE, AUTO 8008.1.H 07"},
                                                               {"F3", 6, "8000.1.H 2A"},
                                                               {"F4", 5, "I12....D   0 d"},
                                                               {"F5", 5, "8010.0.H E803"}};
    for (const auto& [key, row, last_value] : pages)
        capture_series(script.key(key).until(row, last_value), key, 3, 300);
    script.close();
    EXPECT_EQ(run(script), 0);

    auto expect_shown = [](const ScreenSeries& page, int column, int row, const std::string& expected) {
        EXPECT_EQ(page.at(column, row, expected), expected) << "at (" << column << ", " << row << ")\n"
                                                            << page.last().text();
    };
    auto label = [](const std::string& text, int display_width, int label_width) {
        return text + std::string(static_cast<std::size_t>(label_width - display_width + 1), ' ');
    };

    const ScreenCapture dump = screen("dump.txt");
    EXPECT_EQ(dump.at(1, 3, 14), "8000 2A A5 34 ") << dump.text();
    EXPECT_EQ(dump.at(14, 22, 13), "F2=MOTOR     ");

    // MOTOR: widest label "MODE, AUTO" (10), values from column 22.
    const ScreenSeries motor(directory_, "F2");
    expect_shown(motor, 2, 3, label("SPEED", 5, 10) + "8000.1.D  42 d");
    expect_shown(motor, 2, 4, label("FLAGS", 5, 10) + "8001.1.B 10100101");
    expect_shown(motor, 2, 5, label("COUNT", 5, 10) + "8002.2.Q  4660 d");
    expect_shown(motor, 2, 6, label("COUNT", 5, 10) + "8002.2.W  1234 h");
    expect_shown(motor, 2, 7, label("RAW", 3, 10) + "8004.4.H DEADBEEF");
    expect_shown(motor, 40, 3, "MODE, AUTO 8008.1.H 07");  // a quoted label keeps its comma

    // SENSOR: 温度, 湿度センサ, 気圧 in Shift-JIS; 湿度センサ is 10 columns wide.
    const ScreenSeries sensor(directory_, "F3");
    expect_shown(sensor, 2, 3, label("\x89\xb7\x93\x78", 4, 10) + "8000.1.D  42 d");
    expect_shown(sensor, 2, 4, label("\x8e\xbc\x93\x78\x83\x5a\x83\x93\x83\x54", 10, 10) + "8004.1.D 222 d");
    expect_shown(sensor, 2, 5, label("\x8b\x43\x88\xb3", 4, 10) + "8010.2.Q  1000 d");
    expect_shown(sensor, 2, 6, label("SPEED", 5, 10) + "8000.1.H 2A");

    // PORTS: Z80 input ports, all 00 on a fresh board.
    const ScreenSeries ports(directory_, "F4");
    expect_shown(ports, 2, 3, label("PORT 10", 7, 7) + "I10....H 00");
    expect_shown(ports, 2, 4, label("PORT 11", 7, 7) + "I11....B 00000000");
    expect_shown(ports, 2, 5, label("PORT 12", 7, 7) + "I12....D   0 d");

    // DUMP16: whole rows of 16 bytes.
    const ScreenSeries rows(directory_, "F5");
    expect_shown(rows, 2, 3, label("ROW 8000", 8, 8) + "8000.0.H 2AA53412DEADBEEF07" + std::string(14, '0'));
    expect_shown(rows, 2, 5, label("ROW 8010", 8, 8) + "8010.0.H E803" + std::string(28, '0'));
}

}  // namespace
}  // namespace qk14_e2e
