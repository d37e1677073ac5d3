// The file and clipboard commands in the real program under Wine, with the real file dialogs,
// answered by a hook on this thread as a person would answer them: games saved and opened
// (also with passes, also damaged files, also where the save cannot be made), the record
// exported through both templates and copied as text, the board saved as a bitmap file and
// copied as a bitmap, without the legal-move frames.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "board_functions.h"
#include "game_file.h"
#include "record_export.h"
#include "texts.h"
#include "ui_test_support.h"

namespace {

using namespace tavik_ui_test;

// What the hook answers and what it saw. File dialogs take the names in order ("" cancels);
// message boxes are answered Yes where they ask (overwriting), else OK.
struct Script {
    std::vector<std::string> files;
    size_t next = 0;
    std::vector<std::string> boxes;  // "caption: text"
    int dialogs = 0;
    std::set<HWND> answered;
    std::function<void()> whileBoxIsUp;  // runs before a message box is answered
};
Script* gScript = nullptr;
HHOOK gHook = nullptr;

std::string TextOf(HWND window, int id = 0) {
    char text[1024] = {};
    if (id)
        GetDlgItemTextA(window, id, text, sizeof text);
    else
        GetWindowTextA(window, text, sizeof text);
    return text;
}

LRESULT CALLBACK Answer(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE && gScript) {
        const auto window = reinterpret_cast<HWND>(wParam);
        char cls[32] = {};
        GetClassNameA(window, cls, sizeof cls);
        if (std::strcmp(cls, "#32770") == 0 && gScript->answered.insert(window).second) {
            // The file name box of the dialog: a combo box (cmb13) or, in older layouts, an edit.
            HWND name = GetDlgItem(window, 1148);
            if (!name) name = GetDlgItem(window, 1152);
            if (name) {
                ++gScript->dialogs;
                const std::string file =
                    gScript->next < gScript->files.size() ? gScript->files[gScript->next++] : "";
                if (file.empty()) {
                    PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
                } else {
                    SetWindowTextA(name, file.c_str());
                    PostMessageA(window, WM_COMMAND, IDOK, 0);
                }
            } else {
                gScript->boxes.push_back(TextOf(window) + ": " + TextOf(window, 0xFFFF));
                if (gScript->whileBoxIsUp) gScript->whileBoxIsUp();
                PostMessageA(window, WM_COMMAND, GetDlgItem(window, IDYES) ? IDYES : IDOK, 0);
            }
        }
    }
    return CallNextHookEx(gHook, code, wParam, lParam);
}

// The answers for the commands run while it lives.
class Answers {
public:
    explicit Answers(std::vector<std::string> files, std::function<void()> whileBoxIsUp = {}) {
        script_.files = std::move(files);
        script_.whileBoxIsUp = std::move(whileBoxIsUp);
        gScript = &script_;
        gHook = SetWindowsHookExA(WH_CBT, Answer, nullptr, GetCurrentThreadId());
    }
    ~Answers() {
        UnhookWindowsHookEx(gHook);
        gScript = nullptr;
    }
    const Script& Seen() const { return script_; }

private:
    Script script_;
};

// A folder of this test's own, made empty, as the current directory (error.log goes there).
class Folder {
public:
    Folder() {
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        path_ = std::string(temp) + "tavik-file-commands\\";
        Clear();
        CreateDirectoryA(path_.c_str(), nullptr);
        GetCurrentDirectoryA(MAX_PATH, old_);
        SetCurrentDirectoryA(path_.c_str());
    }
    ~Folder() {
        SetCurrentDirectoryA(old_);
        Clear();
    }
    std::string operator/(const std::string& name) const { return path_ + name; }
    std::string Log() const { return Bytes("error.log"); }
    std::string Bytes(const std::string& name) const {
        std::ifstream in(path_ + name, std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(in)), {});
    }
    bool Exists(const std::string& name) const {
        return GetFileAttributesA((path_ + name).c_str()) != INVALID_FILE_ATTRIBUTES;
    }
    void Write(const std::string& name, const std::string& bytes) const {
        std::ofstream(path_ + name, std::ios::binary) << bytes;
    }

private:
    void Clear() {
        WIN32_FIND_DATAA found;
        HANDLE search = FindFirstFileA((path_ + "*").c_str(), &found);
        if (search != INVALID_HANDLE_VALUE) {
            do {
                const std::string file = path_ + found.cFileName;
                SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(file.c_str());
            } while (FindNextFileA(search, &found));
            FindClose(search);
        }
        RemoveDirectoryA(path_.c_str());
    }
    std::string path_;
    char old_[MAX_PATH] = {};
};

