// Games that come from outside the game's own dialog, in the real window under Wine: a
// transcript pasted from the clipboard (also while the computer thinks, also refused), the
// position copied as text, game files dropped on the window, and a game file named on the
// command line at start-up.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>
#include <shellapi.h>
#include <shlobj.h>

#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "board_functions.h"
#include "game_file.h"
#include "record_export.h"
#include "texts.h"
#include "ui_test_support.h"

namespace {

using namespace tavik_ui_test;

void PutText(HWND owner, const std::string& text) {
    ASSERT_TRUE(OpenClipboard(owner));
    EmptyClipboard();
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, text.size() + 1);
    std::memcpy(GlobalLock(block), text.data(), text.size());
    GlobalUnlock(block);
    SetClipboardData(CF_TEXT, block);
    CloseClipboard();
}

void PutUnicodeText(HWND owner, const std::wstring& text) {
    ASSERT_TRUE(OpenClipboard(owner));
    EmptyClipboard();
    const size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, bytes);
    std::memcpy(GlobalLock(block), text.c_str(), bytes);
    GlobalUnlock(block);
    SetClipboardData(CF_UNICODETEXT, block);
    CloseClipboard();
}

std::string ClipboardText(HWND owner) {
    std::string text;
    if (!OpenClipboard(owner)) return "(no clipboard)";
    if (HANDLE data = GetClipboardData(CF_TEXT)) {
        text = static_cast<const char*>(GlobalLock(data));
        GlobalUnlock(data);
    }
    CloseClipboard();
    return text;
}

// A folder of this test's own, emptied before and after.
class Folder {
public:
    Folder() {
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        path_ = std::string(temp) + "tavik paste and drop\\";  // a space, as paths have
        Clear();
        CreateDirectoryA(path_.c_str(), nullptr);
    }
    ~Folder() { Clear(); }
    std::string Write(const std::string& name, const std::string& bytes) const {
        std::ofstream(path_ + name, std::ios::binary) << bytes;
        return path_ + name;
    }
    std::string Path(const std::string& name) const { return path_ + name; }

private:
    void Clear() {
        WIN32_FIND_DATAA found;
        HANDLE search = FindFirstFileA((path_ + "*").c_str(), &found);
        if (search != INVALID_HANDLE_VALUE) {
            do DeleteFileA((path_ + found.cFileName).c_str());
            while (FindNextFileA(search, &found));
            FindClose(search);
        }
        RemoveDirectoryA(path_.c_str());
    }
    std::string path_;
};

std::string Encoded(const GameRecord& record) {
    const std::vector<uint8_t> bytes = EncodeGameFile(record);
    return std::string(bytes.begin(), bytes.end());
}

// The memory a drop hands the window: a DROPFILES header and the paths, each ended by a zero,
// with one more zero at the end. The window frees it (DragFinish).
HDROP DropOf(const std::vector<std::string>& paths) {
    std::string names;
    for (const std::string& path : paths) names += path + '\0';
    names += '\0';
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + names.size());
    auto* header = static_cast<DROPFILES*>(GlobalLock(block));
    header->pFiles = sizeof(DROPFILES);
    header->fWide = FALSE;
    std::memcpy(reinterpret_cast<char*>(header) + sizeof(DROPFILES), names.data(), names.size());
    GlobalUnlock(block);
    return static_cast<HDROP>(block);
}

bool SameGame(const GameRecord& a, const GameRecord& b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}
bool SameBoard(const BoardState& a, const BoardState& b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

const char kPasteRefused[] = "棋譜を貼り付けられませんでした。";

class PasteAndDrop : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        StoreDword("ShowKifu", 1);
        statusObserver = [this](int part, const char* text) {
            if (part == 0) status.emplace_back(text);
        };
    }
    void Drop(const std::vector<std::string>& paths) {
        SendMessageA(Main(), WM_DROPFILES, reinterpret_cast<WPARAM>(DropOf(paths)), 0);
    }
    std::vector<std::string> status;  // part 0, in order
    Folder folder;
};

