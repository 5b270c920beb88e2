// The string functions as runtime operations: operands from the string stack,
// results pushed as temporaries, errors raised with nothing left behind.
#include <gtest/gtest.h>

#include <string>

#include "runtime/core/basic_string.h"
#include "runtime/core/number_text.h"
#include "runtime/core/string_functions.h"
#include "tests/core_strings/string_runtime_fixture.h"

namespace {

using core_strings_test::error_raised_by;
using namespace std::string_literals;

class StringFunctionStack : public core_strings_test::StringRuntimeTest {};

constexpr std::uint32_t kTooLarge = 0x80000000u;

// True when `text` has the shape of `pattern`: '9' stands for any digit,
// every other character for itself.
bool has_shape(std::string_view text, std::string_view pattern)
{
    if (text.size() != pattern.size())
        return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        bool digit = text[i] >= '0' && text[i] <= '9';
        if (pattern[i] == '9' ? !digit : text[i] != pattern[i])
            return false;
    }
    return true;
}

TEST_F(StringFunctionStack, LeftRightAndMid)
{
    push("ABC");
    rt::LEFT_S(0);
    EXPECT_EQ(pop_text(), "");
    push("ABC");
    rt::LEFT_S(10);
    EXPECT_EQ(pop_text(), "ABC");
    push("ABC");
    rt::RIGHT_S(2);
    EXPECT_EQ(pop_text(), "BC");
    push("ABC");
    rt::RIGHT_S(7);
    EXPECT_EQ(pop_text(), "ABC");
    push("ABC");
    rt::MID_S(3, 5);
    EXPECT_EQ(pop_text(), "C");
    push("ABC");
    rt::MID_S(4, 1);
    EXPECT_EQ(pop_text(), "");
    push("ABCDE");
    rt::MID_S(2, 3);
    EXPECT_EQ(pop_text(), "BCD");
    push("\x82\xA0\x82\xA2");
    rt::LEFT_S(3);  // cuts inside a double-byte character
    EXPECT_EQ(pop_text(), "\x82\xA0\x82");
    expect_clean();
}

TEST_F(StringFunctionStack, VariableOperandIsReadNotReleased)
{
    rt::StrVar v;
    v.set("HELLO");
    rt::STR_PUSH_VAR(v.descriptor());
    rt::MID_S(2, 3);
    EXPECT_EQ(pop_text(), "ELL");
    rt::STR_PUSH_VAR(v.descriptor());
    rt::UCASE_S();
    EXPECT_EQ(pop_text(), "HELLO");
    EXPECT_EQ(v.str(), "HELLO");
    expect_clean(1);
}

TEST_F(StringFunctionStack, CountsAndPositionsOutOfRangeRaiseFive)
{
    const std::pair<const char*, std::function<void()>> cases[] = {
        {"LEFT$", [] { rt::LEFT_S(kTooLarge); }},
        {"RIGHT$", [] { rt::RIGHT_S(kTooLarge); }},
        {"MID$ start 0", [] { rt::MID_S(0, 1); }},
        {"MID$ start", [] { rt::MID_S(kTooLarge, 1); }},
        {"MID$ count", [] { rt::MID_S(1, kTooLarge); }},
        {"STRING$ count", [] { rt::STRING_S(kTooLarge); }},
        {"CHAR_COUNT mode", [] { rt::CHAR_COUNT(3); }},
    };
    for (const auto& [name, operation] : cases) {
        push("some temporary text");
        EXPECT_EQ(error_raised_by(operation), rt::err::kIllegalArgument) << name;
        expect_clean();
    }
    EXPECT_EQ(error_raised_by([] { rt::SPACE_S(kTooLarge); }), rt::err::kIllegalArgument);
    expect_clean();
}

TEST_F(StringFunctionStack, ErrorsLeaveVariableOperandsAlone)
{
    rt::StrVar v;
    v.set("ABC");
    rt::STR_PUSH_VAR(v.descriptor());
    EXPECT_EQ(error_raised_by([] { rt::MID_S(0, 1); }), rt::err::kIllegalArgument);
    EXPECT_EQ(v.str(), "ABC");
    expect_clean(1);
}

TEST_F(StringFunctionStack, SpaceAndString)
{
    rt::SPACE_S(3);
    EXPECT_EQ(pop_text(), "   ");
    rt::SPACE_S(0);
    EXPECT_EQ(pop_text(), "");
    push("xy");
    rt::STRING_S(3);
    EXPECT_EQ(pop_text(), "xxx");
    push("\x81\x40");
    rt::STRING_S(3);  // a lead byte repeats on its own
    EXPECT_EQ(pop_text(), "\x81\x81\x81");
    push("x");
    rt::STRING_S(0);
    EXPECT_EQ(pop_text(), "");
    push("");
    EXPECT_EQ(error_raised_by([] { rt::STRING_S(3); }), rt::err::kIllegalArgument);
    expect_clean();
}

TEST_F(StringFunctionStack, ChrAndAsc)
{
    rt::CHR_S({65, 66, 67});
    EXPECT_EQ(pop_text(), "ABC");
    rt::CHR_S({0, 255});
    EXPECT_EQ(pop_text(), "\0\xFF"s);
    EXPECT_EQ(error_raised_by([] { rt::CHR_S({65, 256}); }), rt::err::kIllegalArgument);
    EXPECT_EQ(error_raised_by([] { rt::CHR_S({0xFFFFFFFFu}); }), rt::err::kIllegalArgument);
    push("A");
    EXPECT_EQ(rt::ASC(), 65);
    push("\xFF" "A");
    EXPECT_EQ(rt::ASC(), 255);
    push("");
    EXPECT_EQ(error_raised_by([] { rt::ASC(); }), rt::err::kIllegalArgument);
    expect_clean();
}