std::string Encoded(const GameRecord& record) {
    const std::vector<uint8_t> bytes = EncodeGameFile(record);
    return std::string(bytes.begin(), bytes.end());
}

class FileCommands : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        StoreDword("ShowKifu", 1);
        statusObserver = [this](int part, const char* text) {
            if (part == 0) status.emplace_back(text);
        };
        Start();
    }
    std::vector<std::string> status;  // part 0, in order
    Folder folder;
};

TEST_F(FileCommands, AGameWithAPassSavedOpenedAndSavedAgain) {
    PositionAfter(60);  // the golden game: two passes near its end
    Command(kCmdBack);
    Command(kCmdBack);  // a game stepped back is saved whole
    const GameRecord saved = Record();
    {
        Answers answers({folder / "game.tvk"});
        Command(kCmdSave);
        EXPECT_EQ(1, answers.Seen().dialogs);
        EXPECT_TRUE(answers.Seen().boxes.empty());
    }
    EXPECT_EQ((std::vector<std::string>{"対局を保存しています...", ""}), status);
    const std::string file = folder.Bytes("game.tvk");
    ASSERT_EQ(37071u, file.size());
    EXPECT_TRUE(Encoded(saved) == file) << "the file is the record's image";

    Command(kCmdNewGame);
    Command(kCmdStop);
    ASSERT_EQ(0, RecordedMoves(Record()));
    status.clear();
    {
        Answers answers({folder / "game.tvk"});
        Command(kCmdOpen);
        EXPECT_TRUE(answers.Seen().boxes.empty());
    }
    EXPECT_EQ((std::vector<std::string>{"対局を読み込んでいます...", ""}), status);
    const GameRecord loaded = Record();
    EXPECT_EQ(0, std::memcmp(&saved, &loaded, sizeof saved)) << "the record comes back whole";
    EXPECT_EQ(60, ListRows());
    BoardState last;
    ReplayMoves(loaded, 60, last);
    const BoardState shown = Board();
    EXPECT_EQ(0, std::memcmp(&last, &shown, sizeof last)) << "the last position is shown";
    EXPECT_FALSE(W().Session().Running());

    {
        Answers answers({folder / "again.tvk"});
        Command(kCmdSave);
    }
    EXPECT_TRUE(file == folder.Bytes("again.tvk")) << "saved again byte for byte";
}

// Holds the session's move lock on a thread of its own until Release (or 20 s), so a move handed
// over meanwhile waits in its move thread, on its way. A command that waited for it would
// wait those 20 s and then find the move landed, instead of hanging the test.
class MoveHold {
public:
    explicit MoveHold(GameSession& session)
        : thread_([this, &session] {
              GameSession::Turn held(session);
              holding_ = true;
              WaitUntil([this] { return released_.load(); }, 20);
          }) {
        WaitUntil([this] { return holding_.load(); }, 20);
    }
    ~MoveHold() {
        Release();
        thread_.join();
    }
    void Release() { released_ = true; }

private:
    std::atomic<bool> holding_{false}, released_{false};
    std::thread thread_;
};

// Saving writes what the record holds at that moment, and the game goes on: the move on its
// way lands after the save, not before it. A file that is refused leaves the running game as
// it was; only an accepted one stops it.
TEST_F(FileCommands, SavingAndARefusedOpenLeaveAGameRunning) {
    W().Settings().black.isComputer = 0;
    W().Settings().white.isComputer = 0;
    Command(kCmdStart);
    // A click on the first legal move of the side to move.
    const auto click = [this] {
        const BoardState board = Board();
        int cell = 10;
        while (cell < 80 && !CanDrop(&board, cell)) ++cell;
        SendMessageA(Main(), WM_LBUTTONDOWN, MK_LBUTTON,
                     MAKELPARAM(50 * ((cell - 10) % 9) + 25, 50 * ((cell - 10) / 9) + 25));
    };
    const auto landed = [this](int moves) {
        return PumpUntil(
            [&] { return RecordedMoves(Record()) == moves && W().Session().MovesInFlight() == 0; },
            20);
    };
    click();
    ASSERT_TRUE(landed(1));
    GameRecord atSave;
    {
        MoveHold hold(W().Session());
        click();  // on its way while the game is saved
        ASSERT_EQ(1, W().Session().MovesInFlight());
        atSave = Record();
        Answers answers({folder / "running.tvk"});
        Command(kCmdSave);
        EXPECT_TRUE(answers.Seen().boxes.empty());
        EXPECT_TRUE(W().Session().Running()) << "the game goes on";
        EXPECT_EQ(1, W().Session().MovesInFlight()) << "the save did not wait for the move";
    }
    ASSERT_TRUE(landed(2));
    EXPECT_TRUE(Encoded(atSave) == folder.Bytes("running.tvk"))
        << "the record as it was when saved";
    EXPECT_EQ(1, RecordedMoves(atSave));

    folder.Write("damaged.tvk", folder.Bytes("running.tvk").substr(0, 100));
    const GameRecord before = Record();
    {
        Answers answers({folder / "damaged.tvk"});
        Command(kCmdOpen);
        EXPECT_EQ(1u, answers.Seen().boxes.size());
    }
    EXPECT_TRUE(W().Session().Running()) << "a refused file leaves the game running";
    const GameRecord after = Record();
    EXPECT_EQ(0, std::memcmp(&before, &after, sizeof before));
    click();
    ASSERT_TRUE(landed(3)) << "and it goes on";

    {
        Answers answers({folder / "running.tvk"});
        Command(kCmdOpen);
        EXPECT_TRUE(answers.Seen().boxes.empty());
    }
    EXPECT_FALSE(W().Session().Running()) << "an accepted file stops the game";
    EXPECT_EQ(1, RecordedMoves(Record()));
    EXPECT_EQ(1, ListRows());
}