TEST_F(PasteAndDrop, APasteWhileTheComputerThinksReplacesTheWholeGame) {
    Start();
    PositionAfter(20);  // black to move, out of the book
    W().Settings().black.isComputer = true;
    W().Settings().white.isComputer = true;
    W().Settings().black.normalDepth = 10;  // far longer than the test waits
    Command(kCmdStart);
    ASSERT_TRUE(PumpUntil([&] { return W().Session().WorkerBusy(); }));
    PutText(Main(), "1. f5 d6 2. c3 d3 3. c4");
    Command(kCmdPasteRecord);
    EXPECT_FALSE(W().Session().Running()) << "the game stopped";
    EXPECT_FALSE(W().Session().WorkerBusy()) << "and its computer with it";
    // A computer move on its way when the paste came lands or drops; it never follows the paste.
    ASSERT_TRUE(PumpUntil([&] { return W().Session().MovesInFlight() == 0; }, 20));
    Pump();
    const GameRecord record = Record();
    ASSERT_EQ(5, RecordedMoves(record));
    const char* squares[] = {"F5", "D6", "C3", "D3", "C4"};
    for (int i = 0; i < 5; ++i) {
        const MoveEntry& entry = record.moves[i];
        EXPECT_EQ(squares[i], SquareName(entry.square));
        EXPECT_EQ(i % 2 == 0 ? 1 : -1, entry.side);
        EXPECT_EQ(0, entry.value + entry.nodes + entry.thinkTime + entry.comment[0]);
    }
    EXPECT_STREQ("", record.blackName);
    EXPECT_STREQ("", record.whiteName);
    BoardState expected = InitialBoard();
    ReplayMoves(record, 60, expected);
    EXPECT_TRUE(SameBoard(expected, Board())) << "the last position is shown";
    EXPECT_EQ(5, ListRows());
    ASSERT_FALSE(status.empty());
    EXPECT_EQ("5手を貼り付け", status.back());
}

// Every refusal names its reason in one box, and leaves the running game exactly as it was:
// the record byte for byte, the board, the list, the game still running.
TEST_F(PasteAndDrop, ARefusedPasteChangesNothing) {
    Start();
    PositionAfter(20);
    Command(kCmdStart);  // two people: nobody thinks, the game waits for black
    ASSERT_TRUE(W().Session().Running());
    const GameRecord before = Record();
    const BoardState board = Board();
    const int rows = ListRows();
    const std::string diagram = PositionDiagram(InitialBoard());
    const struct {
        const char* what;
        std::string text;
        bool unicode;
    } cases[] = {
        {"an illegal move", "f5 d6 c3 f5", false},
        {"a word that is no move", "f5 d6 hello", false},
        {"a pass nobody had to make", "f5 pass d6", false},
        {"a diagram", diagram, false},
        {"an overlong text", std::string(100001, ' '), false},
        {"nothing but spaces", "   \r\n", false},
        {"Japanese text, offered as Unicode only", "", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.unicode)
            PutUnicodeText(Main(), L"\u9ed2\u756a f5");  // 黒番 f5
        else
            PutText(Main(), c.text);
        BoxAnswerer boxes;
        Command(kCmdPasteRecord);
        ASSERT_TRUE(PumpUntil([&] { return boxes.Boxes().size() == 1; }, 10));
        const std::string message = boxes.Boxes()[0].text;
        EXPECT_EQ(0u, message.find(kPasteRefused)) << message;
        EXPECT_GT(message.size(), sizeof kPasteRefused) << "a reason follows";
        EXPECT_TRUE(SameGame(before, Record()));
        EXPECT_TRUE(SameBoard(board, Board()));
        EXPECT_TRUE(W().Session().Running()) << "the game goes on";
        EXPECT_EQ(rows, ListRows());
    }
}

TEST_F(PasteAndDrop, TheTextOfTheOwnCopyAndOfAUnicodeClipboardPasteBack) {
    Start();
    PositionAfter(60);
    const GameRecord golden = Record();
    Command(kCmdCopyRecord);
    Command(kCmdNewGame);
    ASSERT_EQ(0, RecordedMoves(Record()));
    Command(kCmdPasteRecord);
    const GameRecord pasted = Record();
    ASSERT_EQ(RecordedMoves(golden), RecordedMoves(pasted));
    for (int i = 0; i < RecordedMoves(golden); ++i) {
        EXPECT_EQ(golden.moves[i].square, pasted.moves[i].square) << i;
        EXPECT_EQ(golden.moves[i].side, pasted.moves[i].side) << i;  // the passes came back
    }
    PutUnicodeText(Main(), L"F5\r\nD6\r\nC3");
    Command(kCmdPasteRecord);
    EXPECT_EQ(3, RecordedMoves(Record()));
}

