// Checks of the package's pictures: every bitmap a panel loads is a readable
// Windows bitmap of the size of the rectangle that shows it, and the program
// icon is a valid icon file with the usual sizes.

#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <string>

#include "tests/devices/positioner/package.h"

namespace devices_test {
namespace {

uint32_t le32(const std::string& b, size_t at) {
    return static_cast<uint8_t>(b[at]) | static_cast<uint8_t>(b[at + 1]) << 8 |
           static_cast<uint8_t>(b[at + 2]) << 16 |
           static_cast<uint32_t>(static_cast<uint8_t>(b[at + 3])) << 24;
}
uint16_t le16(const std::string& b, size_t at) {
    return static_cast<uint16_t>(static_cast<uint8_t>(b[at]) | static_cast<uint8_t>(b[at + 1])
                                                                   << 8);
}

struct BitmapInfo {
    int32_t width = 0;
    int32_t height = 0;
    uint16_t bitsPerPixel = 0;
};

// Parses an uncompressed BMP and checks that its headers agree with its bytes.
::testing::AssertionResult readBitmap(const std::string& bytes, BitmapInfo& info) {
    if (bytes.size() < 54 || bytes.compare(0, 2, "BM") != 0)
        return ::testing::AssertionFailure() << "no BMP header";
    if (le32(bytes, 2) != bytes.size())
        return ::testing::AssertionFailure() << "file size field is wrong";
    uint32_t offset = le32(bytes, 10);
    if (le32(bytes, 14) != 40) return ::testing::AssertionFailure() << "not a BITMAPINFOHEADER";
    info.width = static_cast<int32_t>(le32(bytes, 18));
    info.height = static_cast<int32_t>(le32(bytes, 22));
    info.bitsPerPixel = le16(bytes, 28);
    if (le16(bytes, 26) != 1 || le32(bytes, 30) != 0)
        return ::testing::AssertionFailure() << "planes or compression";
    if (info.bitsPerPixel != 4 && info.bitsPerPixel != 8 && info.bitsPerPixel != 24) {
        return ::testing::AssertionFailure() << "bits per pixel " << info.bitsPerPixel;
    }
    uint64_t palette = info.bitsPerPixel == 24 ? 0 : 4ull << info.bitsPerPixel;
    if (offset != 54 + palette) return ::testing::AssertionFailure() << "pixel offset " << offset;
    uint64_t rowBytes = ((static_cast<uint64_t>(info.width) * info.bitsPerPixel + 31) / 32) * 4;
    uint64_t rows =
        static_cast<uint64_t>(info.height < 0 ? -static_cast<int64_t>(info.height) : info.height);
    if (offset + rowBytes * rows != bytes.size())
        return ::testing::AssertionFailure() << "pixel data size";
    return ::testing::AssertionSuccess();
}

TEST(PositionerPictures, PanelBitmapsFitTheirRectangles) {
    const struct {
        const char* file;
        int width;
        int height;
    } pictures[] = {
        {"Ravik transparent.bmp", 157, 98},    {"Ravik cpl.bmp", 270, 480},
        {"Ravik Position.bmp", 105, 180},      {"Ravik Pos Graph.bmp", 390, 230},
        {"Ravik Switches.bmp", 100, 210},      {"Ravik Sensors.bmp", 563, 375},
        {"Ravik PosRetransmit.bmp", 660, 381},
    };
    for (auto& p : pictures) {
        std::string bytes = readFile(Package::get().path(p.file));
        BitmapInfo info;
        ASSERT_TRUE(readBitmap(bytes, info)) << p.file;
        EXPECT_EQ(info.width, p.width) << p.file;
        EXPECT_EQ(info.height, p.height) << p.file;
    }
}

TEST(PositionerPictures, BitmapReaderRefusesBrokenFiles) {
    std::string good = readFile(Package::get().path("Ravik Position.bmp"));
    BitmapInfo info;
    ASSERT_TRUE(readBitmap(good, info));
    EXPECT_FALSE(readBitmap(good.substr(0, good.size() - 1), info));
    std::string wrongMagic = good;
    wrongMagic[0] = 'X';
    EXPECT_FALSE(readBitmap(wrongMagic, info));
}

TEST(PositionerPictures, ProgramIconIsAValidIconFile) {
    std::string bytes = readFile(Package::get().path("Ravik_PROGRAM_DTM.ico"));
    ASSERT_GE(bytes.size(), 6u);
    EXPECT_EQ(le16(bytes, 0), 0);
    EXPECT_EQ(le16(bytes, 2), 1) << "type 1 is an icon";
    uint16_t count = le16(bytes, 4);
    ASSERT_GE(count, 2);
    ASSERT_GE(bytes.size(), 6u + 16u * count);
    std::set<int> sizes;
    for (uint16_t i = 0; i < count; ++i) {
        size_t entry = 6 + 16 * i;
        int width = static_cast<uint8_t>(bytes[entry]) ? static_cast<uint8_t>(bytes[entry]) : 256;
        uint32_t length = le32(bytes, entry + 8);
        uint32_t offset = le32(bytes, entry + 12);
        ASSERT_LE(static_cast<uint64_t>(offset) + length, bytes.size()) << "image " << i;
        ASSERT_GE(length, 40u);
        EXPECT_EQ(le32(bytes, offset), 40u) << "image " << i << " is a DIB";
        EXPECT_EQ(static_cast<int>(le32(bytes, offset + 4)), width);
        EXPECT_EQ(static_cast<int>(le32(bytes, offset + 8)), 2 * width) << "colour and mask halves";
        uint16_t bpp = le16(bytes, offset + 14);
        uint64_t colour = static_cast<uint64_t>(width) * width * bpp / 8;
        uint64_t mask = ((width + 31) / 32) * 4ull * width;
        EXPECT_EQ(length, 40 + colour + mask) << "image " << i;
        sizes.insert(width);
    }
    EXPECT_TRUE(sizes.count(16) && sizes.count(32));
}

}  // namespace
}  // namespace devices_test
