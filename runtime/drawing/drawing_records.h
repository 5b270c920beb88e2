// Drawing state that persists between drawing statements: the last point of
// each window (logical coordinates) and the pen defaults.
#pragma once

#include <map>

#include "host/message.h"
#include "runtime/drawing/raster_operation.h"
#include "runtime/core/runtime.h"

namespace rt::drawing {

struct LogicalPoint {
    float x = 0.0f;
    float y = 0.0f;
};

struct WindowDrawingState {
    LogicalPoint last_point{};
    RasterOperation raster = RasterOperation::Copy;  // the window's current raster operation
};

class DrawingRecords : public RuntimeExtension {
public:
    WindowDrawingState& window(host::WindowId id) { return windows_[id]; }

private:
    std::map<host::WindowId, WindowDrawingState> windows_;
};

// The drawing records of the current runtime, installed on first use.
DrawingRecords& current_drawing_records();

}  // namespace rt::drawing
