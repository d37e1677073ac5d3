// Bitmap files, safe replacement of files, and the error log.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#endif

#include "bitmap.h"
#include "file_io.h"

namespace {

using namespace tavik;

uint32_t Read16(const std::vector<uint8_t>& b, size_t at) { return b[at] | b[at + 1] << 8; }

uint32_t Read32(const std::vector<uint8_t>& b, size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A scratch folder of the test's own, emptied first.
std::string Scratch(const std::string& name) {
    const std::string dir = "files_test_" + name;
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    return dir + "/";
}

// Every name in `dir`, in order.
std::vector<std::string> FolderNames(const std::string& dir) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

TEST(Bitmap, BoardPictureFile) {
    std::vector<uint8_t> rgb(401 * 401 * 3);
    for (size_t i = 0; i < rgb.size(); ++i) rgb[i] = static_cast<uint8_t>(i * 7);
    const std::vector<uint8_t> file = EncodeRgbPicture(401, 401, rgb.data());
    ASSERT_EQ(482858u, file.size());
    EXPECT_EQ(24u, Read16(file, 28));
    for (int row = 0; row < 401; ++row) EXPECT_EQ(0, file[54 + 1204 * row + 1203]) << row;
    // the first pixel of the file is the bottom-left one, blue first
    const size_t bottomLeft = static_cast<size_t>(400) * 401 * 3;
    EXPECT_EQ(rgb[bottomLeft + 2], file[54]);
    EXPECT_EQ(rgb[bottomLeft + 1], file[55]);
    EXPECT_EQ(rgb[bottomLeft], file[56]);
}

// The game's own encoder read back field by field, for every depth with rows that need no
// padding, some, and the most.
TEST(Bitmap, FileLayoutForEveryDepthAndWidth) {
    struct Case {
        int bits;
        int32_t width;
        uint32_t rowSize;      // bytes per row, padded to a multiple of four
        uint32_t pixelOffset;  // the headers and 2^bits colour table entries of four bytes
    } cases[] = {
        {1, 1, 4, 62},       {1, 32, 4, 62},  {1, 33, 8, 62},  {4, 7, 4, 118},  {4, 8, 4, 118},
        {4, 9, 8, 118},      {8, 3, 4, 1078}, {8, 4, 4, 1078}, {8, 5, 8, 1078}, {16, 1, 4, 54},
        {16, 2, 4, 54},      {16, 3, 8, 54},  {24, 1, 4, 54},  {24, 4, 12, 54}, {24, 5, 16, 54},
        {24, 401, 1204, 54}, {32, 3, 12, 54},
    };
    constexpr int32_t kHeight = 3;
    // More colours than any table holds: only the first 2^bits are written, and none at all
    // above 8 bits.
    std::vector<uint32_t> colours;
    for (uint32_t i = 0; i < 257; ++i) colours.push_back(0x00A0B0C0u + i);
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.bits << " bits, " << c.width << " wide");
        const uint32_t fileSize = c.pixelOffset + c.rowSize * kHeight;
        const auto layout = LayoutOf(c.width, kHeight, c.bits);
        ASSERT_TRUE(layout);
        EXPECT_EQ(c.rowSize, layout->rowSize);
        EXPECT_EQ(c.rowSize * kHeight, layout->pixelSize);
        EXPECT_EQ(c.pixelOffset, layout->pixelOffset);
        EXPECT_EQ(fileSize, layout->fileSize);

        // The rows are given bottom-up, padding included, and go to the file as they are.
        std::vector<uint8_t> pixels(c.rowSize * kHeight);
        for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<uint8_t>(i * 13 + 1);
        const std::vector<uint8_t> file =
            EncodeBitmapFile(c.width, kHeight, c.bits, pixels, colours);
        ASSERT_EQ(fileSize, file.size());
        EXPECT_EQ("BM", std::string(file.begin(), file.begin() + 2));
        EXPECT_EQ(fileSize, Read32(file, 2));
        EXPECT_EQ(0u, Read32(file, 6)) << "reserved";
        EXPECT_EQ(c.pixelOffset, Read32(file, 10));
        EXPECT_EQ(40u, Read32(file, 14)) << "the information header's size";
        EXPECT_EQ(static_cast<uint32_t>(c.width), Read32(file, 18));
        EXPECT_EQ(static_cast<uint32_t>(kHeight), Read32(file, 22)) << "positive: bottom-up";
        EXPECT_EQ(1u, Read16(file, 26)) << "planes";
        EXPECT_EQ(static_cast<uint32_t>(c.bits), Read16(file, 28));
        for (size_t at = 30; at < 54; at += 4)
            EXPECT_EQ(0u, Read32(file, at)) << "uncompressed, no sizes or colour counts: " << at;
        for (size_t entry = 0; 54 + 4 * entry < c.pixelOffset; ++entry)
            EXPECT_EQ(colours[entry], Read32(file, 54 + 4 * entry)) << "colour " << entry;
        EXPECT_EQ(pixels, std::vector<uint8_t>(file.begin() + c.pixelOffset, file.end()));
    }

