// Replies stay in step with their requests on a faulty board, for both
// monitors. The board spoils its replies to one address (target-sim's
// --faulty-address), its first one or every one: a reply after its wait gave
// up, a NUL inside a reply, a short, garbled or noisy one, a 100 000-byte
// reply; or it stops for 3 s. Every address holds its own bytes, so a reply
// taken for the wrong request shows. The screen is sampled throughout, and
// at no moment may a dump row or watch value show bytes its address does not
// hold; once the fault has passed every one shows its own again, and the
// change list holds only values the watched address had. Without the
// resynchronising read after a fault, late and stalled replies pass for the
// answers to later requests.
#pragma once

#include <filesystem>
#include <map>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/monitor_end_to_end.h"
#include "tests/support/screen_sampler.h"
#include "tests/support/wait_until.h"
#include "tools/target-sim/hex_text.h"

namespace qk_test {

// One way the board goes wrong: target-sim options, or a 3 s stop.
struct BoardFault {
    std::string name;
    std::vector<std::string> options;
    bool stall = false;
    bool late = false;
    bool huge = false;
    bool every = false;  // every reply to the address, not only the first
};

// A watch value's wait gives up after about 0.1 s of silence, a dump row's or
// a typed command's after about 1.3 s: 250 ms late, a reply comes while the
// page waits for its next entry; 2000 ms late, after a row or read gave up.
inline BoardFault late_reply(int milliseconds)
{
    return {"late reply", {"--fault", "late:" + std::to_string(milliseconds)}, false, true};
}
inline BoardFault every_reply_late(int milliseconds)
{
    BoardFault fault = late_reply(milliseconds);
    fault.name = "every reply late";
    fault.every = true;
    return fault;
}
inline BoardFault short_reply() { return {"short reply", {"--fault", "short"}}; }
inline BoardFault garbled_reply() { return {"garbled reply", {"--fault", "garbage"}}; }
inline BoardFault nul_inside_reply() { return {"NUL inside a reply", {"--fault", "nul"}}; }
// Shorter than the drop's bound of rounds, so it is still arriving when the
// next request goes out.
inline BoardFault noise_after_reply() { return {"noise after a reply", {"--fault", "noise:20"}}; }
// Unpaced: at 9600 bit/s it would take 100 s.
inline BoardFault huge_reply()
{
    return {"100000-byte reply", {"--unpaced", "--fault", "oversize:100000"}, false, false, true};
}
inline BoardFault three_second_stall() { return {"3 s stall", {}, true}; }

class RepliesInStepEndToEnd : public MonitorEndToEnd {
protected:
    using MonitorEndToEnd::MonitorEndToEnd;
    static constexpr int kEnoughSamples = 20;  // screen samples (one each 40 ms) to tell a scenario was watched

    // The board with its options, and the monitor's extra arguments: the
    // simulator's line as it is, unless a suite puts a port server between.
    virtual void start_board(const std::vector<std::string>& options) { start_simulator(options); }
    virtual std::vector<std::string> port_arguments() const { return {}; }

    // The watch page: three entries whose bytes differ in every bit pattern;
    // the faults hit the middle one.
    static constexpr const char* kWatchFile = "2,3,A,01801,B\r\n2,4,B,01901,B\r\n2,5,C,01A01,B\r\n";
    static constexpr const char* kWatchedFaulty = "0190";
    // The change list watches 0100, which counts up from 11 every 300 ms;
    // the faults hit the typed reads of 0190, whose 16 bytes are C5.
    static constexpr const char* kChangeFile = "2,3,CNT,01001,H\r\n";

    // Dump row k (address k * 16) starts with the byte Ak; the faults hit row 0030.
    testing::AssertionResult dump_rows_in_step_after(const BoardFault& fault)
    {
        SCOPED_TRACE(fault.name);
        std::vector<std::string> options;
        for (int k = 0; k < 16; ++k)
            options.insert(options.end(), {"--fill", row_address(k) + "=A" + digit_text(k)});
        forget_the_last_run();
        start_board(aimed(options, fault, "0030"));
        MonitorProcess program(directory_, monitor_, live_until_done({}), port_arguments(), system_port_);
        ScreenSampler sampler(directory_ / "live.txt", [](const ScreenCapture& s) { return wrong_dump_row(s); });
        const auto in_step = in_step_after_fault(fault, request_hex("0030", 0x1F), request_hex("00F0", 0x1F),
                                                 [&] { return dump_rows_in_step(fault.every ? 3 : -1); });
        enough_samples(sampler);
        sampler.stop();
        finish(program);
        return in_step ? never_wrong(sampler, fault) : in_step;
    }

