#include "host/settings_store.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "host/file_descriptor.h"

namespace host {

namespace {

bool same_name(std::string_view a, std::string_view b) noexcept
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](unsigned char x, unsigned char y) {
        auto lower = [](unsigned char c) { return c >= 'A' && c <= 'Z' ? c + 32 : c; };
        return lower(x) == lower(y);
    });
}

std::string_view trim(std::string_view s) noexcept
{
    const auto first = s.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    const auto last = s.find_last_not_of(" \t");
    return s.substr(first, last - first + 1);
}

bool safe_text(std::string_view s) noexcept
{
    return s.find_first_of(std::string_view("\r\n\0", 3)) == std::string_view::npos;
}

bool safe_key(std::string_view key) noexcept
{
    const auto k = trim(key);
    return safe_text(key) && !k.empty() && k == key && key.find('=') == std::string_view::npos &&
           key.front() != '[' && key.front() != ';' && key.front() != '#';
}

bool safe_section(std::string_view section) noexcept
{
    return safe_text(section) && !section.empty() && trim(section) == section &&
           section.find(']') == std::string_view::npos;
}

// The file as sections of lines. Lines that are not values (comments, blank
// lines) are kept as they were when the file is written back.
struct Entry {
    bool is_value = false;
    std::string key;
    std::string value;
    std::string raw;
};

struct Section {
    std::string name;  // empty for the lines before the first section header
    std::vector<Entry> entries;
};

struct Document {
    std::vector<Section> sections;

    Section* find(std::string_view name)
    {
        auto it = std::find_if(sections.begin(), sections.end(), [&](const Section& s) {
            return !s.name.empty() && same_name(s.name, name);
        });
        return it == sections.end() ? nullptr : &*it;
    }
    Section& find_or_add(std::string_view name)
    {
        if (Section* s = find(name))
            return *s;
        return sections.emplace_back(Section{std::string(name), {}});
    }
};

Document parse(std::istream& in)
{
    Document doc;
    doc.sections.emplace_back();
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        const std::string_view t = trim(line);
        if (t.size() >= 2 && t.front() == '[' && t.find(']') != std::string_view::npos) {
            doc.sections.emplace_back(Section{std::string(trim(t.substr(1, t.rfind(']') - 1))), {}});
            continue;
        }
        Entry e;
        const auto eq = t.find('=');
        if (!t.empty() && t.front() != ';' && t.front() != '#' && eq != std::string_view::npos && eq > 0) {
            e.is_value = true;
            e.key = std::string(trim(t.substr(0, eq)));
            e.value = std::string(trim(t.substr(eq + 1)));
        } else {
            e.raw = line;
        }
        doc.sections.back().entries.push_back(std::move(e));
    }
    return doc;
}

Document load(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    if (!in)
        return Document{{Section{}}};
    return parse(in);
}

std::string serialise(const Document& doc)
{
    std::string out;
    for (const Section& s : doc.sections) {
        if (!s.name.empty())
            out += "[" + s.name + "]\n";
        for (const Entry& e : s.entries)
            out += e.is_value ? e.key + "=" + e.value + "\n" : e.raw + "\n";
    }
    return out;
}

bool write_all(int fd, std::string_view data) noexcept
{
    while (!data.empty()) {
        const ssize_t n = ::write(fd, data.data(), data.size());
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data.remove_prefix(std::size_t(n));
    }
    return true;
}

// Writes a temporary file beside `file`, flushes it to the disk and renames it
// over `file`.
bool replace_file(const std::filesystem::path& file, std::string_view contents)
{
    std::error_code ec;
    std::filesystem::path target = std::filesystem::weakly_canonical(file, ec);
    if (ec)
        target = file;
    if (target.has_parent_path())
        std::filesystem::create_directories(target.parent_path(), ec);
    std::string pattern = target.string() + ".XXXXXX";
    FileDescriptor fd(::mkstemp(pattern.data()));
    if (!fd.valid())
        return false;
    struct stat old {};
    if (::stat(target.c_str(), &old) == 0)
        ::fchmod(fd.get(), old.st_mode & 07777);
    const bool ok = write_all(fd.get(), contents) && ::fsync(fd.get()) == 0 && fd.close() &&
                    ::rename(pattern.c_str(), target.c_str()) == 0;
    if (!ok)
        ::unlink(pattern.c_str());
    return ok;
}

}  // namespace

std::filesystem::path SettingsStore::user_file()
{
    if (const char* explicit_file = std::getenv("QK_SETTINGS_FILE"); explicit_file && *explicit_file)
        return explicit_file;
    std::filesystem::path base;
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg)
        base = xdg;
    else if (const char* home = std::getenv("HOME"); home && *home)
        base = std::filesystem::path(home) / ".config";
    else
        base = ".config";
    return base / "qkmonitors" / "settings.ini";
}

SettingsStore SettingsStore::for_user()
{
    return SettingsStore(user_file());
}

std::optional<std::string> SettingsStore::get_string(std::string_view section, std::string_view key) const
{
    Document doc = load(file_);
    const Section* s = doc.find(section);
    if (!s)
        return std::nullopt;
    for (const Entry& e : s->entries)
        if (e.is_value && same_name(e.key, key))
            return e.value;
    return std::nullopt;
}

std::optional<std::uint32_t> SettingsStore::get_u32(std::string_view section, std::string_view key) const
{
    const auto text = get_string(section, key);
    if (!text || text->empty())
        return std::nullopt;
    std::string_view digits = *text;
    int base = 10;
    if (digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X')) {
        digits.remove_prefix(2);
        base = 16;
    }
    std::uint32_t value = 0;
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value, base);
    if (ec != std::errc{} || end != digits.data() + digits.size())
        return std::nullopt;
    return value;
}

std::vector<std::pair<std::string, std::string>> SettingsStore::entries(std::string_view section) const
{
    std::vector<std::pair<std::string, std::string>> out;
    Document doc = load(file_);
    if (const Section* s = doc.find(section))
        for (const Entry& e : s->entries)
            if (e.is_value)
                out.emplace_back(e.key, e.value);
    return out;
}

bool SettingsStore::set_string(std::string_view section, std::string_view key, std::string_view value)
{
    return set_values(section, {Setting::text(key, value)});
}

bool SettingsStore::set_u32(std::string_view section, std::string_view key, std::uint32_t value)
{
    return set_values(section, {Setting::number(key, value)});
}

bool SettingsStore::set_values(std::string_view section, const std::vector<Setting>& values)
{
    if (!safe_section(section))
        return false;
    for (const Setting& v : values)
        if (!safe_key(v.key) || !safe_text(v.value))
            return false;
    Document doc = load(file_);
    Section& s = doc.find_or_add(section);
    for (const Setting& v : values) {
        auto it = std::find_if(s.entries.begin(), s.entries.end(),
                               [&](const Entry& e) { return e.is_value && same_name(e.key, v.key); });
        if (it != s.entries.end())
            it->value = std::string(trim(v.value));
        else
            s.entries.push_back(Entry{true, v.key, std::string(trim(v.value)), {}});
    }
    return replace_file(file_, serialise(doc));
}

bool SettingsStore::remove(std::string_view section, std::string_view key)
{
    Document doc = load(file_);
    Section* s = doc.find(section);
    if (!s)
        return true;
    const auto removed = std::erase_if(s->entries, [&](const Entry& e) { return e.is_value && same_name(e.key, key); });
    return removed == 0 || replace_file(file_, serialise(doc));
}

}  // namespace host
