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
    EXPECT_EQ('B', file[0]);
    EXPECT_EQ('M', file[1]);
    EXPECT_EQ(482858u, Read32(file, 2));
    EXPECT_EQ(54u, Read32(file, 10));
    EXPECT_EQ(40u, Read32(file, 14));
    EXPECT_EQ(401u, Read32(file, 18));
    EXPECT_EQ(401u, Read32(file, 22));
    EXPECT_EQ(24, file[28] | file[29] << 8);
    EXPECT_EQ(0u, Read32(file, 30));
    for (int row = 0; row < 401; ++row) EXPECT_EQ(0, file[54 + 1204 * row + 1203]) << row;
    // the first pixel of the file is the bottom-left one, blue first
    const size_t bottomLeft = static_cast<size_t>(400) * 401 * 3;
    EXPECT_EQ(rgb[bottomLeft + 2], file[54]);
    EXPECT_EQ(rgb[bottomLeft + 1], file[55]);
    EXPECT_EQ(rgb[bottomLeft], file[56]);
}

TEST(Bitmap, LayoutOfEveryDepth) {
    struct Case {
        int bits;
        uint32_t rowSize, pixelOffset;
    } cases[] = {{1, 4, 62}, {4, 4, 118}, {8, 4, 1078}, {16, 8, 54}, {24, 12, 54}, {32, 12, 54}};
    for (const Case& c : cases) {
        const auto layout = LayoutOf(3, 5, c.bits);
        ASSERT_TRUE(layout) << c.bits;
        EXPECT_EQ(c.rowSize, layout->rowSize) << c.bits;
        EXPECT_EQ(c.rowSize * 5, layout->pixelSize) << c.bits;
        EXPECT_EQ(c.pixelOffset, layout->pixelOffset) << c.bits;
        EXPECT_EQ(c.pixelOffset + c.rowSize * 5, layout->fileSize) << c.bits;
    }
    for (int bits : {0, 2, 15, 48}) EXPECT_FALSE(LayoutOf(3, 5, bits)) << bits;
    EXPECT_FALSE(LayoutOf(0, 5, 24));
    EXPECT_FALSE(LayoutOf(3, -5, 24));
    // a colour table follows the header for 8 bits or fewer
    const std::vector<uint8_t> file = EncodeBitmapFile(3, 5, 1, std::vector<uint8_t>(20, 0xFF),
                                                       {0x00000000u, 0x00FFFFFFu});
    ASSERT_EQ(62u + 20u, file.size());
    EXPECT_EQ(0x00FFFFFFu, Read32(file, 58));
    EXPECT_TRUE(EncodeBitmapFile(3, 5, 24, std::vector<uint8_t>(59)).empty()) << "wrong pixel size";
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
        for (size_t at = log.find(line); at != std::string::npos; at = log.find(line, at + 1)) ++count;
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