    testing::AssertionResult watch_values_in_step_after(const BoardFault& fault)
    {
        SCOPED_TRACE(fault.name);
        forget_the_last_run();
        directory_.write("QK.DEF", "CH=0\r\nF2=P\r\n");
        directory_.write("P.DAT", kWatchFile);
        start_board(aimed({"--fill", "0180=3C", "--fill", "0190=5A", "--fill", "01A0=96"}, fault, kWatchedFaulty));
        HeadlessScript keys;
        keys.until(0, ":").key("F2");
        MonitorProcess program(directory_, monitor_, live_until_done(keys), port_arguments(), system_port_);
        ScreenSampler sampler(directory_ / "live.txt", [](const ScreenCapture& s) { return wrong_watch_value(s); });
        const auto in_step = in_step_after_fault(fault, request_hex(kWatchedFaulty, 0x10), request_hex("01A0", 0x10),
                                                 [&] { return fault.every || watch_values_in_step(); });
        enough_samples(sampler);
        sampler.stop();
        finish(program);
        return in_step ? never_wrong(sampler, fault) : in_step;
    }

    // F11 on the change file, typed as `typed_name`. A reply that comes while
    // a file prompt waits (a late one, or those held up by a stall) is
    // waiting when the first value is asked for; a faulty reply to a read
    // typed while the list runs leaves its rest to the next value's request.
    // A huge reply hits the first value itself: on a loaded machine it would
    // outlast the typed read's wait and run into the list's own wait; on the
    // watched address it is listed once, cut to the longest valid reply.
    // Returns the changes seen on screen (number, value); values_of_the_watched_address checks them.
    std::map<int, std::string> change_list_after(const BoardFault& fault, const std::string& typed_name)
    {
        SCOPED_TRACE(fault.name);
        forget_the_last_run();
        directory_.write("L.DAT", kChangeFile);
        start_board(aimed({"--fill", "0100=11", "--change", "0100:1:300", "--fill",
                               "0190=C5C5C5C5C5C5C5C5C5C5C5C5C5C5C5C5"},
                              fault, fault.huge ? "0100" : "0190"));
        const bool before_prompt = fault.stall || fault.late;
        HeadlessScript keys;
        keys.until(0, ":");
        if (fault.stall)
            keys.await("stalled");
        else if (before_prompt)
            keys.command("R0190").until(19, "Command :R0190");  // F11 while the read waits
        keys.key("F11").await("go").text(typed_name).key("Enter");
        if (!before_prompt)
            keys.await("type").command("R0190");
        MonitorProcess program(directory_, monitor_, live_until_done(keys), port_arguments(), system_port_);

        const std::string typed_read = request_hex("0190", 0x1F);
        if (fault.stall) {
            // A row's request is on its way when the board stops; its reply
            // comes once the board goes on, while the prompt waits.
            EXPECT_TRUE(wait_until([&] { return live().row_has(3, "0000"); })) << live().text();
            simulator_->pause();
            directory_.write("stalled", "");
            stall_for_three_seconds();
            const int ends = reply_ends().written;
            simulator_->resume();
            EXPECT_TRUE(wait_until([&] { return reply_ends().written > ends; })) << log().dump();
        } else if (before_prompt) {
            EXPECT_TRUE(wait_until([&] { return log().count_received(typed_read) == 1; })) << log().dump();
        }
        EXPECT_TRUE(wait_until([&] { return prompt_shown() && reply_ends().all_written(); }))
            << live().text() << log().dump();
        directory_.write("go", "");
        std::map<int, std::string> changes;
        EXPECT_TRUE(wait_until([&] { return collect_changes(changes) && changes.size() >= 2; })) << live().text();
        if (!before_prompt) {
            directory_.write("type", "");
            EXPECT_TRUE(wait_until([&] {
                collect_changes(changes);
                return log().count_received(typed_read) == 1 && reply_ends().all_written();
            })) << log().dump();
        }
        // Values go on being listed after the fault.
        const int last = changes.empty() ? 0 : changes.rbegin()->first;
        EXPECT_TRUE(wait_until([&] { return collect_changes(changes) && changes.rbegin()->first >= last + 3; }))
            << live().text();
        finish(program);
        return changes;
    }