TEST_F(FileCommands, CancelledDialogsChangeNothing) {
    PositionAfter(30);
    const GameRecord record = Record();
    const BoardState board = Board();
    for (UINT command : {kCmdOpen, kCmdSave, kCmdExport}) {
        SCOPED_TRACE(command);
        status.clear();
        Answers answers({""});
        Command(command);
        EXPECT_EQ(1, answers.Seen().dialogs);
        EXPECT_TRUE(status.empty()) << "the status bar is not touched";
    }
    const GameRecord after = Record();
    const BoardState boardAfter = Board();
    EXPECT_EQ(0, std::memcmp(&record, &after, sizeof record));
    EXPECT_EQ(0, std::memcmp(&board, &boardAfter, sizeof board));
    EXPECT_FALSE(folder.Exists("error.log"));
}

TEST_F(FileCommands, DamagedFilesAreRefusedAndTheGameStays) {
    PositionAfter(24);
    const GameRecord record = Record();
    const BoardState board = Board();
    std::string sound = Encoded(GoldenGame());
    std::string illegal = sound;
    const int32_t a1 = 10;
    std::memcpy(&illegal[133 + 2098 + 536 * 4 + 4], &a1, 4);  // move 5 on A1
    std::string unnamed = sound;
    std::memset(&unnamed[133], 'x', 1025);  // the black name without its zero
    struct Case {
        const char* what;
        std::string bytes;
        std::string message;
    } cases[] = {
        {"too short", sound.substr(0, 37070),
         "対局ファイルを読み込めませんでした。Tavikの対局ファイルではありません（大きさが37071バイ"
         "トではありません）。"},
        {"an illegal move", illegal,
         "対局ファイルを読み込めませんでした。5手目のA1には打てません。"},
        {"a name without its zero", unnamed,
         "対局ファイルを読み込めませんでした。対局者名が壊れています。"},
    };
    std::string log;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        folder.Write("damaged.tvk", c.bytes);
        Answers answers({folder / "damaged.tvk"});
        Command(kCmdOpen);
        ASSERT_EQ(1u, answers.Seen().boxes.size());
        EXPECT_EQ("エラー発生: " + c.message, answers.Seen().boxes[0]);
        log += c.message + "\r\n";
        const GameRecord after = Record();
        const BoardState boardAfter = Board();
        EXPECT_EQ(0, std::memcmp(&record, &after, sizeof record))
            << "the record is as it was, byte for byte";
        EXPECT_EQ(0, std::memcmp(&board, &boardAfter, sizeof board));
        EXPECT_EQ(60, ListRows()) << "the list still shows the whole record";
    }
    EXPECT_EQ(log, folder.Log());
}

// A file another program holds open, without sharing, cannot be replaced.
class HeldOpen {
public:
    explicit HeldOpen(const std::string& path)
        : file_(CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr)) {}
    ~HeldOpen() { CloseHandle(file_); }
    bool Held() const { return file_ != INVALID_HANDLE_VALUE; }

private:
    HANDLE file_;
};

bool TemporaryLeft(const Folder& folder, const std::string& name) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder / (name + ".tmp*")).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return false;
    FindClose(search);
    return true;
}