    // Fewer colours than the table holds: the rest of the table is zero.
    const std::vector<uint8_t> file =
        EncodeBitmapFile(3, 1, 4, std::vector<uint8_t>(4, 0x11), {0x00FFFFFFu, 0x00123456u});
    ASSERT_EQ(122u, file.size());
    EXPECT_EQ(0x00123456u, Read32(file, 58));
    for (size_t at = 62; at < 118; at += 4) EXPECT_EQ(0u, Read32(file, at)) << at;
}

TEST(Bitmap, RefusesWhatNoFileCanHold) {
    struct Case {
        const char* what;
        int32_t width, height;
        int bits;
    } cases[] = {
        {"0 bits", 3, 5, 0},           {"2 bits", 3, 5, 2},       {"15 bits", 3, 5, 15},
        {"48 bits", 3, 5, 48},         {"-24 bits", 3, 5, -24},   {"no width", 0, 5, 24},
        {"negative width", -3, 5, 24}, {"no height", 3, 0, 24},   {"negative height", 3, -5, 24},
        {"too wide", 16385, 1, 1},     {"too tall", 1, 16385, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_FALSE(LayoutOf(c.width, c.height, c.bits));
        EXPECT_TRUE(EncodeBitmapFile(c.width, c.height, c.bits, std::vector<uint8_t>(64)).empty());
    }
    // the largest picture still fits the 32-bit size fields
    const auto largest = LayoutOf(16384, 16384, 32);
    ASSERT_TRUE(largest);
    EXPECT_EQ(54u + 65536u * 16384u, largest->fileSize);

    // pixels of any other size than the padded rows: unpadded, one byte short, one too many
    for (size_t size : {45, 47, 49})
        EXPECT_TRUE(EncodeBitmapFile(5, 3, 24, std::vector<uint8_t>(size)).empty()) << size;
    EXPECT_EQ(54u + 48u, EncodeBitmapFile(5, 3, 24, std::vector<uint8_t>(48)).size());
}

#ifndef _WIN32
// A real reader agrees with the headers.
TEST(Bitmap, ReadByImageMagick) {
    std::vector<uint8_t> rgb(401 * 401 * 3, 0x40);
    const std::vector<uint8_t> file = EncodeRgbPicture(401, 401, rgb.data());
    const std::string path = Scratch("identify") + "board.bmp";
    ASSERT_EQ(FileError::kNone, WriteFileReplacing(path, file.data(), file.size()));
    FILE* pipe = popen(("identify -format '%m %w %h %z' " + path + " 2>&1").c_str(), "r");
    ASSERT_NE(nullptr, pipe);
    char text[256] = {};
    const size_t n = fread(text, 1, sizeof text - 1, pipe);
    pclose(pipe);
    EXPECT_EQ("BMP3 401 401 8", std::string(text, n));  // BMP3: the 40-byte header
}
#endif

TEST(FileIo, ReplacesOnlyWhenEverythingWasWritten) {
    const std::string dir = Scratch("replace");
    const std::string path = dir + "game.tvk";
    ASSERT_EQ(FileError::kNone, WriteFileReplacing(path, "old", 3));
    EXPECT_EQ("old", ReadFile(path));
    ASSERT_EQ(FileError::kNone, WriteFileReplacing(path, "newer", 5));
    EXPECT_EQ("newer", ReadFile(path));

    // a folder that does not exist: nothing can be created, nothing is left behind
    EXPECT_EQ(FileError::kCreate, WriteFileReplacing(dir + "missing/game.tvk", "x", 1));

    // a target that is a folder cannot be replaced: the folder stays, the temporary file goes
    Scratch("replace/target");
    EXPECT_EQ(FileError::kReplace, WriteFileReplacing(dir + "target", "x", 1));
    EXPECT_EQ("newer", ReadFile(path));
    EXPECT_EQ((std::vector<std::string>{"game.tvk", "target"}), FolderNames(dir))
        << "nothing is left beside them";
    EXPECT_TRUE(FolderNames(dir + "target").empty());
}

TEST(FileIo, AReplacementInPiecesCountsOnlyWhenCommitted) {
    const std::string dir = Scratch("pieces");
    const std::string path = dir + "board.bmp";
    ASSERT_EQ(FileError::kNone, WriteFileReplacing(path, "old", 3));
    {
        FileReplacement file(path);
        ASSERT_TRUE(file.Created());
        EXPECT_TRUE(file.Write("ne", 2));
        EXPECT_TRUE(file.Write("w", 1));
        EXPECT_EQ("old", ReadFile(path)) << "nothing reaches the target before the commit";
    }  // given up
    EXPECT_EQ("old", ReadFile(path));
    EXPECT_EQ((std::vector<std::string>{"board.bmp"}), FolderNames(dir))
        << "no temporary file is left";
    {
        FileReplacement file(path);
        file.Write("ne", 2);
        file.Write("w", 1);
        EXPECT_EQ(FileError::kNone, file.Commit());
    }
    EXPECT_EQ("new", ReadFile(path));
    FileReplacement nowhere(dir + "missing/board.bmp");
    EXPECT_FALSE(nowhere.Created());
    EXPECT_FALSE(nowhere.Write("x", 1));
    EXPECT_EQ(FileError::kCreate, nowhere.Commit());
}

TEST(FileIo, ReadingAFileUpToALimit) {
    const std::string dir = Scratch("read");
    ASSERT_EQ(FileError::kNone, WriteFileReplacing(dir + "five", "12345", 5));
    struct Case {
        size_t limit;
        std::string bytes;  // one more than the limit shows that the file is longer
    } cases[] = {{10, "12345"}, {5, "12345"}, {4, "12345"}, {2, "123"}, {0, "1"}};
    for (const Case& c : cases) {
        const auto bytes = ReadFileBytes(dir + "five", c.limit);
        ASSERT_TRUE(bytes.has_value());
        EXPECT_EQ(c.bytes, std::string(bytes->begin(), bytes->end())) << c.limit;
    }
    EXPECT_FALSE(ReadFileBytes(dir + "missing", 10).has_value());
}

TEST(FileIo, LogLinesAreAppendedWhole) {
    const std::string path = Scratch("log") + "error.log";
    std::remove(path.c_str());
    ASSERT_TRUE(AppendLogLine(path, "\x83\x65\x83\x93\x83\x76\x83\x8c\x81\x5b\x83\x67"));
    ASSERT_TRUE(AppendLogLine(path, "second"));
    EXPECT_EQ("\x83\x65\x83\x93\x83\x76\x83\x8c\x81\x5b\x83\x67\r\nsecond\r\n", ReadFile(path));

    // reports at the same moment all arrive
    std::remove(path.c_str());
    std::vector<std::thread> threads;
    for (int t = 0; t < 6; ++t) {
        threads.emplace_back([&path, t] {
            for (int i = 0; i < 30; ++i) AppendLogLine(path, "thread " + std::to_string(t));
        });
    }
    for (std::thread& t : threads) t.join();
    const std::string log = ReadFile(path);
    for (int t = 0; t < 6; ++t) {
        const std::string line = "thread " + std::to_string(t) + "\r\n";
        size_t count = 0;
        for (size_t at = log.find(line); at != std::string::npos; at = log.find(line, at + 1))
            ++count;
        EXPECT_EQ(30u, count) << t;
    }
    EXPECT_EQ(6u * 30u * 10u, log.size());
}

#ifdef _WIN32
// Another program holding the log without sharing delays the line instead of losing it.
TEST(FileIo, LogWaitsForAnotherHolder) {
    const std::string path = Scratch("held") + "error.log";
    DeleteFileA(path.c_str());
    HANDLE holder = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, holder);
    std::thread release([holder] {
        Sleep(150);
        CloseHandle(holder);
    });
    EXPECT_TRUE(AppendLogLine(path, "late"));
    release.join();
    EXPECT_EQ("late\r\n", ReadFile(path));
}
#endif

}  // namespace
