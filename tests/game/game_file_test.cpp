// The game file: bytes laid out by hand from the format's tables, round trips that keep every
// byte, and the reader's refusal of damaged files (leaving the current game as it was).
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <memory>
#include <random>
#include <vector>

#include "board_functions.h"
#include "game_file.h"
#include "ostrakon.h"
#include "position_text.h"

namespace {

using namespace tavik;

// The notice in code page 932, written out byte by byte.
const uint8_t kNoticeBytes[55] = {
    0x95, 0xd2, 0x8f, 0x57, 0x82, 0xb5, 0x82, 0xbd, 0x8f, 0xea, 0x8d, 0x87, 0x82, 0xcc,
    0x93, 0xae, 0x8d, 0xec, 0x82, 0xcd, 0x95, 0xdb, 0x8f, 0xd8, 0x82, 0xc5, 0x82, 0xab,
    0x82, 0xdc, 0x82, 0xb9, 0x82, 0xf1, 0x20, 0x95, 0xd2, 0x8f, 0x57, 0x82, 0xb5, 0x82,
    0xc8, 0x82, 0xa2, 0x82, 0xc5, 0x82, 0xad, 0x82, 0xbe, 0x82, 0xb3, 0x82, 0xa2};

void Put32(std::vector<uint8_t>& file, size_t at, int32_t value) {
    for (int i = 0; i < 4; ++i) file[at + i] = static_cast<uint8_t>(static_cast<uint32_t>(value) >> (8 * i));
}

std::unique_ptr<GameRecord> EmptyRecord() {
    auto record = std::make_unique<GameRecord>();
    ClearRecord(*record);
    return record;
}

// f5 d6 c3 as a record: black by a click, white and black by the computer.
std::unique_ptr<GameRecord> ThreeMoves() {
    auto record = EmptyRecord();
    std::strcpy(record->blackName, "Kuro");
    std::strcpy(record->whiteName, "Tavik");
    RecordMove(*record, 1, 1, 51, 0, 1500, 0, "");
    RecordMove(*record, 2, -1, 58, -12, 320, 4567, "");
    RecordMove(*record, 3, 1, 30, 65540, 90, 123456, "");
    return record;
}

TEST(GameFile, BytesFollowTheLayoutTables) {
    std::vector<uint8_t> expected(37071, 0);
    std::memcpy(expected.data(), kNoticeBytes, sizeof kNoticeBytes);
    Put32(expected, 129, 100);
    std::memcpy(&expected[133], "Kuro", 4);
    std::memcpy(&expected[1158], "Tavik", 5);
    const int32_t moves[3][5] = {{1, 51, 0, 1500, 0}, {-1, 58, -12, 320, 4567}, {1, 30, 65540, 90, 123456}};
    for (int i = 0; i < 3; ++i) {
        for (int f = 0; f < 5; ++f) Put32(expected, 2231 + 536 * i + 4 * f, moves[i][f]);
    }
    EXPECT_EQ(expected, EncodeGameFile(*ThreeMoves()));
    const std::vector<uint8_t> empty = EncodeGameFile(*EmptyRecord());
    ASSERT_EQ(37071u, empty.size());
    EXPECT_TRUE(std::equal(expected.begin(), expected.begin() + 133, empty.begin()))
        << "every file has the same header";
}

TEST(GameFile, RoundTripKeepsEveryByte) {
    auto record = ThreeMoves();
    // bytes the program never interprets: reserved, behind the names' zeros, the comments
    for (int i = 0; i < 48; ++i) record->reserved[i] = static_cast<uint8_t>(i + 1);
    std::memset(record->blackName + 5, 'x', 100);
    record->whiteName[kNameBytes - 1] = 'y';
    std::strcpy(record->moves[1].comment, "note");
    const std::vector<uint8_t> file = EncodeGameFile(*record);
    auto loaded = EmptyRecord();
    const GameFileCheck check = DecodeGameFile(file.data(), file.size(), *loaded);
    ASSERT_EQ(GameFileError::kNone, check.error) << DescribeGameFileCheck(check);
    EXPECT_EQ(0, std::memcmp(record.get(), loaded.get(), sizeof(GameRecord)));
    EXPECT_EQ(file, EncodeGameFile(*loaded));
}

// Random games, some with passes and some filling all 60 entries, go through a file unchanged.
TEST(GameFile, PlayedGamesRoundTrip) {
    int withPass = 0, full = 0;
    for (uint32_t seed = 1; seed <= 120; ++seed) {
        std::mt19937 rng(seed);
        auto record = EmptyRecord();
        BoardState board = InitialBoard();
        while (!IsGameOver(board)) {
            std::vector<int> legal;
            for (int cell = 10; cell <= 80; ++cell) {
                if (CanDrop(&board, cell)) legal.push_back(cell);
            }
            const int side = board.sideToMove;
            const int square = legal[rng() % legal.size()];
            ReverseStones(&board, square);
            RecordMove(*record, 60 - CountCells(board, 0), side, square, 0, 10, 0, "");
            if (HasNoMove(board)) board.sideToMove = -board.sideToMove;
        }
        const int count = RecordedMoves(*record);
        full += count == 60;
        for (int i = 1; i < count; ++i) {
            const int32_t a = record->moves[i - 1].side, b = record->moves[i].side;
            if (a == b) {
                ++withPass;
                break;
            }
        }
        const std::vector<uint8_t> file = EncodeGameFile(*record);
        auto loaded = EmptyRecord();
        ASSERT_EQ(GameFileError::kNone, DecodeGameFile(file.data(), file.size(), *loaded).error)
            << "seed " << seed;
        ASSERT_EQ(0, std::memcmp(record.get(), loaded.get(), sizeof(GameRecord)));
    }
    EXPECT_GT(withPass, 0);
    EXPECT_GT(full, 0);
}

TEST(GameFile, DamagedFilesAreRefusedAndTheGameStays) {
    const std::vector<uint8_t> good = EncodeGameFile(*ThreeMoves());
    const size_t entry0 = 2231, entry1 = 2231 + 536, entry3 = 2231 + 3 * 536, entry62 = 2231 + 62 * 536;
    struct Case {
        const char* name;
        size_t at;  // offset to overwrite with `value` (as int32), or SIZE_MAX to resize
        int32_t value;
        GameFileError error;
        int entry;
    } cases[] = {
        {"too short", SIZE_MAX, 37070, GameFileError::kSize, -1},
        {"too long", SIZE_MAX, 37072, GameFileError::kSize, -1},
        {"square on the border", entry0 + 4, 18, GameFileError::kSquare, 0},
        {"square below the board", entry1 + 4, 9, GameFileError::kSquare, 1},
        {"square past the board", entry1 + 4, 81, GameFileError::kSquare, 1},
        {"negative square", entry0 + 4, -5, GameFileError::kSquare, 0},
        {"side zero", entry1, 0, GameFileError::kSide, 1},
        {"side two", entry1, 2, GameFileError::kSide, 1},
        {"side not to move", entry1, 1, GameFileError::kWrongSide, 1},
        {"illegal move", entry0 + 4, 10, GameFileError::kIllegalMove, 0},
        {"value after the end", entry3 + 8, 5, GameFileError::kAfterEnd, 3},
        {"entry 63 used", entry62 + 4, 51, GameFileError::kAfterEnd, 62},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<uint8_t> file = good;
        if (c.at == SIZE_MAX) {
            file.resize(static_cast<size_t>(c.value), 0);
        } else {
            Put32(file, c.at, c.value);
        }
        auto current = ThreeMoves();
        std::strcpy(current->blackName, "current game");
        const std::vector<uint8_t> before = EncodeGameFile(*current);
        const GameFileCheck check = DecodeGameFile(file.data(), file.size(), *current);
        EXPECT_EQ(c.error, check.error) << DescribeGameFileCheck(check);
        EXPECT_EQ(c.entry, check.entry);
        EXPECT_EQ(before, EncodeGameFile(*current)) << "the current game must stay";
    }
    std::vector<uint8_t> noZero = good;
    std::memset(&noZero[133], 'a', 1025);
    auto current = EmptyRecord();
    EXPECT_EQ(GameFileError::kName, DecodeGameFile(noZero.data(), noZero.size(), *current).error);
}

TEST(GameFile, TheGameSaysWhyInJapanese) {
    const std::string prefix = "\x91\xce\x8b\xc7\x83\x74\x83\x40\x83\x43\x83\x8b";  // 対局ファイル
    struct Case {
        GameFileCheck check;
        std::string text;
    } cases[] = {
        {{GameFileError::kSize, -1, 0}, "対局ファイルを読み込めませんでした。Tavikの対局ファイルではありません（大きさが37071バイトではありません）。"},
        {{GameFileError::kName, -1, 0}, "対局ファイルを読み込めませんでした。対局者名が壊れています。"},
        {{GameFileError::kSquare, 2, 0}, "対局ファイルを読み込めませんでした。3手目の場所が盤上にありません。"},
        {{GameFileError::kSide, 0, 0}, "対局ファイルを読み込めませんでした。1手目の手番が黒でも白でもありません。"},
        {{GameFileError::kWrongSide, 9, 0}, "対局ファイルを読み込めませんでした。10手目が手番でない側の手になっています。"},
        {{GameFileError::kIllegalMove, 4, 10}, "対局ファイルを読み込めませんでした。5手目のA1には打てません。"},
        {{GameFileError::kAfterEnd, 7, 0}, "対局ファイルを読み込めませんでした。棋譜の終わりの後にデータがあります。"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.text, GameFileRefusalText(c.check));
        EXPECT_EQ(0u, GameFileRefusalText(c.check).find(prefix)) << "code page 932 bytes";
    }
    // The illegal square comes from the file itself.
    std::vector<uint8_t> file = EncodeGameFile(*ThreeMoves());
    const int32_t h8 = 80;
    std::memcpy(file.data() + 2231 + 536 + 4, &h8, 4);  // move 2 on H8
    auto current = ThreeMoves();
    const GameFileCheck check = DecodeGameFile(file.data(), file.size(), *current);
    EXPECT_EQ(GameFileError::kIllegalMove, check.error);
    EXPECT_EQ(80, check.square);
    EXPECT_EQ("対局ファイルを読み込めませんでした。2手目のH8には打てません。", GameFileRefusalText(check));
    EXPECT_EQ("", GameFileSaveFailureText(FileError::kNone));
    for (FileError error : {FileError::kCreate, FileError::kWrite, FileError::kReplace})
        EXPECT_EQ(0u, GameFileSaveFailureText(error).find("対局ファイルを保存できませんでした。"));
}

// Golden files written from the layout by tests/data/make_golden_games.py, which shares no
// code with the game. Each game is played here with the engine, passes found by the rules, and
// recorded with the figures the script gives each entry; the writer must make the same bytes
// and the reader must accept them and give the same record back.
TEST(GameFile, GoldenFilesMadeFromTheLayout) {
    struct Golden {
        const char* file;
        const char* black;
        const char* white;
        const char* transcript;
        int passes;
        bool over;
    };
    const Golden goldens[] = {
        {"empty.tvk", "\x8d\x95\x82\xcc\x90\x6c", "\x94\x92\x82\xcc\x90\x6c", "", 0, false},
        {"full_with_pass.tvk", "Black", "Tavik",
         "d3c3b3e3f3c5f6g2b5c6f4a5h1f5d6e7d7e6d8c4c7b7a8b6a4f8g4b4e8a3"
         "a7g5g8c2h4g3a2h3c1d1d2e1f1f7a6h6e2b8g7c8h5g6h2h7h8g1b2f2a1b1", 2, true},
        {"ends_with_empty_square.tvk", "Tavik", "White",
         "f5f4c3g6f3c5d6f2b5c4g3a6f6c2e3g4b3g7d3h4b1c7e7d2b8e6a5e2f7d7"
         "b4b2f8d8e1b7h2b6h5a4h7d1a3h6e8f1a7g8h8g2g5c6a2a8h3a1c8g1c1", 1, true},
    };
    for (const Golden& g : goldens) {
        SCOPED_TRACE(g.file);
        std::ifstream in(std::string(TAVIK_DATA_DIR "/games/") + g.file, std::ios::binary);
        ASSERT_TRUE(in) << "missing golden file";
        const std::vector<uint8_t> golden((std::istreambuf_iterator<char>(in)), {});

        auto record = EmptyRecord();
        std::strcpy(record->blackName, g.black);
        std::strcpy(record->whiteName, g.white);
        BoardState board = InitialBoard();
        const std::string moves = g.transcript;
        int passes = 0;
        for (size_t i = 0; i < moves.size(); i += 2) {
            const int number = static_cast<int>(i / 2) + 1;
            const int side = board.sideToMove;
            const int square = tavik_tools::ParseSquare(moves.substr(i, 2));
            ASSERT_NE(0, ReverseStones(&board, square)) << "move " << number;
            RecordMove(*record, number, side, square, side == 1 ? 0 : number - 1 - 30,
                       10 * (number - 1), 1000 * (number - 1), "");
            if (IsForcedPass(board)) {
                board.sideToMove = -board.sideToMove;
                ++passes;
            }
        }
        EXPECT_EQ(g.passes, passes);
        EXPECT_EQ(g.over, IsGameOver(board));
        EXPECT_EQ(golden, EncodeGameFile(*record)) << "the writer differs from the layout";

        auto read = EmptyRecord();
        ASSERT_EQ(GameFileError::kNone, DecodeGameFile(golden.data(), golden.size(), *read).error);
        EXPECT_EQ(0, std::memcmp(record.get(), read.get(), sizeof(GameRecord)));
    }
}

}  // namespace