TEST_F(FileCommands, ASaveThatCannotReplaceAFileReportsItAndKeepsTheFile) {
    PositionAfter(12);
    folder.Write("kept.tvk", "the file that was there");
    {
        HeldOpen held(folder / "kept.tvk");
        ASSERT_TRUE(held.Held());
        Answers answers({folder / "kept.tvk"});
        Command(kCmdSave);
        const std::vector<std::string>& boxes = answers.Seen().boxes;
        ASSERT_FALSE(boxes.empty());
        EXPECT_EQ(
            "エラー発生: "
            "対局ファイルを保存できませんでした。前のファイルを置き換えられません（前のファイルは変"
            "わっていません）。",
            boxes.back());
    }
    EXPECT_EQ("the file that was there", folder.Bytes("kept.tvk"));
    EXPECT_EQ((std::vector<std::string>{"対局を保存しています...", ""}), status);
    EXPECT_FALSE(TemporaryLeft(folder, "kept.tvk")) << "nothing of the attempt is left beside it";
}

TEST_F(FileCommands, ExportChoosesTheTemplateByTheName) {
    PositionAfter(8);
    struct Case {
        const char* name;
        bool html;
    } cases[] = {{"plain.txt", false}, {"page.HTML", true}, {"nodot", false}, {"short.Htm", true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        status.clear();
        {
            Answers answers({folder / c.name});
            Command(kCmdExport);
            EXPECT_TRUE(answers.Seen().boxes.empty());
        }
        // A name without a dot gets the chosen filter's extension from the dialog.
        const std::string written = std::string(c.name) == "nodot" ? "nodot.txt" : c.name;
        const std::string text = folder.Bytes(written);
        ASSERT_FALSE(text.empty()) << written;
        EXPECT_EQ(c.html, text.find("<!DOCTYPE html>") == 0);
        EXPECT_NE(std::string::npos, text.find(KifuString(Record())));
        EXPECT_EQ(std::string::npos, text.find("$KIFU_STRING$"));
        EXPECT_EQ((std::vector<std::string>{"棋譜を保存しています...", ""}), status);
    }
}

TEST_F(FileCommands, AMissingTemplateIsReportedAndNothingIsWritten) {
    char program[MAX_PATH];
    GetModuleFileNameA(nullptr, program, MAX_PATH);
    std::string templates = program;
    templates = templates.substr(0, templates.rfind('\\')) + "\\templates\\";
    ASSERT_TRUE(
        MoveFileA((templates + "template.txt").c_str(), (templates + "template.txt.away").c_str()));
    {
        Answers answers({folder / "lost.txt"});
        Command(kCmdExport);
        ASSERT_EQ(1u, answers.Seen().boxes.size());
        EXPECT_EQ("エラー発生: テンプレートファイルオープンに失敗。棋譜を保存できません。",
                  answers.Seen().boxes[0]);
    }
    MoveFileA((templates + "template.txt.away").c_str(), (templates + "template.txt").c_str());
    EXPECT_FALSE(folder.Exists("lost.txt"));
    EXPECT_EQ("テンプレートファイルオープンに失敗。棋譜を保存できません。\r\n", folder.Log());
}

TEST_F(FileCommands, TheRecordAsTextOnTheClipboard) {
    for (bool empty : {true, false}) {
        SCOPED_TRACE(empty);
        if (empty)
            SetGame([](BoardState& board, GameRecord& record) {
                board = InitialBoard();
                ClearRecord(record);
            });
        else
            PositionAfter(33);  // the whole golden game is in the record
        Command(kCmdCopyRecord);
        ASSERT_TRUE(OpenClipboard(Main()));
        HANDLE data = GetClipboardData(CF_TEXT);
        ASSERT_NE(nullptr, data);
        const std::string text = static_cast<const char*>(GlobalLock(data));
        GlobalUnlock(data);
        CloseClipboard();
        EXPECT_EQ(KifuString(Record()), text);
        EXPECT_EQ(empty ? 0u : 120u, text.size());
    }
}

// The picture of the board as the window shows it without frames, row by row from the top,
// three bytes blue, green, red a pixel.
std::vector<uint8_t> PixelsOf(HBITMAP bitmap) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = 401;
    info.bmiHeader.biHeight = -401;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    std::vector<uint8_t> pixels(1204 * 401);
    HDC dc = GetDC(nullptr);
    GetDIBits(dc, bitmap, 0, 401, pixels.data(), &info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, dc);
    return pixels;
}

