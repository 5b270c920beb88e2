#include "watch_value_output.h"

namespace monitor {

std::optional<ValueOutput> watch_value_output(std::string_view format, std::string_view reply, MonitorKind monitor,
                                              std::int16_t byteOrderSetting, ValueContext context)
{
    const bool qk14 = monitor == MonitorKind::Qk14;
    const WatchValueStyle style = qk14 ? qk14_value_style(byteOrderSetting) : kQkP877WValueStyle;
    auto text = watch_value_text(format, reply, style);
    if (!text)
        return std::nullopt;
    ValueOutput output;
    output.text = std::move(*text);
    if (format == "Q" && context == ValueContext::WatchPage) {
        output.eraseBlanks = kWordEraseWidth;
        // QkP877W locates to the value column itself, one left of the blanks.
        output.locateShift = qk14 ? 0 : -1;
    }
    if (format == "W")
        output.lineEnd = !qk14 || context == ValueContext::ChangeRow;
    return output;
}

}  // namespace monitor