    // Counting up from 11 one step at a time: two hexadecimal digits each,
    // every one above the one before (a huge reply gives the pair asked for).
    static testing::AssertionResult values_of_the_watched_address(const std::map<int, std::string>& changes,
                                                                  const BoardFault& fault)
    {
        static const std::regex kByte("[0-9A-F]{2}");
        if (changes.empty())
            return testing::AssertionFailure() << fault.name << ": no change listed";
        std::string previous = "10";
        for (const auto& [number, value] : changes) {
            if (value.size() != 2 || !std::regex_match(value, kByte) || value <= previous)
                return testing::AssertionFailure() << fault.name << ": change " << number << ": "
                                                   << value.substr(0, 80) << " after " << previous;
            previous = value;
        }
        return testing::AssertionSuccess();
    }

    // A fast recovery (an unpaced board) may be over before the sampler has
    // looked often enough: it goes on looking at the rows refreshed after it.
    static void enough_samples(const ScreenSampler& sampler)
    {
        (void)wait_until([&] { return sampler.samples() >= kEnoughSamples; });
    }

    // No sample of the screen showed a wrong value, and enough were taken to tell.
    static testing::AssertionResult never_wrong(const ScreenSampler& sampler, const BoardFault& fault)
    {
        const std::vector<std::string> wrong = sampler.wrong_samples();
        if (!wrong.empty())
            return testing::AssertionFailure() << fault.name << ": a wrong value on screen: " << wrong.front();
        if (sampler.samples() < kEnoughSamples)
            return testing::AssertionFailure() << fault.name << ": only " << sampler.samples() << " samples";
        return testing::AssertionSuccess();
    }

    // A dump row pair that is neither blank, nor the placeholder, nor its address's byte.
    static std::optional<std::string> wrong_dump_row(const ScreenCapture& screen)
    {
        for (int k = 0; k < 16; ++k) {
            const std::string bytes = screen.at(6, 3 + k, 47);
            for (int j = 0; j < 16; ++j) {
                const std::string pair = bytes.substr(static_cast<std::size_t>(3 * j), 2);
                const std::string expected = j == 0 ? "A" + digit_text(k) : "00";
                if (pair != "  " && pair != "--" && pair != expected)
                    return "row " + row_address(k) + " byte " + std::to_string(j) + ": " + pair;
            }
        }
        return std::nullopt;
    }

    // A watch value that is neither blank nor its address's byte (checked
    // once the page shows its entries).
    static std::optional<std::string> wrong_watch_value(const ScreenCapture& screen)
    {
        static const char* const kEntries[] = {"A 0180.1.B ", "B 0190.1.B ", "C 01A0.1.B "};
        static const char* const kValues[] = {"00111100", "01011010", "10010110"};
        for (int i = 0; i < 3; ++i) {
            if (screen.at(2, 3 + i, 11) != kEntries[i])
                continue;
            const std::string value = screen.at(13, 3 + i, 8);
            if (value != "        " && value != kValues[i])
                return "entry " + std::to_string(i) + ": " + value;
        }
        return std::nullopt;
    }

private:
    static std::string digit_text(int k) { return std::string(1, sim::hex_digit(static_cast<unsigned>(k))); }
    static std::string row_address(int k) { return "00" + digit_text(k) + "0"; }

    static std::vector<std::string> aimed(std::vector<std::string> options, const BoardFault& fault,
                                          const std::string& address)
    {
        options.insert(options.end(), fault.options.begin(), fault.options.end());
        if (!fault.stall)
            options.insert(options.end(), {"--faulty-address", address});
        if (!fault.stall && !fault.every)
            options.insert(options.end(), {"--faulty-replies", "1"});
        options.push_back("--log-reply-ends");
        return options;
    }

    // A fresh start for each run in the same directory: no screen, no
    // signal files of the run before.
    void forget_the_last_run() const
    {
        for (const char* name : {"live.txt", "stalled", "go", "type", "done"})
            std::filesystem::remove(directory_ / name);
    }

    static HeadlessScript live_until_done(const HeadlessScript& keys)
    {
        HeadlessScript script;
        script.live("live.txt");
        return HeadlessScript::join(script, keys).await("done").close();
    }

    void finish(MonitorProcess& program)
    {
        directory_.write("done", "");
        EXPECT_EQ(program.finish(std::chrono::seconds(60)), 0) << program.standard_error();
    }