TEST_F(PasteAndDrop, ThePositionGoesToTheClipboardAsTheToolReadsIt) {
    Start();
    Command(kCmdCopyPosition);
    EXPECT_EQ(std::string(27, '-') + "OX------XO" + std::string(27, '-') + " X",
              ClipboardText(Main()));
    PutText(Main(), "f5");
    Command(kCmdPasteRecord);
    Command(kCmdCopyPosition);
    EXPECT_EQ(std::string(27, '-') + "OX------XXX" + std::string(26, '-') + " O",
              ClipboardText(Main()));
}

TEST_F(PasteAndDrop, OneDroppedGameFileOpensAndEverythingElseIsRefused) {
    Start();
    GameRecord golden = GoldenGame();
    const std::string game = folder.Write("drop.tvk", Encoded(golden));
    const std::string upper = folder.Write("DROP2.TVK", Encoded(golden));
    const std::string text = folder.Write("game.txt", "f5d6c3");
    std::string damagedBytes = Encoded(golden);
    damagedBytes.resize(1000);
    const std::string damaged = folder.Write("damaged.tvk", damagedBytes);

    const GameRecord empty = Record();
    const struct {
        const char* what;
        std::vector<std::string> paths;
        const char* message;  // the start of the box's text
    } refused[] = {
        {"two files", {game, upper}, "対局ファイルは一度に1つだけ開けます。"},
        {"a text file", {text}, "「game.txt」はTavik対局ファイル(*.tvk)ではないため"},
        {"a damaged game file", {damaged}, "対局ファイルを読み込めませんでした。"},
        {"a game file that is gone", {folder.Path("gone.tvk")}, "対局ファイルを開くことが"},
    };
    for (const auto& c : refused) {
        SCOPED_TRACE(c.what);
        BoxAnswerer boxes;
        Drop(c.paths);
        ASSERT_TRUE(PumpUntil([&] { return boxes.Boxes().size() == 1; }, 10));
        EXPECT_EQ(0u, boxes.Boxes()[0].text.find(c.message)) << boxes.Boxes()[0].text;
        EXPECT_TRUE(SameGame(empty, Record()));
    }
    for (const std::string& path : {game, upper}) {
        SCOPED_TRACE(path);
        Command(kCmdNewGame);
        Drop({path});
        EXPECT_TRUE(SameGame(golden, Record()));
        BoardState last = InitialBoard();
        ReplayMoves(golden, 60, last);
        EXPECT_TRUE(SameBoard(last, Board()));
        EXPECT_EQ(RecordedMoves(golden), ListRows());
    }
}

TEST_F(PasteAndDrop, AGameFileNamedOnTheCommandLineOpensAtStartUp) {
    const GameRecord golden = GoldenGame();
    const std::string path = folder.Write("a game.tvk", Encoded(golden));
    const struct {
        std::string line;
        bool debug;
    } lines[] = {
        {"Tavik.exe \"" + path + "\"", false},
        {"\"C:\\Program Files\\Tavik\\Tavik.exe\" /D \"" + path + "\"", true},
        {"Tavik.exe \"" + path + "\" /D", true},
    };
    for (const auto& c : lines) {
        SCOPED_TRACE(c.line);
        commandLine = c.line;
        Start();
        EXPECT_TRUE(SameGame(golden, Record()));
        EXPECT_EQ(RecordedMoves(golden), ListRows());
        EXPECT_EQ(c.debug, W().DebugSwitch());
        EXPECT_EQ(c.debug, !Greyed(kCmdPriorityRealTime));
        Close();
    }
    // A file that is not there: the window comes up with its empty game, after one message.
    commandLine = "Tavik.exe \"" + folder.Path("gone.tvk") + "\"";
    BoxAnswerer boxes;
    Start();
    EXPECT_TRUE(IsWindowVisible(Main()));
    ASSERT_TRUE(PumpUntil([&] { return boxes.Boxes().size() == 1; }, 10));
    EXPECT_EQ(0, RecordedMoves(Record()));
}

}  // namespace
