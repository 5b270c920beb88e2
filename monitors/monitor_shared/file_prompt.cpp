#include "file_prompt.h"

#include <array>
#include <cstdint>
#include <string_view>

#include "console_output.h"
#include "runtime/console/input_statements.h"
#include "runtime/core/frame.h"
#include "runtime/files/directory_search.h"
#include "runtime/files/field_input.h"

namespace monitor {

using rt::stmt;

namespace {

constexpr std::int16_t kDirectory = 1;
constexpr std::array<int, 4> kFileListColumns{10, 20, 30, 40};
constexpr std::string_view kFilePrompt = "File Name(*.DAT):";
constexpr std::int32_t kPromptAlone = 1;  // the prompt without "? "

}  // namespace

void list_watch_files(ScreenPlace start)
{
    stmt(__LINE__, [&] { locate(start); });
    stmt(__LINE__, [&] {
        rt::push_temp("*.DAT");
        rt::DIR_OPEN(kDirectory);
    });
    for (std::size_t shown = 0;; ++shown) {
        bool at_end = false;
        std::string name;
        stmt(__LINE__, [&] { rt::DIR_NEXT(kDirectory); });
        stmt(__LINE__, [&] { at_end = rt::DIR_EOF(kDirectory) != 0; });
        if (at_end)
            break;
        stmt(__LINE__, [&] {
            rt::DIR_INFO(kDirectory, 0);
            rt::PoppedString text;
            name = std::string(text.view());
            name.resize(name.size() >= 4 ? name.size() - 4 : 0);
        });
        const std::size_t slot = shown % kFileListColumns.size();
        stmt(__LINE__, [&] { locate(kFileListColumns[slot], rt::CURSOR_ROW(0)); });
        stmt(__LINE__, [&] { print(name, slot + 1 == kFileListColumns.size() ? kEndLine : kNoEnd); });
    }
    stmt(__LINE__, [&] { rt::DIR_CLOSE(kDirectory); });
}

std::string prompt_file_name(ScreenPlace place)
{
    std::string typed;
    stmt(__LINE__, [&] { locate(place); });
    stmt(__LINE__, [&] {
        rt::push_temp(kFilePrompt);
        rt::INPUT_PROMPT(0, kPromptAlone);
        rt::StrVar item;
        const rt::InputTarget target(item);
        rt::INPUT_VARS(std::span<const rt::InputTarget>(&target, 1));
        typed = item.str();
    });
    return typed;
}

}  // namespace monitor
