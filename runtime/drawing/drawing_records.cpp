#include "runtime/drawing/drawing_records.h"

#include <memory>

namespace rt::drawing {

DrawingRecords& current_drawing_records()
{
    Runtime& runtime = Runtime::current();
    if (DrawingRecords* records = runtime.find_extension<DrawingRecords>())
        return *records;
    return runtime.install(std::make_unique<DrawingRecords>());
}

}  // namespace rt::drawing
