// Reading text files: fields into variables, EOF, LOC, INPUT$, and the
// line modes' field assignment.
#include <gtest/gtest.h>

#include <vector>

#include "tests/files/files_fixture.h"
#include "runtime/core/basic_string.h"
#include "runtime/core/string_descriptor.h"
#include "runtime/files/field_input.h"
#include "runtime/core/error.h"
#include "runtime/files/file_sites.h"
#include "runtime/files/file_operations.h"

namespace files_test {
namespace {

using rt::InputTarget;

class FileInputTest : public FilesTest {
protected:
    void open_input(std::string_view bytes, std::int32_t number = 1)
    {
        write_file("IN.DAT", bytes);
        open("IN.DAT", 1, number);
    }
    // One INPUT #number statement.
    void input(std::int32_t number, std::vector<InputTarget> targets)
    {
        rt::INPUT_FROM_FILE(number);
        ASSERT_TRUE(rt::input_vars_from_device(targets));
    }
    std::string input_string(std::int32_t number = 1)
    {
        rt::StrVar s;
        input(number, {InputTarget(s)});
        return s.str();
    }
    // Reads one string field per statement while EOF is false.
    std::vector<std::string> read_until_eof(std::int32_t number = 1)
    {
        std::vector<std::string> fields;
        while (rt::FILE_EOF(number) == rt::kFalse && fields.size() < 1000)
            fields.push_back(input_string(number));
        return fields;
    }
};

using Texts = std::vector<std::string>;

TEST_F(FileInputTest, ThreeFieldsThenEndOfFile)
{
    open_input("A,B\r\nC\x1A");
    rt::StrVar a, b, c;
    input(1, {InputTarget(a), InputTarget(b), InputTarget(c)});
    EXPECT_EQ(a.view(), "A");
    EXPECT_EQ(b.view(), "B");
    EXPECT_EQ(c.view(), "C");
    EXPECT_EQ(rt::FILE_EOF(1), rt::kTrue);
    EXPECT_EQ(raised_by([&] { input_string(); }), (Raised{rt::err::kDeviceIoError, rt::file_site::kInputVars}));
}

TEST_F(FileInputTest, FileOfOneEndMark)
{
    open_input("\x1A");
    EXPECT_EQ(rt::FILE_EOF(1), rt::kTrue);
    EXPECT_EQ(error_of([&] { input_string(); }), rt::err::kDeviceIoError);
    EXPECT_EQ(table().open_device(1, 0).state()->position, 0u);
}

TEST_F(FileInputTest, NumericFieldsConvertAndCheckRange)
{
    open_input("12, -3.5 ,&HFF 7\r\n40000\r\n,\r\n\"1\"\r\n2.5,3.5,300\r\n");
    std::int16_t i = 0;
    double d = 0;
    std::int32_t l = 0;
    std::uint8_t byte = 0;
    input(1, {InputTarget(i), InputTarget(d), InputTarget(l), InputTarget(byte)});
    EXPECT_EQ(i, 12);
    EXPECT_EQ(d, -3.5);
    EXPECT_EQ(l, 255);
    EXPECT_EQ(byte, 7);
    EXPECT_EQ(error_of([&] { input(1, {InputTarget(i)}); }), rt::err::kOverflow);
    EXPECT_EQ(error_of([&] { input(1, {InputTarget(i)}); }), rt::err::kBadField);  // empty before ","
    std::string rest = input_string();  // the empty field after the comma, then the line end
    EXPECT_EQ(rest, "");
    EXPECT_EQ(error_of([&] { input(1, {InputTarget(i)}); }), rt::err::kBadField);  // quoted number
    // Integers round half to even; a byte above 255 overflows.
    std::int16_t j = 0;
    input(1, {InputTarget(i), InputTarget(j)});
    EXPECT_EQ(i, 2);
    EXPECT_EQ(j, 4);
    EXPECT_EQ(error_of([&] { input(1, {InputTarget(byte)}); }), rt::err::kOverflow);
}

TEST_F(FileInputTest, DamagedFilesNeverHang)
{
    // NUL bytes, a lone CR, 0x1A inside the text, no final line end.
    open_input(std::string("A\0B\rC\x1A" "D\r\n\"open", 14));
    EXPECT_EQ(read_until_eof(), (Texts{"AB", "C\x1A" "D", "open"}));
    table().close(1);

    // Invalid double-byte text: lead bytes without trail bytes.
    open_input("\x81,\xFC\r\n\x9F");
    EXPECT_EQ(read_until_eof(), (Texts{"\x81", "\xFC", "\x9F"}));
    table().close(1);

    // Fewer fields than variables: the statement fails at the end.
    open_input("ONLY\r\n");
    rt::StrVar a, b;
    EXPECT_EQ(error_of([&] { input(1, {InputTarget(a), InputTarget(b)}); }), rt::err::kDeviceIoError);
    EXPECT_EQ(a.view(), "ONLY");
}

TEST_F(FileInputTest, TenMegabytesOnOneLine)
{
    const std::string line(10 * 1024 * 1024, 'M');
    open_input(line + "\r\nNEXT\r\n\x1A");
    EXPECT_EQ(input_string().size(), line.size());
    EXPECT_EQ(input_string(), "NEXT");
    EXPECT_EQ(rt::FILE_EOF(1), rt::kTrue);
}

TEST_F(FileInputTest, FixedLengthStringsArePaddedAndCodesChecked)
{
    open_input("AB,TOOLONG\r\n");
    std::uint8_t storage[4] = {'x', 'x', 'x', 'x'};
    rt::StringDescriptor fixed{rt::StringKind::FixedLength, 4, storage};
    input(1, {InputTarget(fixed)});
    EXPECT_EQ(fixed.view(), "AB  ");
    input(1, {InputTarget(fixed)});
    EXPECT_EQ(fixed.view(), "TOOL");

    int ignored = 0;
    rt::INPUT_FROM_FILE(1);
    const InputTarget refused[] = {InputTarget(&ignored, 18)};
    EXPECT_EQ(error_of([&] { rt::input_vars_from_device(refused); }), rt::err::kTypeMismatch);
}

TEST_F(FileInputTest, InputStringReturnsRawBytes)
{
    open_input(std::string("AB\x1A\0CD", 6));
    EXPECT_EQ(rt::LOC(1), 6);
    rt::INPUT_S(0, 1);
    EXPECT_EQ(popped_string(), "");
    rt::INPUT_S(4, 1);
    EXPECT_EQ(popped_string(), std::string("AB\x1A\0", 4));
    EXPECT_EQ(error_of([] { rt::INPUT_S(3, 1); }), rt::err::kDeviceIoError);
    EXPECT_EQ(table().open_device(1, 0).state()->position, 4u);  // a short read moves nothing
    EXPECT_EQ(error_of([] { rt::INPUT_S(-1, 1); }), rt::err::kIllegalArgument);
    rt::INPUT_S(2, 1);
    EXPECT_EQ(popped_string(), "CD");
    EXPECT_EQ(error_of([] { rt::INPUT_S(1, 1); }), rt::err::kDeviceIoError);
    EXPECT_EQ(rt::FILE_EOF(1), rt::kTrue);
}

TEST_F(FileInputTest, OperationsCheckNumbersAndKinds)
{
    for (auto op : {+[] { rt::FILE_EOF(0); }, +[] { rt::LOC(256); }, +[] { rt::INPUT_S(1, 0); },
                    +[] { rt::INPUT_FROM_FILE(0); }})
        EXPECT_EQ(error_of(op), rt::err::kBadFileNumber);
    for (auto op : {+[] { rt::FILE_EOF(5); }, +[] { rt::LOC(5); }, +[] { rt::INPUT_S(1, 5); },
                    +[] { rt::INPUT_FROM_FILE(5); }})
        EXPECT_EQ(error_of(op), rt::err::kFileNotOpen);

    open("OUT.DAS", 2, 2);
    EXPECT_EQ(error_of([] { rt::FILE_EOF(2); }), rt::err::kBadFileMode);
    EXPECT_EQ(error_of([] { rt::INPUT_S(1, 2); }), rt::err::kBadFileMode);
    EXPECT_EQ(error_of([&] { input_string(2); }), rt::err::kBadFileMode);
    table().open_device(2, 0).write("12345", 0);
    EXPECT_EQ(rt::LOC(2), 5);
}

TEST_F(FileInputTest, EndOfFileLooksAtTheLastByte)
{
    open_input("A\r\n\x1A");
    EXPECT_EQ(rt::FILE_EOF(1), rt::kFalse);
    EXPECT_EQ(input_string(), "A");
    EXPECT_EQ(rt::FILE_EOF(1), rt::kTrue);  // only the end mark is left
    table().close(1);
    open_input("A\r\nB");
    input_string();
    EXPECT_EQ(rt::FILE_EOF(1), rt::kFalse);
    EXPECT_EQ(input_string(), "B");
    EXPECT_EQ(rt::FILE_EOF(1), rt::kTrue);
}

TEST_F(FileInputTest, LineModesTakeEveryVariableOrNone)
{
    rt::StrVar a, b;
    const InputTarget two[] = {InputTarget(a), InputTarget(b)};
    EXPECT_TRUE(rt::assign_fields_from_line("ABC, DEF", two, true, 0));
    EXPECT_EQ(a.view(), "ABC");
    EXPECT_EQ(b.view(), "DEF");
    EXPECT_FALSE(rt::assign_fields_from_line("XYZ", two, true, 0));
    EXPECT_EQ(a.view(), "ABC");  // nothing assigned when a field is missing
    EXPECT_FALSE(rt::assign_fields_from_line("1,2,3", two, true, 0));
    EXPECT_TRUE(rt::assign_fields_from_line("1,2,3", two, false, 0));

    std::int16_t n = 5;
    const InputTarget mixed[] = {InputTarget(a), InputTarget(n)};
    EXPECT_FALSE(rt::assign_fields_from_line("Q, 1 2", mixed, true, 0));
    EXPECT_EQ(a.view(), "1");
    EXPECT_EQ(n, 5);
    EXPECT_EQ(error_of([&] { rt::assign_fields_from_line("Q,99999", mixed, true, 0); }), rt::err::kOverflow);
    EXPECT_EQ(a.view(), "1");
}

// A device with a line mode, standing in for a serial channel.
class LineDevice final : public rt::Device {
public:
    explicit LineDevice(std::string line) : line_(std::move(line)) { name_ = "COM0:"; }
    rt::DeviceClass device_class() const noexcept override { return rt::DeviceClass::Serial; }
    void write(std::string_view, std::uint16_t) override {}
    std::int32_t loc(std::uint16_t) override { return 0; }
    bool eof(std::uint16_t) override { return false; }
    std::string read(std::uint32_t, std::uint16_t) override { return {}; }
    std::string read_line(std::uint16_t) override { return line_; }
    void close() noexcept override {}

private:
    std::string line_;
};

TEST_F(FileInputTest, SerialSourcesReadOneLine)
{
    table().register_fixed_device(10, std::make_unique<LineDevice>("12,AB"));
    table().set_serial_opener([](int, int, std::string_view, int) -> std::uint16_t { return 0; });
    open("COM0:", 6, 1);
    std::int16_t n = 0;
    rt::StrVar s;
    input(1, {InputTarget(n), InputTarget(s)});
    EXPECT_EQ(n, 12);
    EXPECT_EQ(s.view(), "AB");
    // A line with too few fields.
    table().register_fixed_device(10, std::make_unique<LineDevice>("12"));
    rt::INPUT_FROM_FILE(1);
    const InputTarget numbers[] = {InputTarget(n), InputTarget(n)};
    EXPECT_EQ(raised_by([&] { rt::input_vars_from_device(numbers); }),
              (Raised{rt::err::kTypeMismatch, rt::file_site::kInputVars}));
}

TEST_F(FileInputTest, ConsoleSourcesAreLeftToTheConsole)
{
    rt::StrVar s;
    const InputTarget one[] = {InputTarget(s)};
    EXPECT_FALSE(rt::input_vars_from_device(one));  // no INPUT_FROM_FILE: the console window

    int opens = 0;
    struct Keyboard final : rt::Device {
        rt::DeviceClass device_class() const noexcept override { return rt::DeviceClass::Keyboard; }
        void write(std::string_view, std::uint16_t) override {}
        std::int32_t loc(std::uint16_t) override { return 0; }
        bool eof(std::uint16_t) override { return true; }
        std::string read(std::uint32_t, std::uint16_t) override { return {}; }
        void close() noexcept override {}
    };
    (void)opens;
    table().register_fixed_device(0, std::make_unique<Keyboard>());
    open("KYBD:", 1, 3);
    rt::INPUT_FROM_FILE(3);
    EXPECT_FALSE(rt::input_vars_from_device(one));
    EXPECT_EQ(table().take_input_source(), std::optional<int>(rt::kKeyboardSlot));
}

}  // namespace
}  // namespace files_test
