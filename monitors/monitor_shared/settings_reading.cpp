#include "settings_reading.h"

#include <cstdint>
#include <string>

#include "runtime/console/input_statements.h"
#include "runtime/core/frame.h"
#include "runtime/core/string_ops.h"
#include "runtime/files/device_table.h"
#include "runtime/files/field_input.h"
#include "runtime/files/file_operations.h"

namespace monitor {

using rt::stmt;

namespace {
constexpr std::int32_t kSettingsFile = 1;
}  // namespace

bool read_settings_file(Settings& settings, MonitorKind monitor)
{
    bool startAddressRead = false;
    stmt(__LINE__, [&] {
        rt::push_temp("QK.DEF");
        rt::OPEN(1, 3, kSettingsFile);
    });
    for (;;) {
        bool at_end = false;
        stmt(__LINE__, [&] { at_end = rt::FILE_EOF(kSettingsFile) != 0; });
        if (at_end)
            break;
        std::string record;
        stmt(__LINE__, [&] { rt::INPUT_FROM_FILE(kSettingsFile); });
        stmt(__LINE__, [&] {
            rt::StrVar item;
            const rt::InputTarget target(item);
            rt::INPUT_VARS(std::span<const rt::InputTarget>(&target, 1));
            record = item.str();
        });
        stmt(__LINE__, [&] {
            if (apply_settings_record(record, settings, monitor))
                startAddressRead = true;
        });
    }
    stmt(__LINE__, [&] { rt::CLOSE({kSettingsFile}); });
    return startAddressRead;
}

}  // namespace monitor
