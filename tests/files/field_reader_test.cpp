// The field reader over a byte source and the field parser of input lines.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "runtime/files/field_parser.h"
#include "runtime/files/field_reader.h"
#include "runtime/core/error.h"
#include "runtime/files/memory_byte_source.h"

namespace {

using rt::FieldStatus;
using rt::FieldTarget;

// Reads fields of one target kind until the reader reports an error or stops moving.
struct Fields {
    std::vector<std::string> texts;
    std::uint16_t final_error = 0;
    std::uint64_t final_position = 0;
};

Fields read_all(const std::string& bytes, FieldTarget target)
{
    rt::MemoryByteSource source(bytes);
    Fields out;
    std::uint64_t position = 0;
    while (position < bytes.size()) {
        auto r = rt::read_field(source, position, target);
        if (r.error != 0) {
            out.final_error = r.error;
            out.final_position = r.next_position;
            break;
        }
        out.texts.push_back(r.text);
        if (r.next_position == position)
            break;  // a numeric field left a character for the next read
        position = r.next_position;
    }
    if (out.final_error == 0)
        out.final_position = position;
    return out;
}

using Texts = std::vector<std::string>;

TEST(FieldReader, CommaCrLfAndFinalEndMark)
{
    const auto f = read_all("A,B\r\nC\x1A", FieldTarget::String);
    EXPECT_EQ(f.texts, (Texts{"A", "B", "C"}));
    // The end mark is never consumed: the next read reports the end.
    EXPECT_EQ(f.final_error, rt::err::kDeviceIoError);
    EXPECT_EQ(f.final_position, 6u);
}

TEST(FieldReader, OnlyAnEndMark)
{
    rt::MemoryByteSource source("\x1A");
    const auto r = rt::read_field(source, 0, FieldTarget::String);
    EXPECT_EQ(r.error, rt::err::kDeviceIoError);
    EXPECT_EQ(r.next_position, 0u);
}

TEST(FieldReader, EndMarkInsideTheDataIsAByte)
{
    const auto f = read_all("A\x1A" "B\r\n", FieldTarget::String);
    EXPECT_EQ(f.texts, (Texts{"A\x1A" "B"}));
}

TEST(FieldReader, ColonSeparatesAndQuotesProtect)
{
    EXPECT_EQ(read_all("A:B", FieldTarget::String).texts, (Texts{"A", "B"}));
    EXPECT_EQ(read_all("\"X,Y:Z\",W", FieldTarget::String).texts, (Texts{"\"X,Y:Z\"", "W"}));
    // A quote after the first character is an ordinary character.
    EXPECT_EQ(read_all("ab\"c,d", FieldTarget::String).texts, (Texts{"ab\"c", "d"}));
}

TEST(FieldReader, SpacesForStringsAndNumbers)
{
    EXPECT_EQ(read_all("  ab cd  ,x", FieldTarget::String).texts, (Texts{"ab cd  ", "x"}));
    // A space completes a number; the next character starts the next field.
    rt::MemoryByteSource source("12 34\r\n");
    auto first = rt::read_field(source, 0, FieldTarget::Numeric);
    EXPECT_EQ(first.text, "12");
    EXPECT_EQ(first.next_position, 3u);
    auto second = rt::read_field(source, first.next_position, FieldTarget::Numeric);
    EXPECT_EQ(second.text, "34");
    EXPECT_EQ(second.next_position, 7u);
}

TEST(FieldReader, AfterClosedQuoteStringDropsAndNumberKeeps)
{
    rt::MemoryByteSource source("\"ab\" x,y");
    auto s = rt::read_field(source, 0, FieldTarget::String);
    EXPECT_EQ(s.text, "\"ab\"");
    EXPECT_EQ(s.next_position, 6u);  // "x" consumed and dropped
    auto n = rt::read_field(source, 0, FieldTarget::Numeric);
    EXPECT_EQ(n.next_position, 5u);  // "x" left for the next read
}

TEST(FieldReader, EmptyNumericBeforeSeparatorIsBadButConsumed)
{
    rt::MemoryByteSource source(" ,5");
    auto r = rt::read_field(source, 0, FieldTarget::Numeric);
    EXPECT_EQ(r.error, rt::err::kBadField);
    EXPECT_EQ(r.next_position, 2u);
    // For strings it is an empty field.
    auto s = rt::read_field(source, 0, FieldTarget::String);
    EXPECT_EQ(s.error, 0);
    EXPECT_EQ(s.text, "");
}

TEST(FieldReader, NulDroppedLoneCrAndNoFinalLineEnd)
{
    EXPECT_EQ(read_all(std::string("A\0B\rC", 5), FieldTarget::String).texts, (Texts{"AB", "C"}));
    EXPECT_EQ(read_all("A\r\rB", FieldTarget::String).texts, (Texts{"A", "", "B"}));
    EXPECT_EQ(read_all("\n1", FieldTarget::String).texts, (Texts{"", "1"}));
}

TEST(FieldReader, LfCrLfAndMixedLineEndsGiveTheSameFields)
{
    const std::string crlf = "1,2,\"A:B\",80001,H\r\nCH=1\r\n 12 \r\n\x1A";
    const std::string lf = "1,2,\"A:B\",80001,H\nCH=1\n 12 \n\x1A";
    const std::string mixed = "1,2,\"A:B\",80001,H\nCH=1\r\n 12 \n\x1A";
    for (const FieldTarget target : {FieldTarget::String, FieldTarget::Numeric}) {
        const Fields expected = read_all(crlf, target);
        EXPECT_EQ(read_all(lf, target).texts, expected.texts);
        EXPECT_EQ(read_all(mixed, target).texts, expected.texts);
    }
    EXPECT_EQ(read_all(lf, FieldTarget::String).texts, (Texts{"1", "2", "\"A:B\"", "80001", "H", "CH=1", "12 "}));
}

TEST(FieldReader, EndMarkOnAChunkBoundary)
{
    // 255 bytes then 0x1A: the mark is the last byte of a full chunk.
    std::string text(255, 'x');
    const auto f = read_all(text + "\x1A", FieldTarget::String);
    ASSERT_EQ(f.texts.size(), 1u);
    EXPECT_EQ(f.texts[0], text);
    EXPECT_EQ(f.final_error, rt::err::kDeviceIoError);
    // ...and a 0x1A at the end of a full chunk that is followed by more data is a byte.
    const auto g = read_all(text + "\x1A" "y", FieldTarget::String);
    ASSERT_EQ(g.texts.size(), 1u);
    EXPECT_EQ(g.texts[0].size(), 257u);
}

TEST(FieldReader, LongLineIsReadInChunks)
{
    const std::string line(10 * 1024 * 1024, 'Q');
    const std::string file = line + "\r\n";
    rt::MemoryByteSource source(file);
    const auto r = rt::read_field(source, 0, FieldTarget::String);
    EXPECT_EQ(r.text.size(), line.size());
    EXPECT_EQ(r.next_position, line.size() + 2);
    EXPECT_LE(source.reads(), static_cast<int>(line.size() / rt::kFieldChunkSize) + 3);
}

TEST(FieldReader, ShiftJisBytesPassThrough)
{
    // Lead bytes without trail bytes, and a lead byte before a separator.
    EXPECT_EQ(read_all("\x81,\xE0\xFC,\x9F", FieldTarget::String).texts, (Texts{"\x81", "\xE0\xFC", "\x9F"}));
}

TEST(LineFieldParser, ConsoleLineExamples)
{
    std::string text;
    rt::LineFieldParser line("ABC, DEF");
    EXPECT_EQ(line.next(FieldTarget::String, text), FieldStatus::Taken);
    EXPECT_EQ(text, "ABC");
    EXPECT_EQ(line.next(FieldTarget::String, text), FieldStatus::Taken);
    EXPECT_EQ(text, "DEF");
    EXPECT_FALSE(line.has_more());
    EXPECT_EQ(line.next(FieldTarget::String, text), FieldStatus::NoMore);

    rt::LineFieldParser colon("A:B");
    colon.next(FieldTarget::String, text);
    EXPECT_EQ(text, "A");
    colon.next(FieldTarget::String, text);
    EXPECT_EQ(text, "B");

    rt::LineFieldParser quoted("\"X,Y\"  ");
    EXPECT_EQ(quoted.next(FieldTarget::String, text), FieldStatus::Taken);
    EXPECT_EQ(text, "X,Y");
    EXPECT_FALSE(quoted.has_more());
}

TEST(LineFieldParser, BadFields)
{
    std::string text;
    EXPECT_EQ(rt::LineFieldParser("\"A\" B").next(FieldTarget::String, text), FieldStatus::Bad);
    EXPECT_EQ(rt::LineFieldParser("\"1\"").next(FieldTarget::Numeric, text), FieldStatus::Bad);
    EXPECT_EQ(rt::LineFieldParser("  ").next(FieldTarget::Numeric, text), FieldStatus::Bad);
    EXPECT_EQ(rt::LineFieldParser("1 2").next(FieldTarget::Numeric, text), FieldStatus::Bad);
    EXPECT_EQ(rt::LineFieldParser(" 12  ,3").next(FieldTarget::Numeric, text), FieldStatus::Taken);
    EXPECT_EQ(text, "12");
}

TEST(LineFieldParser, SeparatorPromisesAnotherField)
{
    std::string text;
    rt::LineFieldParser line("A,");
    line.next(FieldTarget::String, text);
    EXPECT_TRUE(line.has_more());
    EXPECT_EQ(line.next(FieldTarget::String, text), FieldStatus::Taken);
    EXPECT_EQ(text, "");
    EXPECT_EQ(line.next(FieldTarget::String, text), FieldStatus::NoMore);
    // An unclosed quote runs to the end of the line.
    rt::LineFieldParser open("\"abc");
    EXPECT_EQ(open.next(FieldTarget::String, text), FieldStatus::Taken);
    EXPECT_EQ(text, "abc");
}

}  // namespace
