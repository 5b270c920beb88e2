#include "runtime/drawing/line_draw.h"

#include <cmath>
#include <limits>

#include "runtime/drawing/drawing_records.h"
#include "runtime/console/console_records.h"
#include "runtime/console/palette.h"
#include "runtime/core/error.h"
#include "runtime/drawing/shape_raster.h"

namespace rt {

namespace {

namespace site {
inline constexpr std::uint16_t kNoWindow = 0x3901;
inline constexpr std::uint16_t kDrawingDisabled = 0x3902;
inline constexpr std::uint16_t kWindowGone = 0x3904;
inline constexpr std::uint16_t kBadColour = 0x3905;
inline constexpr std::uint16_t kBadFillColour = 0x3906;
inline constexpr std::uint16_t kStartOverflow = 0x3908;
inline constexpr std::uint16_t kEndOverflow = 0x3909;
inline constexpr std::uint16_t kDeviceRange = 0x390A;
}  // namespace site

float checked_sum(float a, float b, std::uint16_t site_code)
{
    float sum = a + b;
    if (!std::isfinite(sum))
        RAISE_ERROR(err::kOverflow, site_code);
    return sum;
}

// Logical to device coordinates: with the pixel mapping they are the same,
// rounded to the nearest pixel; outside the int range is an overflow.
int to_device(float v)
{
    if (!std::isfinite(v) || std::fabs(v) >= 1.0e9f)
        RAISE_ERROR(err::kOverflow, site::kDeviceRange);
    return static_cast<int>(std::lround(v));
}

host::Rect united(const host::Rect& a, const host::Rect& b)
{
    if (a.empty())
        return b;
    if (b.empty())
        return a;
    return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right), std::max(a.bottom, b.bottom)};
}

host::Rect draw_shape(host::Surface& surface, std::uint16_t shape, drawing::Point start, drawing::Point end,
                      const drawing::Pen& pen, const std::uint32_t* fill)
{
    if (shape == line_shape::kLine) {
        auto points = drawing::line_points(start, end);
        return drawing::draw_polyline(surface, points.data(), static_cast<int>(points.size()), pen);
    }
    return drawing::draw_box(surface, drawing::box_rect(start, end), pen, shape == line_shape::kFilledBox ? fill : nullptr);
}

}  // namespace

void LINE_DRAW(std::uint32_t window_reference, std::int32_t start_relative, float x1, float y1, std::int32_t end_relative,
               float x2, float y2, std::uint16_t draw_mode, std::uint16_t colour, std::uint16_t shape,
               std::uint16_t fill_colour, std::uint16_t /*line_style: only solid pens exist here*/,
               std::uint32_t given_flags)
{
    console::ConsoleWindow& window = console::resolve_window(window_reference, site::kNoWindow);
    if (window_reference == 0 && Runtime::current().options().drawing_disabled)
        RAISE_ERROR(err::kDeviceAccessDisabled, site::kDrawingDisabled);
    if (!window.alive())
        RAISE_ERROR(err::kBadWindow, site::kWindowGone);
    const bool colour_given = (given_flags & line_flags::kColourGiven) != 0;
    const bool fill_given = (given_flags & line_flags::kFillGiven) != 0;
    if (colour_given && colour > 15)
        RAISE_ERROR(err::kIllegalArgument, site::kBadColour);
    if (shape == line_shape::kFilledBox && fill_given && fill_colour > 15)
        RAISE_ERROR(err::kIllegalArgument, site::kBadFillColour);

    drawing::WindowDrawingState& state = drawing::current_drawing_records().window(window.id());
    drawing::LogicalPoint start = state.last_point;
    if (given_flags & line_flags::kStartGiven)
        start = {x1, y1};
    if (start_relative != 0)
        start = {checked_sum(start.x, state.last_point.x, site::kStartOverflow),
                 checked_sum(start.y, state.last_point.y, site::kStartOverflow)};
    drawing::LogicalPoint end{x2, y2};
    if (end_relative != 0)
        end = {checked_sum(end.x, start.x, site::kEndOverflow), checked_sum(end.y, start.y, site::kEndOverflow)};
    const drawing::Point device_start{to_device(start.x), to_device(start.y)};
    const drawing::Point device_end{to_device(end.x), to_device(end.y)};

    console::ConsoleScreen& screen = window.screen();
    const auto& palette = console::text_palette();
    drawing::Pen pen;
    pen.colour = palette[colour_given ? colour : (screen.state().drawing_colour & 15)];
    pen.op = draw_mode == kDrawModeNotGiven ? state.raster : drawing::raster_operation_from_mode(draw_mode);
    const std::uint32_t fill = fill_given ? palette[fill_colour & 15] : pen.colour;

    if (shape <= line_shape::kFilledBox) {
        host::Rect area{};
        host::FrontEnd* front_end = screen.front_end();
        host::Surface* window_pixels = front_end != nullptr ? front_end->window_pixels(window.id()) : nullptr;
        if (window_pixels != nullptr && !screen.state().minimised()) {
            // The window shows the screen from its view origin; logical coordinates are screen pixels.
            const int ox = screen.state().view_column * screen.state().cell_width;
            const int oy = screen.state().view_row * screen.state().cell_height;
            const drawing::Point ws{device_start.x - ox, device_start.y - oy};
            const drawing::Point we{device_end.x - ox, device_end.y - oy};
            host::Rect shown = draw_shape(*window_pixels, shape, ws, we, pen, &fill);
            if (!shown.empty())
                front_end->pixels_changed(window.id(), shown);
        }
        area = united(area, draw_shape(screen.graphics_layer(), shape, device_start, device_end, pen, &fill));
        if (window_pixels == nullptr && !area.empty()) {
            // Cell front ends show layer pixels when rows are repainted.
            const int cell_height = screen.state().cell_height;
            const int first = area.top / cell_height;
            const int last = (area.bottom - 1) / cell_height;
            screen.draw_rows(first, last - first + 1);
        }
    }
    state.last_point = end;
}

}  // namespace rt
