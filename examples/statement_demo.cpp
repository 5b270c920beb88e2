// How application code is written on this runtime: every statement runs
// through stmt(__LINE__, ...), event subroutines are callables armed with
// ON_KEY_GOSUB / ON_TIMER_GOSUB, errors are trapped with ON_ERROR_GOTO and
// resumed three ways, and strings go through the typed facade so that their
// operands are pushed in source order.
//
//     statement_demo [--ui sdl|tty|headless] [--script FILE]
//
// F1 counts presses, the clock line ticks once a second, Esc ends the
// program with exit code 0 (Ctrl+C ends it through the user break).
#include <cstdint>

#include "runtime/console/keyboard_reads.h"
#include "runtime/console/print_statements.h"
#include "runtime/console/program_runner.h"
#include "runtime/core/basic_string.h"
#include "runtime/core/frame.h"
#include "runtime/core/number_conversions.h"
#include "runtime/core/number_text.h"
#include "runtime/core/program_options.h"

namespace {

using rt::concat;
using rt::lit;
using rt::stmt;
using rt::StrVar;

// Labels of the main routine (targets of RESUME_LABEL).
constexpr int kRetryLabel = 1;

struct DemoState {
    StrVar title;
    StrVar key;
    std::int32_t divisor = 0;
    int resume_kind = 0;  // which resume the error handler demonstrates next
    bool retried = false;
    std::int16_t presses = 0;
    std::int16_t seconds = 0;
};

// PRINT expression (followed by a line end).
template <rt::StringOperand E>
void print_line(E&& expression)
{
    rt::PRINT_TO_WINDOW(0);
    rt::push_operand(expression);
    rt::PRINT_STR(0);
}

// A number as decimal text, for concat().
auto decimal(const std::int16_t& value)
{
    return [&value] { rt::STR_S(value); };
}

void on_f1(DemoState& s)
{
    stmt(__LINE__, [&] { ++s.presses; });
    stmt(__LINE__, [&] { print_line(concat(lit("F1 pressed"), decimal(s.presses), lit(" times"))); });
}

void on_timer(DemoState& s)
{
    stmt(__LINE__, [&] { ++s.seconds; });
    stmt(__LINE__, [&] { print_line(concat(lit("clock"), decimal(s.seconds))); });
}

// The error handler: each error shows a different way back.
void on_error(DemoState& s)
{
    stmt(__LINE__, [&] {
        rt::push_operand(concat(lit("trapped error"), [] { rt::STR_S(std::int16_t(rt::GET_ERR())); }));
        rt::PRINT_TO_WINDOW(0);
        rt::PRINT_STR(0);
    });
    switch (s.resume_kind++) {
    case 0:
        stmt(__LINE__, [] { rt::RESUME_NEXT(); });  // skip the failed statement
        break;
    case 1:
        stmt(__LINE__, [&] { s.divisor = 4; });
        stmt(__LINE__, [] { rt::RESUME(); });  // run the failed statement again
        break;
    default:
        stmt(__LINE__, [] { rt::RESUME_LABEL(kRetryLabel); });  // continue at a label
        break;
    }
}

void demo_main()
{
    DemoState s;
    stmt(__LINE__, [&] { s.title = concat(lit("Statement"), lit(" "), lit("demo")); });
    stmt(__LINE__, [&] { print_line(concat(s.title, lit(": F1 counts, Esc ends"))); });

    stmt(__LINE__, [&] { rt::ON_KEY_GOSUB(1, [&] { on_f1(s); }); });
    stmt(__LINE__, [] { rt::KEY_CTRL(1, 1); });
    stmt(__LINE__, [] { rt::TIMER_INTERVAL(1); });
    stmt(__LINE__, [&] { rt::ON_TIMER_GOSUB([&] { on_timer(s); }); });
    stmt(__LINE__, [] { rt::TIMER_CTRL(1); });

    stmt(__LINE__, [&] { rt::ON_ERROR_GOTO([&] { on_error(s); }); });
    // Error 5 (the timer is armed), skipped by RESUME_NEXT.
    stmt(__LINE__, [] { rt::TIMER_INTERVAL(2); });
    // Division by zero: the handler sets a divisor and RESUME runs this again.
    stmt(__LINE__, [&] {
        rt::DIV_ZERO_CHECK(s.divisor);
        print_line(lit("divided after RESUME"));
    });
    // The label: RESUME_LABEL comes back here and the statement then succeeds.
    rt::label_scope(kRetryLabel, [&] {
        stmt(__LINE__, [&] { print_line(s.retried ? lit("back at the label") : lit("at the label")); });
        stmt(__LINE__, [&] {
            if (!s.retried) {
                s.retried = true;
                rt::TIMER_INTERVAL(0);
            }
        });
    });
    stmt(__LINE__, [] { rt::ON_ERROR_GOTO(nullptr); });

    for (;;) {
        stmt(__LINE__, [&] { s.key = [] { rt::INKEY(0); }; });
        stmt(__LINE__, [&] {
            if (rt::equal(s.key, lit("\x1b")))
                rt::END(0);
        });
    }
}

}  // namespace

int main(int argc, char** argv)
{
    return rt::start_program(argc, argv, rt::ProgramOptions{}, "StmtDemo", [] { demo_main(); });
}
