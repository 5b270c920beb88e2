// A runtime made current for one test, over a desktop without any output,
// and a helper that runs code and reports the error it raised.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <ostream>

#include "runtime/core/arrays.h"
#include "runtime/core/error.h"
#include "runtime/core/runtime.h"
#include "runtime/core/string_heap.h"
#include "runtime/core/string_stack.h"
#include "tests/support/raised_error.h"
#include "tests/support/silent_front_end.h"
#include "tests/support/test_runtime.h"

namespace core_values_test {

using qk_test::Raised;
using qk_test::raised_by;
using qk_test::SilentFrontEnd;

class RuntimeTest : public ::testing::Test {
protected:
    rt::StringHeap& heap() { return runtime_.runtime().heap(); }
    rt::StringStack& stack() { return runtime_.runtime().string_stack(); }
    rt::ArrayRegistry& arrays() { return runtime_.runtime().arrays(); }

private:
    qk_test::TestRuntime<> runtime_;
};

}  // namespace core_values_test
