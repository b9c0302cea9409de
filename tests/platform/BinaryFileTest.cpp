#include "platform/BinaryFile.h"
#include "platform/Cp932.h"
#include "platform/Errors.h"
#include "platform/FileSystem.h"

#include "support/TempHome.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

using namespace platform;

namespace {

class BinaryFiles : public ::testing::Test {
protected:
    TempHome home;
    std::string path = home.file("store.bin");

    int errorNumberOf(const std::function<void()>& action)
    {
        try {
            action();
        } catch (const RuntimeError& e) {
            return e.number;
        }
        return 0;
    }
};

TEST_F(BinaryFiles, IntegersAreLittleEndianAtOneBasedPositions)
{
    BinaryFile f(path, BinaryFile::Mode::ReadWrite);
    f.writeInt16(1, -2);
    f.writeInt32(3, 0x12345678);
    f.writeInt16(7, 0x0102);
    f.writeInt32(9, -1);
    f.close();
    EXPECT_EQ(readWholeFile(path), std::string("\xFE\xFF\x78\x56\x34\x12\x02\x01\xFF\xFF\xFF\xFF", 12));

    BinaryFile r(path, BinaryFile::Mode::Read);
    EXPECT_EQ(r.readInt16(1), -2);
    EXPECT_EQ(r.readInt32(3), 0x12345678);
    EXPECT_EQ(r.readInt16(7), 0x0102);
    EXPECT_EQ(r.readInt32(9), -1);
    EXPECT_EQ(r.readInt16(2), static_cast<int16_t>(0x78FF));
    EXPECT_EQ(r.length(), 12);
}

TEST_F(BinaryFiles, WritingPastTheEndExtendsWithZeros)
{
    BinaryFile f(path, BinaryFile::Mode::ReadWrite);
    f.writeInt16(5, 7);
    EXPECT_EQ(f.length(), 6);
    EXPECT_EQ(f.readInt32(1), 0);
    EXPECT_EQ(f.readInt16(5), 7);
}

TEST_F(BinaryFiles, FixedStringsArePaddedWithBlanksAndKeepThem)
{
    BinaryFile f(path, BinaryFile::Mode::ReadWrite);
    f.writeFixedString(1, "\xE5\xB1\xB1\xE7\x94\xB0 a"); // 山田 a
    EXPECT_EQ(f.length(), 256);
    const std::string raw = f.readBytes(1, 256);
    EXPECT_EQ(raw.substr(0, 8), "\x8E\x52\x93\x63 a  ");
    EXPECT_EQ(raw.find_first_not_of(' ', 6), std::string::npos);
    EXPECT_EQ(f.readFixedString(1), "\xE5\xB1\xB1\xE7\x94\xB0 a" + std::string(250, ' '));
}

TEST_F(BinaryFiles, ACutNeverSplitsADoubleByteCharacter)
{
    struct Case {
        std::string text;
        size_t width;
        std::string bytes;
    };
    const Case cases[] = {
        {"\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E", 5, "\x93\xFA\x96\x7B "}, // 日本語 into 5 bytes
        {"\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E", 6, "\x93\xFA\x96\x7B\x8C\xEA"},
        {"ab\xEF\xBD\xB1\xEF\xBD\xB2", 3, "ab\xB1"}, // half-width katakana are single bytes
        {"", 2, "  "},
    };
    BinaryFile f(path, BinaryFile::Mode::ReadWrite);
    for (const auto& c : cases) {
        f.writeFixedString(1, c.text, c.width);
        EXPECT_EQ(f.readBytes(1, c.width), c.bytes) << c.text;
    }
}

TEST_F(BinaryFiles, FixedStringRefusesUnencodableText)
{
    BinaryFile f(path, BinaryFile::Mode::ReadWrite);
    EXPECT_THROW(f.writeFixedString(1, "caf\xC3\xA9"), EncodeError);
    EXPECT_EQ(f.length(), 0);
}

TEST_F(BinaryFiles, ErrorsCarryTheirNumbers)
{
    writeWholeFile(path, "abc");
    BinaryFile r(path, BinaryFile::Mode::Read);
    EXPECT_EQ(errorNumberOf([&] { r.readInt32(1); }), 62);
    EXPECT_EQ(errorNumberOf([&] { r.readInt16(3); }), 62);
    EXPECT_EQ(errorNumberOf([&] { r.readBytes(0, 1); }), 63);
    EXPECT_EQ(errorNumberOf([&] { r.writeInt16(1, 1); }), 75);
    EXPECT_EQ(errorNumberOf([&] { BinaryFile(home.file("none.bin"), BinaryFile::Mode::Read); }), 53);
    EXPECT_EQ(errorNumberOf([&] { BinaryFile(home.file("no/none.bin"), BinaryFile::Mode::ReadWrite); }), 76);
    EXPECT_EQ(errorNumberOf([&] { BinaryFile(home.path(), BinaryFile::Mode::ReadWrite); }), 75);
    // A failed read leaves the file usable.
    EXPECT_EQ(r.readBytes(2, 2), "bc");
    EXPECT_EQ(readWholeFile(path), "abc");
}

TEST_F(BinaryFiles, ReadWriteCreatesAMissingFileAndKeepsAnExistingOne)
{
    {
        BinaryFile f(path, BinaryFile::Mode::ReadWrite);
        EXPECT_EQ(f.length(), 0);
        f.writeBytes(1, "12345");
    }
    BinaryFile f(path, BinaryFile::Mode::ReadWrite);
    f.writeBytes(2, "x");
    f.close();
    EXPECT_EQ(readWholeFile(path), "1x345");
}

} // namespace
