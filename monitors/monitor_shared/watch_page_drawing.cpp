#include "watch_page_drawing.h"

#include "console_output.h"
#include "runtime/console/input_statements.h"
#include "runtime/core/frame.h"
#include "runtime/core/string_ops.h"
#include "runtime/files/device_table.h"
#include "runtime/files/field_input.h"
#include "runtime/files/file_operations.h"

namespace monitor {

using rt::stmt;

namespace {

constexpr int kLoadEnd = 1;  // label at the end of the load
constexpr ScreenPlace kLoadClear{1, 3};
constexpr int kLoadClearBlanks = 40;

}  // namespace

std::optional<WatchPage> load_watch_page(const std::string& fileName)
{
    bool failed = false;
    WatchPage page;
    rt::label_scope(kLoadEnd, [&] {
        if (failed)
            return;
        stmt(__LINE__, [&] { rt::CLOSE({kWatchFile}); });
        stmt(__LINE__, [&] {
            rt::ON_ERROR_GOTO([&] {
                stmt(__LINE__, [&] { rt::CLOSE({kWatchFile}); });
                stmt(__LINE__, [&] { failed = true; });
                stmt(__LINE__, [&] { rt::ON_ERROR_GOTO({}); });
                rt::RESUME_LABEL(kLoadEnd);
            });
        });
        stmt(__LINE__, [&] {
            rt::push_temp(fileName);
            rt::OPEN(1, 0, kWatchFile);
        });
        for (;;) {
            bool at_end = false;
            stmt(__LINE__, [&] { at_end = rt::FILE_EOF(kWatchFile) != 0; });
            if (at_end)
                break;
            WatchFields fields;
            stmt(__LINE__, [&] { rt::INPUT_FROM_FILE(kWatchFile); });
            stmt(__LINE__, [&] {
                rt::StrVar items[5];
                const rt::InputTarget targets[5] = {items[0], items[1], items[2], items[3], items[4]};
                rt::INPUT_VARS(targets);
                for (std::size_t i = 0; i < fields.size(); ++i)
                    fields[i] = items[i].str();
            });
            stmt(__LINE__, [&] { add_watch_entry(page, make_watch_entry(std::move(fields))); });
        }
        stmt(__LINE__, [&] { finish_watch_page(page); });
        stmt(__LINE__, [&] { rt::CLOSE({kWatchFile}); });
        stmt(__LINE__, [&] { rt::ON_ERROR_GOTO({}); });
    });
    if (failed)
        return std::nullopt;
    stmt(__LINE__, [&] { locate(kLoadClear); });
    stmt(__LINE__, [&] { print_blanks(kLoadClearBlanks, kEndLine); });
    return page;
}

void draw_watch_entries(const WatchPage& page)
{
    for (const WatchEntry& entry : page.entries) {
        stmt(__LINE__, [&] { locate(label_place(entry)); });
        stmt(__LINE__, [&] { print(entry.label); });
        stmt(__LINE__, [&] { locate(static_text_place(entry, page)); });
        stmt(__LINE__, [&] { print(watch_static_text(entry)); });
    }
}

void show_watch_value(const WatchEntry& entry, std::string_view reply, MonitorKind monitor,
                      std::int16_t byteOrderSetting, ValueContext context)
{
    const std::optional<ValueOutput> output = watch_value_output(entry.format, reply, monitor, byteOrderSetting, context);
    if (!output)
        return;
    if (output->eraseBlanks > 0) {
        stmt(__LINE__, [&] { print_blanks(output->eraseBlanks); });
        stmt(__LINE__, [&] {
            const ScreenPlace place = value_place(entry);
            locate(place.column + output->locateShift, place.row);
        });
    }
    stmt(__LINE__, [&] { print(output->text, output->lineEnd ? kEndLine : kNoEnd); });
}

}  // namespace monitor
