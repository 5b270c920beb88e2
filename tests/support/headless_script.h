// Builds the input script of the headless front end: typed text, key
// presses, waits (for a time or for a screen row to show a text), screen
// captures and the closing of the window.
#pragma once

#include <string>
#include <string_view>

namespace qk_test {

class HeadlessScript {
public:
    HeadlessScript& text(std::string_view typed) { return line("text " + std::string(typed)); }
    HeadlessScript& key(std::string_view name) { return line("key " + std::string(name)); }
    HeadlessScript& wait(int milliseconds) { return line("wait " + std::to_string(milliseconds)); }
    // Holds the later lines until screen row `row` (from 0) shows `shown` (at most 30 s).
    HeadlessScript& until(int row, std::string_view shown)
    {
        return line("until " + std::to_string(row) + " " + std::string(shown));
    }
    HeadlessScript& screen(std::string_view file) { return line("screen " + std::string(file)); }
    HeadlessScript& close() { return line("close"); }
    // Keeps FILE up to date with the screen from now on.
    HeadlessScript& live(std::string_view file) { return line("live " + std::string(file)); }
    // The following lines wait until FILE exists (the test writes it).
    HeadlessScript& await(std::string_view file) { return line("await " + std::string(file)); }

    static HeadlessScript join(HeadlessScript first, const HeadlessScript& second)
    {
        first.text_ += second.text_;
        return first;
    }

    // A command line typed and entered.
    HeadlessScript& command(std::string_view typed) { return text(typed).key("Enter"); }
    // Types a command line and Enter, and holds the later lines until the
    // command has been answered, refused or has timed out: the line shows on
    // the command row (row 21), then the row shows its label alone again.
    HeadlessScript& command_done(std::string_view typed)
    {
        return text(typed).until(21, "Command :" + std::string(typed)).key("Enter").until(21, "Command :$");
    }

    const std::string& str() const noexcept { return text_; }

    // One script line as written.
    HeadlessScript& line(const std::string& text)
    {
        text_ += text + '\n';
        return *this;
    }

private:
    std::string text_;
};

}  // namespace qk_test
