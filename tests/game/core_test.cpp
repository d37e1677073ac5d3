// The game core: the initial position, the board questions, the record and its replay, the
// navigation counts, and the texts of squares, values and record rows (code page 932 bytes).
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include "board_functions.h"
#include "command_line.h"
#include "commands.h"
#include "game_record.h"
#include "random_games.h"
#include "texts.h"

namespace {

using namespace tavik;

// Code page 932 bytes, written out so they do not depend on how the code was compiled.
const std::string kBlack = "\x8d\x95";                         // 黒
const std::string kWhite = "\x94\x92";                         // 白
const std::string kDiscsWin = "\x90\xce\x8f\x9f\x82\xbf";      // 石勝ち
const std::string kVictory = "\x8f\x9f\x97\x98";               // 勝利
const std::string kDraw = "\x88\xf8\x82\xab\x95\xaa\x82\xaf";  // 引き分け

TEST(Board, InitialPosition) {
    const BoardState board = InitialBoard();
    for (int cell : {0, 9, 18, 27, 36, 45, 54, 63, 72, 81, 90})
        EXPECT_EQ(0xFFFF, board.cells[cell]);
    EXPECT_EQ(-1, board.cells[40]);
    EXPECT_EQ(1, board.cells[41]);
    EXPECT_EQ(1, board.cells[49]);
    EXPECT_EQ(-1, board.cells[50]);
    EXPECT_EQ(1, board.sideToMove);
    EXPECT_EQ(60, CountCells(board, 0));
    EXPECT_EQ(2, CountCells(board, 1));
    EXPECT_EQ(2, CountCells(board, -1));
    EXPECT_FALSE(HasNoMove(board));
    EXPECT_FALSE(IsGameOver(board));
    EXPECT_EQ(0, ForcedMove(board));
}

TEST(Board, PassesForcedMovesAndTheEnd) {
    struct Case {
        const char* name;
        const char* rows;
        char side;
        bool noMove, forcedPass, gameOver;
        int forced;
    } cases[] = {
        {"one move",
         "-OX-----"
         "--------"
         "--------"
         "--------"
         "--------"
         "--------"
         "--------"
         "--------",
         'X', false, false, false, 10},
        {"must pass",
         "OX------"
         "--------"
         "--------"
         "--------"
         "--------"
         "--------"
         "--------"
         "--------",
         'X', true, true, false, 0},
        {"game over",
         "XX------"
         "--------"
         "--------"
         "--------"
         "--------"
         "--------"
         "--------"
         "--------",
         'O', true, false, true, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        BoardState board = tavik_test::Board(c.rows, c.side);
        const BoardState before = board;
        EXPECT_EQ(c.noMove, HasNoMove(board));
        EXPECT_EQ(c.forcedPass, IsForcedPass(board));
        EXPECT_EQ(c.gameOver, IsGameOver(board));
        EXPECT_EQ(c.forced, ForcedMove(board));
        EXPECT_EQ(0, std::memcmp(&before, &board, sizeof board)) << "the board is only read";
    }
}

// Random games played through the engine, each move written with RecordMove; replaying any
// prefix must give exactly the position the game had then, side to move included (a pass
// takes no entry, the replay makes it).
TEST(Record, ReplayRebuildsEveryPositionOfRandomGames) {
    int passes = 0;
    for (uint32_t seed = 1; seed <= 200; ++seed) {
        std::mt19937 rng(seed);
        static GameRecord record;
        ClearRecord(record);
        BoardState board = InitialBoard();
        std::vector<BoardState> positions = {board};
        while (!IsGameOver(board)) {
            std::vector<int> moves;
            for (int cell = 10; cell <= 80; ++cell) {
                if (CanDrop(&board, cell)) moves.push_back(cell);
            }
            const int side = board.sideToMove;
            const int square = moves[rng() % moves.size()];
            ASSERT_EQ(-1, ReverseStones(&board, square));
            const int number = 60 - CountCells(board, 0);
            EXPECT_EQ(RecordListUpdate::kAppendRow,
                      RecordMove(record, number, side, square, 0, 0, 0, ""));
            if (IsForcedPass(board)) {
                board.sideToMove = -board.sideToMove;
                ++passes;
            }
            positions.push_back(board);
        }
        const int count = RecordedMoves(record);
        ASSERT_EQ(static_cast<int>(positions.size()) - 1, count);
        for (int n = 0; n <= count + 1; ++n) {
            BoardState replayed;
            ReplayMoves(record, n, replayed);
            const BoardState& expected = positions[std::min(n, count)];
            // at the very end the replay negates the side once more: nobody can move
            if (n >= count && IsGameOver(expected)) {
                EXPECT_EQ(0, std::memcmp(expected.cells, replayed.cells, sizeof expected.cells));
            } else {
                ASSERT_EQ(0, std::memcmp(&expected, &replayed, sizeof expected))
                    << "seed " << seed << " n " << n;
            }
        }
    }
    EXPECT_GT(passes, 0) << "no game with a pass among the random games";
}

TEST(Record, NewMoveAfterSteppingBackTruncatesAndRebuilds) {
    static GameRecord record;
    ClearRecord(record);
    const int squares[] = {51, 58, 30, 31, 39, 42};  // f5 d6 c3 d3 c4 f4
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(RecordListUpdate::kAppendRow,
                  RecordMove(record, i + 1, i % 2 ? -1 : 1, squares[i], 10 * i, 5, 7, "x"));
    }
    ASSERT_EQ(6, RecordedMoves(record));
    // three moves back, then a different fourth move
    EXPECT_EQ(RecordListUpdate::kRebuild, RecordMove(record, 4, -1, 32, 3, 4, 5, ""));
    EXPECT_EQ(4, RecordedMoves(record));
    // packed fields are read into locals: a reference to them would be misaligned
    const int32_t square = record.moves[3].square, value = record.moves[3].value;
    EXPECT_EQ(32, square);
    EXPECT_EQ(3, value);
    for (int i = 4; i < kMoveEntries; ++i) {
        const auto* bytes = reinterpret_cast<const unsigned char*>(&record.moves[i]);
        for (size_t b = 0; b < sizeof(MoveEntry); ++b) ASSERT_EQ(0, bytes[b]) << "entry " << i;
    }
    EXPECT_EQ(RecordListUpdate::kRebuild, RecordMove(record, 0, 1, 51, 0, 0, 0, ""))
        << "a move number outside 1..60 writes nothing";
    EXPECT_EQ(4, RecordedMoves(record));
}

TEST(Record, RefusedMoveInADamagedRecordIsSkipped) {
    static GameRecord record;
    ClearRecord(record);
    record.moves[0].square = 51;  // f5
    record.moves[1].square = 10;  // a1: not legal, skipped
    record.moves[2].square = 58;  // d6 by white
    BoardState board;
    ReplayMoves(record, 3, board);
    EXPECT_EQ(-1, board.cells[58]);
    EXPECT_EQ(0, board.cells[10]);
    EXPECT_EQ(1, board.sideToMove);
}

TEST(Board, TheSquareUnderAPixel) {
    struct Case {
        int x, y, cell;
    } cases[] = {
        {0, 0, 10},     {49, 49, 10}, {50, 0, 11},   {399, 0, 17}, {0, 399, 73}, {399, 399, 80},
        {225, 175, 41},  // E4
        {400, 10, 0},   {10, 400, 0}, {400, 400, 0}, {-1, 10, 0},  {10, -1, 0},  {2000, 3, 0},
    };
    for (const Case& c : cases) EXPECT_EQ(c.cell, CellAt(c.x, c.y)) << c.x << "," << c.y;
}

TEST(Record, TheBookLineIsTheRecordedSquaresUpToTheFirstGap) {
    static GameRecord record;
    ClearRecord(record);
    EXPECT_EQ((std::array<char, 64>{}), BookLine(record));
    const int squares[] = {51, 58, 30};  // f5 d6 c3
    for (int i = 0; i < 3; ++i) RecordMove(record, i + 1, i % 2 ? -1 : 1, squares[i], 0, 0, 0, "");
    record.moves[4].square = 31;  // behind a gap: not part of the line
    const std::array<char, 64> line = BookLine(record);
    EXPECT_EQ(51, line[0]);
    EXPECT_EQ(58, line[1]);
    EXPECT_EQ(30, line[2]);
    for (size_t i = 3; i < line.size(); ++i) EXPECT_EQ(0, line[i]) << i;

    for (int i = 0; i < 60; ++i) record.moves[i].square = 10 + i % 71;
    const std::array<char, 64> full = BookLine(record);
    EXPECT_EQ(10 + 59 % 71, full[59]);
    EXPECT_EQ(0, full[60]) << "a whole game still ends in zeros";
}

TEST(Record, NavigationCounts) {
    struct Case {
        Navigation command;
        int empty, count;
    } cases[] = {
        {Navigation::kInitial, 37, 0}, {Navigation::kBack, 37, 22}, {Navigation::kForward, 37, 24},
        {Navigation::kLast, 37, 60},   {Navigation::kBack, 60, -1}, {Navigation::kForward, 0, 61},
    };
    for (const Case& c : cases) EXPECT_EQ(c.count, NavigationCount(c.command, c.empty));
}

TEST(Texts, SquareNames) {
    struct Case {
        int cell;
        const char* name;
    } cases[] = {{10, "A1"},
                 {17, "H1"},
                 {40, "D4"},
                 {50, "E5"},
                 {73, "A8"},
                 {80, "H8"},
                 // no square: no move, border cells (beside the board and below its last row),
                 // outside the mailbox
                 {0, "--"},
                 {9, "--"},
                 {18, "--"},
                 {81, "--"},
                 {82, "--"},
                 {89, "--"},
                 {-1, "--"},
                 {91, "--"}};
    for (const Case& c : cases) EXPECT_EQ(c.name, SquareName(c.cell));
}

TEST(Texts, FormatValue) {
    struct Case {
        int32_t value;
        std::string text;
    } cases[] = {
        {65540, kBlack + "4" + kDiscsWin},
        {65537, kBlack + "1" + kDiscsWin},
        {65536, kBlack + kVictory},
        {-65536, kWhite + kVictory},
        {-65546, kWhite + "10" + kDiscsWin},
        {65535, kDraw},
        {-65535, kDraw},
        {-12, "-12"},
        {0, "0"},
        {65534, "65534"},
        {-16777215, kWhite + "16711679" + kDiscsWin},
    };
    for (const Case& c : cases) EXPECT_EQ(c.text, FormatValue(c.value)) << c.value;
}

TEST(Texts, PassesAndResults) {
    EXPECT_EQ(kBlack + "\x81\x46\x83\x70\x83\x58\x82\xc5\x82\xb7", PassText(1));  // 黒：パスです
    EXPECT_EQ(kWhite + "\x81\x46\x83\x70\x83\x58\x82\xc5\x82\xb7", PassText(-1));
    const std::string discs = "\x90\xce";  // 石
    struct Case {
        int black, white;
        std::string verdict;
    } cases[] = {
        {33, 31,
         kBlack +
             "\x82\xcc"
             "2" +
             kDiscsWin},  // 黒の2石勝ち
        {20, 44,
         kWhite +
             "\x82\xcc"
             "24" +
             kDiscsWin},
        {32, 32, kDraw},
        {62, 0,
         kBlack +
             "\x82\xcc"
             "62" +
             kDiscsWin},  // two squares nobody could take count for nobody
        {0, 0, kDraw},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(kBlack + " : " + std::to_string(c.black) + discs + "\t" + kWhite + " : " +
                      std::to_string(c.white) + discs + "\r\n\r\n" + c.verdict,
                  ResultText(c.black, c.white));
    }
}

TEST(Texts, RecordRows) {
    MoveEntry click{};
    click.side = 1;
    click.square = 51;
    const std::array<std::string, 5> clickRow = {"1",
                                                 "\x81\x9c"
                                                 "F5",
                                                 "0", "0ms", "0\x96\xca"};
    EXPECT_EQ(clickRow, RecordRowTexts(click, 0));

    MoveEntry computer{};
    computer.side = -1;
    computer.square = 58;
    computer.value = -65538;
    computer.thinkTime = 1234;
    computer.nodes = 987654;
    const std::array<std::string, 5> computerRow = {"2",
                                                    "\x81\x9b"
                                                    "D6",
                                                    kWhite + "2" + kDiscsWin, "1234ms",
                                                    "987654\x96\xca"};
    EXPECT_EQ(computerRow, RecordRowTexts(computer, 1));
}

TEST(CommandLine, OnlyATrailingCapitalSlashDIsTheSwitch) {
    struct Case {
        const char* line;
        bool debug;
    } cases[] = {
        {"Tavik.exe /D", true},
        {"\"C:\\Games\\Tavik.exe\" /D", true},
        {"/D", true},
        {"Tavik.exe /d", false},
        {"Tavik.exe /D ", false},
        {"Tavik.exe /DX", false},
        {"Tavik.exe", false},
        {"D", false},
        {"", false},
        {nullptr, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.debug, HasDebugSwitch(c.line)) << (c.line ? c.line : "(null)");
}

// Words split as Windows splits them in the plain cases; "/D" is the switch wherever it
// stands, and the old rule (the line ends in "/D") still holds. Other switches name no file:
// a line the game used to start with must not bring up a message now.
TEST(CommandLine, WordsAfterTheProgramAreFilesExceptTheSwitch) {
    struct Case {
        const char* line;
        bool debug;
        std::vector<std::string> files;
    } cases[] = {
        {"Tavik.exe", false, {}},
        {"\"C:\\Program Files\\Tavik\\Tavik.exe\" /D", true, {}},
        {"Tavik.exe /D \"C:\\My Games\\a b.tvk\"", true, {"C:\\My Games\\a b.tvk"}},
        {"Tavik.exe \"C:\\x.tvk\" /D", true, {"C:\\x.tvk"}},
        {"Tavik.exe C:\\x.tvk", false, {"C:\\x.tvk"}},
        {"Tavik.exe  a.tvk\t\"b c.tvk\" ", false, {"a.tvk", "b c.tvk"}},
        {"\"C:\\Program Files\\Tavik.exe\" x.tvk", false, {"x.tvk"}},
        {"Tavik.exe /d", false, {}},
        {"Tavik.exe /d x.tvk /S", false, {"x.tvk"}},
        {"Tavik.exe x.tvk/D", true, {"x.tvk"}},
        {"Tavik.exe \"a b.tvk\"/D", true, {"a b.tvk"}},
        {"Tavik.exe/D", true, {}},
        {"Tavik.exe \"\"", false, {}},
        {"", false, {}},
        {nullptr, false, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line ? c.line : "(null)");
        const StartupArguments arguments = ReadCommandLine(c.line);
        EXPECT_EQ(c.debug, arguments.debugSwitch);
        EXPECT_EQ(c.files, arguments.files);
    }
}

TEST(Commands, TheStudyModeOfEachCommand) {
    struct Case {
        unsigned command;
        bool opens;
        StudyMode mode;
    } cases[] = {
        {kCmdEvaluate, true, StudyMode::kEvaluate},  {kCmdOpenness, true, StudyMode::kOpenness},
        {kCmdWinSearch, true, StudyMode::kWinLoss},  {kCmdPerfectSearch, true, StudyMode::kPerfect},
        {kCmdBestMove, false, StudyMode::kEvaluate}, {kCmdStart, false, StudyMode::kEvaluate},
    };
    for (const Case& c : cases) {
        StudyMode mode = StudyMode::kEvaluate;
        EXPECT_EQ(c.opens, StudyModeOf(c.command, mode)) << c.command;
        if (c.opens) {
            EXPECT_EQ(c.mode, mode) << c.command;
        }
    }
}

}  // namespace