TEST_F(StringFunctionStack, UpperCaseAndCharacterCount)
{
    push("ab\x82" "a" "z");
    rt::UCASE_S();
    EXPECT_EQ(pop_text(), "AB\x82" "aZ");
    const std::string mixed = "\x82\xA0" "a" "\x88\x9F" "bc";
    const std::int32_t expected[] = {5, 3, 2};
    for (std::uint16_t mode : {0, 1, 2}) {
        push(mixed);
        EXPECT_EQ(rt::CHAR_COUNT(mode), expected[mode]) << mode;
    }
    push("");
    EXPECT_EQ(rt::CHAR_COUNT(0), 0);
    expect_clean();
}

TEST_F(StringFunctionStack, NumberConversions)
{
    rt::HEX_S(-1);
    EXPECT_EQ(pop_text(), "FFFFFFFF");
    rt::HEX_S(4096);
    EXPECT_EQ(pop_text(), "1000");
    rt::STR_S(7);
    EXPECT_EQ(pop_text(), " 7");
    rt::STR_S(-32768);
    EXPECT_EQ(pop_text(), "-32768");
    push("&H1F00");
    EXPECT_EQ(rt::VAL(), 7936);
    push("  12");
    EXPECT_EQ(rt::VAL(), 12);
    push("1E39");
    EXPECT_EQ(error_raised_by([] { rt::VAL(); }), rt::err::kOverflow);
    expect_clean();
}

TEST_F(StringFunctionStack, DateAndTime)
{
    push("");
    rt::DATE_S();
    EXPECT_TRUE(has_shape(pop_text(), "99/99/99"));
    push("yyyy-mm-dd!");
    rt::DATE_S();
    std::string date = pop_text();
    EXPECT_TRUE(has_shape(date, "9999-99-99!")) << date;
    EXPECT_EQ(date.substr(0, 4), std::to_string(rt::local_calendar_time().year));
    rt::TIME_S();
    EXPECT_TRUE(has_shape(pop_text(), "99:99:99"));
    expect_clean();
}

TEST_F(StringFunctionStack, BeepRingsTheDesktopBell)
{
    rt::BEEP();
    rt::BEEP();
    EXPECT_EQ(bells(), 2);
}

TEST_F(StringFunctionStack, FailedAllocationLeavesNothingBehind)
{
    // The operand fills most of the first heap unit, so the result needs growth.
    push(std::string(40000, 'a'));
    heap().fail_next_allocation();
    EXPECT_NE(error_raised_by([] { rt::UCASE_S(); }), 0);
    expect_clean();

    push(std::string(40000, 'a'));
    heap().fail_next_allocation();
    EXPECT_NE(error_raised_by([] { rt::LEFT_S(40000); }), 0);
    expect_clean();
}

TEST_F(StringFunctionStack, FullStackRaisesSixteenWithoutOrphans)
{
    for (int i = 0; i < rt::StringStack::kCapacity; ++i)
        push("x");
    EXPECT_EQ(error_raised_by([] { rt::SPACE_S(2); }), rt::err::kStringStackFull);
    expect_clean();
    for (int i = 0; i < rt::StringStack::kCapacity; ++i)
        push("x");
    EXPECT_EQ(error_raised_by([] { rt::HEX_S(1); }), rt::err::kStringStackFull);
    expect_clean();
}

TEST_F(StringFunctionStack, ExpressionFormsNest)
{
    rt::StrVar greeting;
    greeting.set("hello world");
    rt::StrVar word;
    word = rt::ucase_s(rt::mid_s(greeting, 7, 5));
    EXPECT_EQ(word.str(), "WORLD");
    EXPECT_EQ(rt::value_of(rt::concat(rt::left_s(greeting, 5), rt::right_s(word, 1))), "helloD");
    EXPECT_EQ(rt::value_of(rt::concat(rt::hex_s(255), rt::str_s(7), rt::space_s(1), rt::chr_s(65))), "FF 7 A");
    EXPECT_EQ(rt::value_of(rt::string_s(3, rt::lit("xyz"))), "xxx");
    EXPECT_EQ(rt::val(rt::concat(rt::lit("&H"), rt::lit("1F"))), 31);
    EXPECT_EQ(rt::asc(rt::right_s(greeting, 1)), 'd');
    EXPECT_EQ(rt::char_count(greeting, 0), 11);
    EXPECT_EQ(rt::value_of(rt::date_s(rt::lit("yyyy"))).size(), 4u);
    EXPECT_EQ(rt::value_of(rt::time_s()).size(), 8u);
    expect_clean(2);
}

TEST_F(StringFunctionStack, ResultsSurviveCompaction)
{
    // Heap: a released block, the operand (a variable), a live temporary that
    // fills the unit. Making the result compacts: the operand slides down, the
    // temporary slides onto the operand's old place, and the result is read
    // from where the operand is now.
    const std::string operand = std::string(19999, 'c') + "d";
    auto run = [&](auto operation) {
        push(std::string(20000, 'a'));
        pop_text();
        rt::StrVar variable;
        variable.set(operand);
        push(std::string(25000, 'x'));
        rt::STR_PUSH_VAR(variable.descriptor());
        operation();
        std::string result = pop_text();
        pop_text();
        EXPECT_EQ(variable.str(), operand);
        return result;
    };
    EXPECT_EQ(run([] { rt::UCASE_S(); }), std::string(19999, 'C') + "D");
    EXPECT_EQ(run([] { rt::LEFT_S(20000); }), operand);
    EXPECT_EQ(run([] { rt::RIGHT_S(19999); }), operand.substr(1));
    expect_clean();
}

}  // namespace
