// LINE_DRAW on the main console window of a headless program.
#include <gtest/gtest.h>

#include <memory>

#include "host/desktop.h"
#include "host/headless_front_end.h"
#include "runtime/console/console_installation.h"
#include "runtime/console/console_records.h"
#include "runtime/console/palette.h"
#include "runtime/console/screen_statements.h"
#include "runtime/core/error.h"
#include "runtime/core/runtime.h"
#include "runtime/drawing/line_draw.h"
#include "runtime/files/device_table.h"

namespace {

class LineDrawTest : public ::testing::Test {
protected:
    LineDrawTest()
    {
        auto front = std::make_unique<host::HeadlessFrontEnd>();
        front_end_ = front.get();
        desktop_ = std::make_unique<host::Desktop>(std::move(front));
        runtime_ = std::make_unique<rt::Runtime>(rt::ProgramOptions{}, *desktop_, "Test", "test");
        scope_ = std::make_unique<rt::RuntimeScope>(*runtime_);
        runtime_->install(std::make_unique<rt::DeviceTable>(runtime_->options()));
        rt::console::install_console(*runtime_);
        window_ = rt::console::current_console()->main_window();
    }
    ~LineDrawTest() override
    {
        runtime_->release_all();
        scope_.reset();
        runtime_.reset();
    }

    void line(float x1, float y1, float x2, float y2, std::uint32_t flags = 3, std::uint16_t colour = 0)
    {
        rt::LINE_DRAW(0, 0, x1, y1, 0, x2, y2, rt::kDrawModeNotGiven, colour, rt::line_shape::kLine, 0,
                      rt::kLineStyleNotGiven, flags);
    }
    const host::Surface& layer() { return window_->screen().graphics_layer(); }
    std::uint32_t drawing_colour_value() { return rt::console::text_palette()[window_->screen().state().drawing_colour]; }

    host::HeadlessFrontEnd* front_end_ = nullptr;
    std::unique_ptr<host::Desktop> desktop_;
    std::unique_ptr<rt::Runtime> runtime_;
    std::unique_ptr<rt::RuntimeScope> scope_;
    rt::console::ConsoleWindow* window_ = nullptr;
};

int uncaught_error(const std::function<void()>& f)
{
    try {
        f();
    } catch (const rt::RuntimeError& e) {
        return e.number();
    }
    return 0;
}

}  // namespace

TEST_F(LineDrawTest, DumpPageLinesLandOnWindowAndLayer)
{
    window_->screen().state().drawing_colour = 12;
    line(48, 197, 424, 197);
    line(236, 56, 236, 340);
    const std::uint32_t c = drawing_colour_value();
    host::Surface* shown = front_end_->window_pixels(window_->id());
    ASSERT_NE(shown, nullptr);
    for (int x = 48; x <= 424; ++x) {
        ASSERT_EQ(layer().pixel(x, 197), c) << x;
        ASSERT_EQ(shown->pixel(x, 197), c) << x;
    }
    EXPECT_NE(layer().pixel(425, 197), c);
    EXPECT_EQ(layer().pixel(236, 56), c);
    EXPECT_EQ(layer().pixel(236, 340), c);
    EXPECT_NE(layer().pixel(236, 341), c);
}

TEST_F(LineDrawTest, StartNotGivenContinuesFromTheLastPoint)
{
    line(10, 10, 30, 10);
    line(0, 0, 30, 40, /*flags: start not given*/ 2);
    const std::uint32_t c = drawing_colour_value();
    EXPECT_EQ(layer().pixel(30, 25), c);  // the second line runs from (30, 10) down
    EXPECT_NE(layer().pixel(0, 0), c);
}

TEST_F(LineDrawTest, RelativeEndIsAnOffsetFromTheStart)
{
    rt::LINE_DRAW(0, 0, 100, 100, 1, 5, 0, rt::kDrawModeNotGiven, 0, rt::line_shape::kLine, 0, rt::kLineStyleNotGiven, 3);
    const std::uint32_t c = drawing_colour_value();
    EXPECT_EQ(layer().pixel(105, 100), c);
    EXPECT_NE(layer().pixel(106, 100), c);
}

TEST_F(LineDrawTest, ColourChecksAndFailuresLeaveTheLastPointAlone)
{
    line(1, 1, 5, 1);
    EXPECT_EQ(uncaught_error([&] { line(50, 50, 60, 50, 3 | rt::line_flags::kColourGiven, 16); }), rt::err::kIllegalArgument);
    // Colour 16 without the given bit is ignored: the drawing colour is used.
    EXPECT_EQ(uncaught_error([&] { line(50, 60, 60, 60, 3, 16); }), 0);
    EXPECT_EQ(layer().pixel(55, 60), drawing_colour_value());
    // Given colour 9 is used instead of the drawing colour.
    line(50, 70, 60, 70, 3 | rt::line_flags::kColourGiven, 9);
    EXPECT_EQ(layer().pixel(55, 70), rt::console::text_palette()[9]);
    EXPECT_EQ(uncaught_error([&] {
                  rt::LINE_DRAW(0, 0, 0, 0, 0, 5, 5, rt::kDrawModeNotGiven, 0, rt::line_shape::kFilledBox, 20,
                                rt::kLineStyleNotGiven, 3 | rt::line_flags::kFillGiven);
              }),
              rt::err::kIllegalArgument);
    EXPECT_EQ(uncaught_error([&] { line(0, 0, 3.0e38f, 0); }), rt::err::kOverflow);
    // The failures above did not move the last point: a continued line starts at (60, 70).
    line(0, 0, 60, 80, 2);
    EXPECT_EQ(layer().pixel(60, 75), drawing_colour_value());
}

TEST_F(LineDrawTest, OtherShapesDrawNothingButMoveTheLastPoint)
{
    host::Surface before = layer();
    rt::LINE_DRAW(0, 0, 5, 5, 0, 50, 50, rt::kDrawModeNotGiven, 0, 7, 0, rt::kLineStyleNotGiven, 3);
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 60; ++x)
            ASSERT_EQ(layer().pixel(x, y), before.pixel(x, y));
    line(0, 0, 50, 60, 2);
    EXPECT_EQ(layer().pixel(50, 55), drawing_colour_value());
}

TEST_F(LineDrawTest, ClearingTheGraphicsLayerRemovesLinesFromLayerAndWindow)
{
    line(48, 197, 424, 197);
    const std::uint32_t c = drawing_colour_value();
    ASSERT_EQ(layer().pixel(100, 197), c);
    rt::CLS(0, 5);
    host::Surface* shown = front_end_->window_pixels(window_->id());
    EXPECT_NE(layer().pixel(100, 197), c);
    EXPECT_NE(shown->pixel(100, 197), c);
    // Text mode 1 (the scroll region) leaves the layer alone.
    line(48, 197, 424, 197);
    rt::CLS(0, 1);
    EXPECT_EQ(layer().pixel(100, 197), c);
}

TEST_F(LineDrawTest, TextPrintedOverALineKeepsItVisible)
{
    line(0, 197, 200, 197);
    const std::uint32_t c = drawing_colour_value();
    // Row 10 holds y = 197 (cells are 18 pixels high); repainting it restores the layer first.
    window_->screen().draw_rows(10, 1);
    host::Surface* shown = front_end_->window_pixels(window_->id());
    EXPECT_EQ(shown->pixel(100, 197), c);
}
