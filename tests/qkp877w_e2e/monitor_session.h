// One end-to-end session: a temporary working directory with QK.DEF and
// watch files, the simulated PIC16F877 board on a pseudo-terminal, and
// QkP877W run on the headless front end with a script. Afterwards the test
// reads the screens the script saved and the requests the board received.
#pragma once

#include <stdlib.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "child_process.h"

namespace e2e {

inline std::string read_file(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

class MonitorSession {
public:
    MonitorSession()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "qkp877w-e2e-XXXXXX").string();
        if (!::mkdtemp(pattern.data()))
            throw std::runtime_error("mkdtemp");
        directory_ = pattern;
    }
    ~MonitorSession()
    {
        simulator_.reset();
        std::error_code ignored;
        std::filesystem::remove_all(directory_, ignored);
    }

    const std::filesystem::path& directory() const { return directory_; }
    std::filesystem::path port() const { return directory_ / "tty"; }

    void write(const std::string& name, std::string_view bytes) const
    {
        std::ofstream(directory_ / name, std::ios::binary) << bytes;
    }

    // The PIC board with its request log; `options` are extra simulator options.
    void start_board(const std::vector<std::string>& options = {})
    {
        ProcessSpec spec{QK_TARGET_SIM, {"--board", "pic", "--link", port().string(), "--log",
                                         (directory_ / "sim.log").string()},
                         directory_, {}, false};
        spec.arguments.insert(spec.arguments.end(), options.begin(), options.end());
        simulator_ = std::make_unique<ChildProcess>(spec);
        if (!simulator_->first_line(std::chrono::seconds(10)))
            throw std::runtime_error("target-sim did not start");
    }

    // Runs QkP877W with the script lines; system port `com` (COM1 = channel 0)
    // is the board. Returns the exit code (-1 when it did not end in time).
    int run(const std::vector<std::string>& script, const std::string& com = "COM1") const
    {
        std::string text;
        for (const std::string& line : script)
            text += line + "\n";
        write("script.txt", text);
        ProcessSpec spec{QK_QKP877W, {"--ui", "headless", "--script", (directory_ / "script.txt").string(), "--port",
                                      com + "=" + port().string()},
                         directory_, {{"XDG_CONFIG_HOME", (directory_ / "config").string()}}, false};
        ChildProcess program(spec);
        return program.wait_exit(std::chrono::seconds(90)).value_or(-1);
    }

    // "screen NAME" lines in a script write here.
    std::string screen_command(const std::string& name) const { return "screen " + (directory_ / name).string(); }

    // The 24 rows a script saved, each padded to 80 columns.
    std::vector<std::string> screen(const std::string& name) const
    {
        std::vector<std::string> rows;
        std::istringstream in(read_file(directory_ / name));
        for (std::string row; std::getline(in, row);) {
            row.resize(std::max<std::size_t>(row.size(), 80), ' ');
            rows.push_back(row);
        }
        rows.resize(24, std::string(80, ' '));
        return rows;
    }

    // The requests the board received, in order: argument characters, then
    // the command code as "<XX>" (for example "1234<22>").
    std::vector<std::string> requests() const
    {
        std::vector<std::string> result;
        std::istringstream log(read_file(directory_ / "sim.log"));
        for (std::string line; std::getline(log, line);) {
            std::istringstream fields(line);
            std::string time, direction, byte;
            fields >> time >> direction;
            if (direction != "RX")
                continue;
            std::vector<int> bytes;
            while (fields >> byte)
                bytes.push_back(std::stoi(byte, nullptr, 16));
            std::string request;
            for (std::size_t i = 0; i < bytes.size(); ++i) {
                if (i + 1 == bytes.size()) {
                    char code[8];
                    std::snprintf(code, sizeof code, "<%02X>", bytes[i]);
                    request += code;
                } else {
                    request.push_back(static_cast<char>(bytes[i]));
                }
            }
            result.push_back(request);
        }
        return result;
    }

    // The requests other than the dump page's row reads.
    std::vector<std::string> command_requests() const
    {
        std::vector<std::string> result;
        for (const std::string& request : requests()) {
            const bool dump_row = request.size() == 8 && request.substr(4) == "<1F>" && request[3] == '0' &&
                                  (request.substr(0, 2) == "00" || request.substr(0, 2) == "01");
            if (!dump_row)
                result.push_back(request);
        }
        return result;
    }

private:
    std::filesystem::path directory_;
    std::unique_ptr<ChildProcess> simulator_;
};

}  // namespace e2e
