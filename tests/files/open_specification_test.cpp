// Splitting open strings, choosing device slots, mode and share defaults.
#include <gtest/gtest.h>

#include "runtime/core/error.h"
#include "runtime/files/open_mode.h"
#include "runtime/files/open_specification.h"

namespace {

using rt::choose_device_slot;
using rt::split_open_specification;

TEST(SplitSpecification, NameAndOptions)
{
    const auto s = split_open_specification("com0:(s8n1n8,RB8192)");
    EXPECT_EQ(s.error, 0);
    EXPECT_EQ(s.name, "com0:");
    EXPECT_TRUE(s.has_options);
    EXPECT_EQ(s.options, "s8n1n8,RB8192");

    const auto plain = split_open_specification("QK.DEF");
    EXPECT_EQ(plain.error, 0);
    EXPECT_EQ(plain.name, "QK.DEF");
    EXPECT_FALSE(plain.has_options);

    // Text after ")" belongs to the name.
    const auto record = split_open_specification("LOG(128).DAT");
    EXPECT_EQ(record.name, "LOG.DAT");
    EXPECT_EQ(record.options, "128");
}

TEST(SplitSpecification, BadOptionsText)
{
    EXPECT_EQ(split_open_specification("com0:()").error, rt::err::kIllegalArgument);
    EXPECT_EQ(split_open_specification("com0:(s8n1n8").error, rt::err::kIllegalArgument);
    EXPECT_EQ(split_open_specification("X(" + std::string(63, 'a') + ")").error, 0);
    EXPECT_EQ(split_open_specification("X(" + std::string(64, 'a') + ")").error, rt::err::kIllegalArgument);
    // The options are checked before the name.
    EXPECT_EQ(split_open_specification("()").error, rt::err::kIllegalArgument);
    EXPECT_EQ(split_open_specification("(A)").error, rt::err::kBadFileName);
    EXPECT_EQ(split_open_specification("").error, rt::err::kBadFileName);
}

TEST(ChooseDevice, FixedNamesIgnoreCase)
{
    EXPECT_EQ(choose_device_slot("com0:", false, "").slot, 10);
    EXPECT_EQ(choose_device_slot("COM4:", false, "").slot, 14);
    EXPECT_EQ(choose_device_slot("kybd:", false, "").slot, rt::kKeyboardSlot);
    EXPECT_EQ(choose_device_slot("Scrn:", false, "").slot, rt::kScreenSlot);
    EXPECT_EQ(choose_device_slot("COM5:", false, "").slot, rt::kFirstDiskSlot);
    EXPECT_EQ(choose_device_slot("COM0", false, "").slot, rt::kFirstDiskSlot);
    // The special printer slot is never reached by name.
    EXPECT_EQ(choose_device_slot("LPT3:", false, "").slot, 5);
}

TEST(ChooseDevice, PrinterDrawingModeNeedsDc)
{
    const auto drawing = choose_device_slot("LPT1:", true, "dc");
    EXPECT_EQ(drawing.error, 0);
    EXPECT_EQ(drawing.slot, 6);
    EXPECT_EQ(choose_device_slot("LPT1:", true, "DX").error, rt::err::kIllegalArgument);
    // Options of other devices are not judged here.
    EXPECT_EQ(choose_device_slot("COM1:", true, "DX").error, 0);
}

TEST(ModeAndShare, DefaultsAndRefusals)
{
    using rt::normalise_mode_and_share;
    const auto zero = normalise_mode_and_share(0, 0);
    EXPECT_EQ(zero.error, 0);
    EXPECT_EQ(zero.mode, 6);
    EXPECT_EQ(zero.share, 3);
    EXPECT_EQ(normalise_mode_and_share(0, 1).error, rt::err::kBadFileMode);
    EXPECT_EQ(normalise_mode_and_share(11, 0).error, rt::err::kBadFileMode);

    EXPECT_EQ(normalise_mode_and_share(1, 0).share, 3);
    EXPECT_EQ(normalise_mode_and_share(1, 2).error, rt::err::kBadFileMode);
    EXPECT_EQ(normalise_mode_and_share(1, 4).share, 4);
    for (std::int16_t mode : {2, 3}) {
        EXPECT_EQ(normalise_mode_and_share(mode, 0).share, 1);
        EXPECT_EQ(normalise_mode_and_share(mode, 2).error, rt::err::kBadFileMode);
        EXPECT_EQ(normalise_mode_and_share(mode, 3).error, rt::err::kBadFileMode);
        EXPECT_EQ(normalise_mode_and_share(mode, 4).share, 4);
    }
    EXPECT_EQ(normalise_mode_and_share(7, 1).share, 3);
    EXPECT_EQ(normalise_mode_and_share(4, 0).share, 3);
    EXPECT_EQ(normalise_mode_and_share(10, 2).share, 2);
}

TEST(DiskOpenTable, RowsByMode)
{
    using rt::DiskAccess;
    using rt::DiskCreation;
    EXPECT_FALSE(rt::disk_open_row(0));
    EXPECT_FALSE(rt::disk_open_row(11));
    const auto output = *rt::disk_open_row(2);
    EXPECT_EQ(output.kind, rt::open_kind::kOutput);
    EXPECT_EQ(output.creation, DiskCreation::CreateNew);
    EXPECT_FALSE(output.options_allowed);
    const auto append = *rt::disk_open_row(3);
    EXPECT_EQ(append.access, DiskAccess::ReadWrite);
    EXPECT_EQ(append.creation, DiskCreation::OpenAlways);
    const auto record = *rt::disk_open_row(7);
    EXPECT_TRUE(record.record_buffer);
    EXPECT_EQ(record.creation, DiskCreation::OpenExisting);
    EXPECT_EQ(rt::disk_open_row(9)->kind, rt::open_kind::kBlockWrite);
    EXPECT_EQ(rt::disk_open_row(9)->creation, DiskCreation::CreateNew);
}

}  // namespace
