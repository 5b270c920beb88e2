// The resident monitor of a target board: its memory, its I/O ports and the
// answer it gives to each request.
//
// Requests and their replies (reply text without the closing CR; digits are
// upper-case hexadecimal, lowest address first):
//   aaaa + 1F                read 16 bytes            -> 32 digits
//   aaaa + 10..1E            read code-0x0F bytes      -> 2 digits per byte
//   aaaa dd.. + 00..1E       write code+1 bytes        -> the bytes read back
//   aaaab + 20 / 21          clear / set bit b          -> the new byte
//   ppdd + 22                output dd to port pp       -> dd
//   pp + 23                  input from port pp         -> the port's byte
//   ppb + 24 / 25            port bit low / high        -> the new port byte
// Codes 1F-25 take the last digits when more than needed arrive (the monitor
// shifts digits through a fixed argument register); too few digits, a bit
// number above 7, an unknown code, or a 00-1E code with a digit count that
// matches neither a read nor a write give no reply at all.
// The PIC16F877 board has memory 000-1FF and no I/O ports (codes 22-25 are
// not answered). Addresses wrap within the board's memory.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tools/target-sim/board_request.h"

namespace sim {

enum class BoardKind { Z80, Pic };

class TargetBoard {
public:
    explicit TargetBoard(BoardKind kind);

    BoardKind kind() const noexcept { return kind_; }
    std::uint32_t memory_size() const noexcept { return static_cast<std::uint32_t>(memory_.size()); }

    std::uint8_t peek(std::uint32_t address) const noexcept { return memory_[address % memory_.size()]; }
    void poke(std::uint32_t address, std::uint8_t value) noexcept { memory_[address % memory_.size()] = value; }
    std::uint8_t port(std::uint8_t number) const noexcept { return ports_[number]; }
    void set_port(std::uint8_t number, std::uint8_t value) noexcept { ports_[number] = value; }

    // Carries out the request; the reply text without its end byte, or
    // nothing when the monitor does not answer.
    std::optional<std::string> answer(const BoardRequest& request);

private:
    std::string read_memory(std::uint32_t address, std::uint32_t count) const;
    bool has_ports() const noexcept { return kind_ == BoardKind::Z80; }

    BoardKind kind_;
    std::vector<std::uint8_t> memory_;
    std::vector<std::uint8_t> ports_;
};

}  // namespace sim
