// The 16 directory search slots (directory numbers 1..16): list the names of
// one directory that match a pattern such as "*.DAT", without regard to case.
//
// A pattern may name a directory before its last "/" (or single-byte "\");
// a leading drive letter is dropped as for disk file names. Entries are
// returned in the order the file system gives them; "." and ".." are left
// out. The attribute letters of item 4 are derived from the host:
// "D" a directory, "R" no write permission for the owner, "A" a regular file.
#pragma once

#include <dirent.h>

#include <array>
#include <cstdint>
#include <ctime>
#include <memory>
#include <string>
#include <string_view>

namespace rt {

inline constexpr int kDirectorySlots = 16;
inline constexpr std::size_t kMaxPatternLength = 260;

// What the search knows of its current entry.
struct DirectoryEntry {
    std::string name;
    bool is_directory = false;
    bool read_only = false;
    bool is_regular = false;
    std::uint64_t size = 0;
    std::time_t last_write = 0;
};

// Texts of DIR_INFO: 0 name, 1 size ("0" for a directory), 2 local date
// "yyyy/mm/dd", 3 local time "hh:mm:ss", 4 the letters D, R and A or "-".
std::string directory_entry_text(const DirectoryEntry& entry, int item);

class DirectoryTable {
public:
    DirectoryTable() = default;
    DirectoryTable(const DirectoryTable&) = delete;
    DirectoryTable& operator=(const DirectoryTable&) = delete;

    // Raise 50 (number outside 1..16), 5, 52, 54 and 57 as the operations define.
    void open(int number, std::string_view pattern);
    void next(int number);
    bool at_end(int number);
    std::string info(int number, int item);
    void close(int number);
    void close_all() noexcept;

private:
    struct DirectoryCloser {
        void operator()(DIR* d) const noexcept { ::closedir(d); }
    };
    struct Slot {
        bool open = false;
        bool started = false;
        bool has_entry = false;
        std::unique_ptr<DIR, DirectoryCloser> search;
        std::string directory;     // host directory to search
        std::string name_pattern;  // pattern for the entry names
        DirectoryEntry entry;
    };
    Slot& slot(int number, std::uint16_t site);
    void fetch(Slot& s);

    std::array<Slot, kDirectorySlots> slots_;
};

// Runtime operations on the current program's directory table.
void DIR_OPEN(std::int16_t number);  // pops the pattern
void DIR_NEXT(std::int16_t number);
std::int16_t DIR_EOF(std::int16_t number);
void DIR_INFO(std::int16_t number, std::int16_t item);  // pushes the text
void DIR_CLOSE(std::int16_t number);

}  // namespace rt