// How many of the legal moves of the position shown have their green frame in the picture (the
// frame's left edge, halfway down the square).
int FramesShown(MainWindow& window) {
    const BoardState board = window.Session().Board();
    int frames = 0;
    for (int cell = 10; cell <= 80; ++cell)
        if (CanDrop(&board, cell))
            frames += GetPixel(window.View().BackDc(), 50 * ((cell - 10) % 9) + 1,
                               50 * ((cell - 10) / 9) + 25) == RGB(0, 255, 0);
    return frames;
}

TEST_F(FileCommands, TheBoardPictureWithoutTheFrames) {
    PositionAfter(20);
    Command(kCmdShowMoves);  // the frames on
    ASSERT_TRUE(W().Settings().showPossiblePosition);
    const int frames = FramesShown(W());
    ASSERT_GT(frames, 0) << "the position has legal moves, and the window frames them";
    // The picture the commands must take: the same position with the frames off.
    Command(kCmdShowMoves);
    const std::vector<uint8_t> expected = PixelsOf(W().View().BackBitmap());
    Command(kCmdShowMoves);

    {
        Answers answers({folder / "board.bmp"});
        Command(kCmdSaveBitmap);
        EXPECT_TRUE(answers.Seen().boxes.empty());
    }
    EXPECT_EQ((std::vector<std::string>{"保存しています...", ""}), status);
    const std::string file = folder.Bytes("board.bmp");
    ASSERT_EQ(482858u, file.size());
    EXPECT_EQ("BM", file.substr(0, 2));
    uint32_t offset = 0;
    uint16_t bits = 0;
    std::memcpy(&offset, &file[10], 4);
    std::memcpy(&bits, &file[28], 2);
    EXPECT_EQ(54u, offset);
    EXPECT_EQ(24u, bits);
    for (int row = 0; row < 401; ++row) {
        SCOPED_TRACE(row);
        const char* stored = &file[54 + 1204 * (400 - row)];  // bottom-up
        ASSERT_EQ(0, stored[1203]) << "the pad byte";
        ASSERT_EQ(0, std::memcmp(stored, &expected[1204 * row], 1203))
            << "the picture without frames";
    }
    EXPECT_TRUE(W().Settings().showPossiblePosition);
    EXPECT_EQ(frames, FramesShown(W())) << "the window shows the frames again";

    status.clear();
    Command(kCmdCopyBoard);
    EXPECT_EQ((std::vector<std::string>{"コピーしています...", ""}), status);
    ASSERT_TRUE(OpenClipboard(Main()));
    HBITMAP copied = static_cast<HBITMAP>(GetClipboardData(CF_BITMAP));
    ASSERT_NE(nullptr, copied);
    BITMAP info{};
    GetObjectA(copied, sizeof info, &info);
    EXPECT_EQ(401, info.bmWidth);
    EXPECT_EQ(401, info.bmHeight);
    EXPECT_EQ(expected, PixelsOf(copied));
    CloseClipboard();
}

// The boxes of a failed save leave the main window live: the board is repainted while each is
// up (a WM_PAINT, the legal-move frames, a design, navigation), and no repaint may wait for a
// box. Each repaint runs on a thread of its own, so a repaint that waits shows as a failure
// here instead of hanging the test; it finishes once the box is gone.
TEST_F(FileCommands, ABitmapThatCannotBeSavedShowsBothMessages) {
    folder.Write("board.bmp", "kept");
    struct Joined : std::vector<std::thread> {
        ~Joined() {
            for (std::thread& t : *this) t.join();
        }
    } repaints;
    int stalled = 0;
    const auto repaintWhileUp = [&] {
        auto done = std::make_shared<std::atomic<bool>>(false);
        repaints.emplace_back([this, done] {
            W().View().Paint(Board(), true);
            *done = true;
        });
        if (!WaitUntil([&] { return done->load(); }, 10)) ++stalled;
    };
    {
        HeldOpen held(folder / "board.bmp");
        Answers answers({folder / "board.bmp"}, repaintWhileUp);
        Command(kCmdSaveBitmap);
        const std::vector<std::string>& boxes = answers.Seen().boxes;
        ASSERT_GE(boxes.size(), 2u);
        EXPECT_EQ("エラー: ファイルを置き換えることができませんでした", boxes[boxes.size() - 2]);
        EXPECT_EQ("エラー発生: ビットマップファイルの保存に失敗しました", boxes.back());
    }
    EXPECT_GE(repaints.size(), 2u);
    EXPECT_EQ(0, stalled) << "a repaint waited for a message box";
    EXPECT_EQ("kept", folder.Bytes("board.bmp"));
    EXPECT_FALSE(TemporaryLeft(folder, "board.bmp"));
    EXPECT_EQ((std::vector<std::string>{"保存しています...", ""}), status);
}

}  // namespace