    // The fault itself: the board gets no processor for 3 s.
    static void stall_for_three_seconds() { std::this_thread::sleep_for(std::chrono::seconds(3)); }

    // Waits for the fault to pass (the faulty address asked for again, or a
    // reply written after the stall), then until `in_step` has held over two
    // rounds of the page (`last_request`, the page's last request, received
    // twice more while it held). Fails with the screen or the board's log.
    template <class InStep>
    testing::AssertionResult in_step_after_fault(const BoardFault& fault, const std::string& faulty_request,
                                                 const std::string& last_request, InStep in_step)
    {
        if (fault.stall) {
            if (!wait_until(in_step))
                return testing::AssertionFailure() << fault.name << ": not in step before the stall\n" << live().text();
            simulator_->pause();
            stall_for_three_seconds();
            const int ends = reply_ends().written;
            simulator_->resume();
            if (!wait_until([&] { return reply_ends().written > ends; }))
                return testing::AssertionFailure() << fault.name << ": no reply after the stall\n" << log().dump();
        } else if (!wait_until([&] { return log().count_received(faulty_request) >= (fault.every ? 4 : 2); })) {
            return testing::AssertionFailure() << fault.name << ": the faulty address not asked for again\n"
                                               << log().dump();
        }
        int rounds_when_in_step = -1;
        const bool held = wait_until([&] {
            if (!in_step()) {
                rounds_when_in_step = -1;
                return false;
            }
            // Every reply to the faulty address spoilt: the page may never get past it.
            const int rounds = log().count_received(fault.every ? faulty_request : last_request);
            if (rounds_when_in_step < 0)
                rounds_when_in_step = rounds;
            return rounds >= rounds_when_in_step + 2;
        });
        if (!held)
            return testing::AssertionFailure() << fault.name << ": not in step over two rounds\n" << live().text();
        return testing::AssertionSuccess();
    }

    // Rows 3-18 (but `row_left_out`) each start with their own address's
    // byte; the command rows and the legend below are intact.
    bool dump_rows_in_step(int row_left_out = -1) const
    {
        const ScreenCapture screen = live();
        for (int k = 0; k < 16; ++k)
            if (k != row_left_out && screen.at(1, 3 + k, 7) != row_address(k) + " A" + digit_text(k))
                return false;
        return screen.at(3, 19, 9) == "Command :" && screen.at(3, 20, 9) == "Response:" &&
               screen.at(3, 21, 9) == "Command :" && screen.at(1, 22, 10) == "F1=256dump";
    }

    bool watch_values_in_step() const
    {
        const ScreenCapture screen = live();
        return screen.at(2, 3, 20) == "A 0180.1.B 00111100 " && screen.at(2, 4, 20) == "B 0190.1.B 01011010 " &&
               screen.at(2, 5, 20) == "C 01A0.1.B 10010110 ";
    }

    bool prompt_shown() const { return live().text().find("File Name(*.DAT):") != std::string::npos; }

    // The end bytes of the board's replies (a noise burst's too): how many
    // its replies hold and how many it has written to the line.
    struct ReplyEnds {
        int sent = 0;
        int written = 0;
        bool all_written() const { return written == sent; }
    };
    ReplyEnds reply_ends() const
    {
        ReplyEnds ends;
        const RequestLog board_log = log();
        for (const LogLine& line : board_log.lines()) {
            if (line.direction == "TX")
                for (std::size_t at = line.hex.find("0D"); at != std::string::npos; at = line.hex.find("0D", at + 1))
                    ends.sent += at % 3 == 0;
            ends.written += line.direction == "END";
        }
        return ends;
    }

    // Adds the change rows the screen shows (rows 2-18: number, date, time,
    // label, value); false when it shows none.
    bool collect_changes(std::map<int, std::string>& changes) const
    {
        static const std::regex kRow(R"(^ *(\d+) \d\d/\d\d/\d\d \d\d:\d\d:\d\d CNT (.*?) *$)");
        const ScreenCapture screen = live();
        bool any = false;
        for (int row = 2; row <= 18; ++row) {
            std::smatch m;
            const std::string text = screen.row(row);
            if (std::regex_match(text, m, kRow)) {
                changes[std::stoi(m[1])] = m[2];
                any = true;
            }
        }
        return any;
    }
};

}  // namespace qk_test
