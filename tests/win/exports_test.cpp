// Ostrakon.dll as a Windows program sees it: the export table, the __stdcall convention of
// every export and of the progress callback, the version record's bytes, and the DLLs it needs.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "board_functions.h"
#include "ostrakon.h"
#include "pe_image.h"
#include "position_text.h"

namespace {

using tavik_test::ExportNames;
using tavik_test::ImportedDlls;
using tavik_test::CallExport;

HMODULE Engine() {
    static HMODULE module = LoadLibraryA("Ostrakon.dll");
    return module;
}


// An export as a typed function pointer; the detour through void(*)() is the cast the compiler
// accepts between unrelated function types.
template <class Fn>
Fn Export(const char* name) {
    return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(GetProcAddress(Engine(), name)));
}

int gCallbacks = 0;
void __stdcall CountCallback(const char*) { ++gCallbacks; }

TEST(EngineDll, ExportsExactlyTheUndecoratedNames) {
    ASSERT_NE(nullptr, Engine());
    const std::vector<std::string> expected = {"CanDrop",     "CancelThink",    "EvalSituation",
                                               "GetOpenness", "GetVersionInfo", "ReverseStones",
                                               "Think",       "ThinkBook"};
    EXPECT_EQ(expected, ExportNames(Engine()));
}

TEST(EngineDll, NeedsOnlySystemDlls) {
    ASSERT_NE(nullptr, Engine());
    for (const std::string& dll : ImportedDlls(Engine())) {
        EXPECT_TRUE(dll == "kernel32.dll" || dll == "msvcrt.dll" || dll == "user32.dll" ||
                    dll.rfind("api-ms-win-", 0) == 0)
            << dll;
    }
}

// On 32-bit Windows every export removes its own arguments (__stdcall); on both, each answers
// through its address as documented.
TEST(EngineDll, EveryExportAnswersThroughItsAddress) {
    ASSERT_NE(nullptr, Engine());
    BoardState board = tavik::InitialBoard();
    ThinkResult result{};
    ThinkResult bookResult{};
    const char parallel[64] = {51, 42};  // F5 F4: the book holds one line, so E3 whatever the draw
    VersionInfo info{};
    const auto addr = [](const void* p) { return reinterpret_cast<uintptr_t>(p); };
    struct Case {
        const char* name;
        std::vector<uintptr_t> args;
        uint32_t expected;
    } cases[] = {
        {"CanDrop", {addr(&board), 51}, 0xFFFFFFFFu},
        {"GetOpenness", {addr(&board), 51}, 5},
        {"EvalSituation", {addr(&board)}, 0},
        {"GetVersionInfo", {addr(&info)}, 0xFFFFFFFFu},
        {"Think", {addr(&board), 2, addr(&result), 1, addr(reinterpret_cast<const void*>(&CountCallback))},
         0xFFFFFFFFu},
        {"ThinkBook", {addr(parallel), addr(&bookResult), 1}, 32},
        {"ReverseStones", {addr(&board), 51}, 0xFFFFFFFFu},
        {"CancelThink", {GetCurrentThreadId()}, 0},  // this thread runs no search now
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const void* fn = reinterpret_cast<const void*>(GetProcAddress(Engine(), c.name));
        ASSERT_NE(nullptr, fn);
        const tavik_test::ExportCall call = CallExport(fn, c.args);
        EXPECT_EQ(0, call.stackDelta);
        EXPECT_EQ(c.expected, call.returned);
    }
    EXPECT_EQ(4, gCallbacks) << "one progress call per root move, through a __stdcall pointer";
    EXPECT_EQ(2, info.majorVersion);
    EXPECT_EQ(-1, board.sideToMove) << "ReverseStones played F5";
    EXPECT_EQ(32, bookResult.move);
    EXPECT_EQ(1, bookResult.nodes);
}

TEST(EngineDll, CallsThroughTypedPointersKeepTheStack) {
    using CanDropFn = int32_t(__stdcall*)(const BoardState*, int32_t);
    using ThinkFn = int32_t(__stdcall*)(const BoardState*, int32_t, ThinkResult*, int32_t, ProgressCallback);
    const auto canDrop = Export<CanDropFn>("CanDrop");
    const auto think = Export<ThinkFn>("Think");
    ASSERT_TRUE(canDrop && think);
    const BoardState board = tavik::InitialBoard();
    int legal = 0;
    for (int cell = 10; cell <= 80; ++cell) legal += canDrop(&board, cell) == -1;
    EXPECT_EQ(4, legal);
    ThinkResult r{};
    EXPECT_EQ(-1, think(&board, 1, &r, 0, nullptr));
    EXPECT_EQ(51, r.move);
    EXPECT_EQ(4, r.nodes);

    using ThinkBookFn = int32_t(__stdcall*)(const char*, ThinkResult*, int32_t);
    const auto thinkBook = Export<ThinkBookFn>("ThinkBook");
    ASSERT_TRUE(thinkBook);
    const char afterE6[64] = {59};  // the book's replies to F5, reflected in the main diagonal
    ThinkResult book{};
    const int32_t answer = thinkBook(afterE6, &book, -1);
    EXPECT_TRUE(answer == 60 || answer == 42) << answer;  // F6 stays, D6 becomes F4
    EXPECT_EQ(answer, book.move);
    BoardState afterE6Board = tavik::InitialBoard();
    ReverseStones(&afterE6Board, 59);
    EXPECT_EQ(-1, canDrop(&afterE6Board, answer));
}

TEST(EngineDll, VersionRecordTexts) {
    using Fn = int32_t(__stdcall*)(VersionInfo*);
    const auto getVersionInfo = Export<Fn>("GetVersionInfo");
    ASSERT_NE(nullptr, getVersionInfo);
    VersionInfo info;
    std::memset(&info, 0x55, sizeof info);
    EXPECT_EQ(-1, getVersionInfo(&info));
    EXPECT_EQ(2, info.majorVersion);
    EXPECT_EQ(1, info.minorVersion);
    EXPECT_STREQ("Reversi Think Module Library \"Ventrisk\"", info.productName);
    // リバーシ思考ルーチンライブラリ 「Ventrisk」 in code page 932
    EXPECT_STREQ("\x83\x8a\x83\x6f\x81\x5b\x83\x56\x8e\x76\x8d\x6c\x83\x8b\x81\x5b\x83\x60\x83\x93"
                 "\x83\x89\x83\x43\x83\x75\x83\x89\x83\x8a \x81\x75Ventrisk\x81\x76",
                 info.productNameJapanese);
    EXPECT_GT(std::strlen(info.copyright), 0u);
    EXPECT_LT(std::strlen(info.copyright), 256u);
    EXPECT_GT(std::strlen(info.author), 0u);
    // The Japanese name converts to the same text through the system's own code page.
    wchar_t wide[64];
    const int n = MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, info.productNameJapanese, -1, wide, 64);
    EXPECT_EQ(static_cast<int>(std::wcslen(L"リバーシ思考ルーチンライブラリ 「Ventrisk」")) + 1, n);
}

}  // namespace
