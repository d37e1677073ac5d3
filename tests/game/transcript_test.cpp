// Pasted transcripts: every notation gives the same record, passes are implied or stand where
// they are forced, and every refusal names the first failing move in Japanese and leaves the
// record byte for byte as it was. Whole games come from the golden files, whose sides were
// written by hand (tests/data/make_golden_games.py), not by the code under test.
#include "transcript.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "game_file.h"
#include "position_text.h"
#include "record_export.h"
#include "texts.h"

namespace {

using namespace tavik;

// "棋譜を貼り付けられませんでした。" in code page 932, written out byte by byte.
const std::string kLeadBytes =
    "\x8a\xfb\x95\x88\x82\xf0\x93\x5c\x82\xe8\x95\x74\x82\xaf\x82\xe7\x82\xea\x82\xdc\x82\xb9"
    "\x82\xf1\x82\xc5\x82\xb5\x82\xbd\x81\x42";

// A record nobody would write: a parse that touches it where it must not shows.
std::unique_ptr<GameRecord> Scribbled() {
    auto record = std::make_unique<GameRecord>();
    std::memset(record.get(), 0x5A, sizeof *record);
    return record;
}

// The record a transcript must give, built from the layout: zeros everywhere but each move's
// side and square. `squares` is "F5D6..." and `sides` is "XO..." of the same length.
std::unique_ptr<GameRecord> Expected(const std::string& squares, const std::string& sides) {
    auto record = std::make_unique<GameRecord>();
    std::memset(record.get(), 0, sizeof *record);
    for (size_t i = 0; i < sides.size(); ++i) {
        record->moves[i].side = sides[i] == 'X' ? 1 : -1;
        record->moves[i].square = 10 + 9 * (squares[2 * i + 1] - '1') + (squares[2 * i] - 'A');
    }
    return record;
}

std::string Alternating(size_t moves) {
    std::string sides;
    for (size_t i = 0; i < moves; ++i) sides += i % 2 ? 'O' : 'X';
    return sides;
}

std::string SidesOf(const GameRecord& record) {
    std::string sides;
    for (int i = 0; i < RecordedMoves(record); ++i) sides += record.moves[i].side == 1 ? 'X' : 'O';
    return sides;
}

std::unique_ptr<GameRecord> Golden(const char* name) {
    std::ifstream in(std::string(TAVIK_DATA_DIR) + "/games/" + name, std::ios::binary);
    const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in),
                                     std::istreambuf_iterator<char>()};
    auto record = std::make_unique<GameRecord>();
    EXPECT_EQ(GameFileError::kNone, DecodeGameFile(bytes.data(), bytes.size(), *record).error)
        << name;
    return record;
}

// The moves as "f5 d6 ...", with `pass` written before every move that follows a pass.
std::string Spaced(const GameRecord& record, const std::string& pass = "") {
    std::string text;
    for (int i = 0; i < RecordedMoves(record); ++i) {
        if (i > 0 && !pass.empty() && record.moves[i].side == record.moves[i - 1].side)
            text += pass + " ";
        std::string name = SquareName(record.moves[i].square);
        name[0] = static_cast<char>(name[0] - 'A' + 'a');
        text += name + " ";
    }
    return text;
}

// The game as `tavik-cli game show` prints it (tools/game_command.cpp).
std::string Listing(const GameRecord& record, const char* newline) {
    char line[2200];
    std::snprintf(line, sizeof line, "black  %s%swhite  %s%s", record.blackName, newline,
                  record.whiteName, newline);
    std::string text = line;
    const int count = RecordedMoves(record);
    std::snprintf(line, sizeof line, "moves  %d  %s%s", count, KifuString(record).c_str(), newline);
    text += line;
    for (int i = 0; i < count; ++i) {
        const MoveEntry& m = record.moves[i];
        const int32_t side = m.side, square = m.square, value = m.value, time = m.thinkTime,
                      nodes = m.nodes;
        std::snprintf(line, sizeof line, "%3d %s %s  value %s (%d)  %d ms  %d nodes%s", i + 1,
                      side == 1 ? "X" : "O", SquareName(square).c_str(),
                      tavik_tools::ValueText(value).c_str(), value, time, nodes, newline);
        text += line;
    }
    return text;
}

TEST(Transcript, EveryNotationGivesTheSameRecord) {
    struct Case {
        const char* name;
        std::string text;
        std::string squares;
    } cases[] = {
        {"joined, lower case", "f5d6c3d3c4", "F5D6C3D3C4"},
        {"spaces, upper case", "F5 D6 C3", "F5D6C3"},
        {"mixed case", "F5d6C3d3", "F5D6C3D3"},
        {"commas", "f5,d6, c3", "F5D6C3"},
        {"single hyphens", "f5-d6-c3", "F5D6C3"},
        {"a move per line, CR LF", "f5\r\nd6\r\nc3\r\n", "F5D6C3"},
        {"a move per line, LF", "\nf5\nd6\nc3", "F5D6C3"},
        {"tabs", "f5\td6\tc3", "F5D6C3"},
        {"move numbers with dots", "1. f5 d6 2. c3 d3", "F5D6C3D3"},
        {"move numbers joined", "1.F5 2.D6", "F5D6"},
        {"move numbers without dots", "1 f5 d6 2 c3", "F5D6C3"},
        {"several dots", "1.f5 1...d6", "F5D6"},
        {"a closing score", "f5 d6 c3 33-31", "F5D6C3"},
        {"the longest text", "f5" + std::string(kMaxTranscriptBytes - 2, ' '), "F5"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto record = Scribbled();
        const TranscriptResult result = ParseTranscriptText(c.text, *record);
        EXPECT_TRUE(result.ok) << result.message;
        EXPECT_EQ(static_cast<int>(c.squares.size() / 2), result.moves);
        EXPECT_EQ("", result.message);
        const auto expected = Expected(c.squares, Alternating(c.squares.size() / 2));
        EXPECT_EQ(0, std::memcmp(expected.get(), record.get(), sizeof *record))
            << "names, figures and comments zero; each move with its side";
    }
}

// Whole games: the export's text, lower case with spaces, and passes implied or written out,
// in all the spellings of a pass. Black has no move before the last two moves of the first
// game, and before the last move of the second, which ends with a square left empty.
TEST(Transcript, WholeGamesWithPasses) {
    for (const char* file : {"full_with_pass.tvk", "ends_with_empty_square.tvk"}) {
        const auto golden = Golden(file);
        const std::string squares = KifuString(*golden), sides = SidesOf(*golden);
        ASSERT_NE(Alternating(sides.size()), sides) << file << " has passes";
        const auto expected = Expected(squares, sides);
        for (const std::string& text :
             {squares, Spaced(*golden), Spaced(*golden, "pass"), Spaced(*golden, "PASS"),
              Spaced(*golden, "Pass"), Spaced(*golden, "--")}) {
            SCOPED_TRACE(std::string(file) + ": " + text);
            auto record = Scribbled();
            const TranscriptResult result = ParseTranscriptText(text, *record);
            EXPECT_TRUE(result.ok) << result.message;
            EXPECT_EQ(static_cast<int>(sides.size()), result.moves);
            EXPECT_EQ(0, std::memcmp(expected.get(), record.get(), sizeof *record));
        }
    }
}

// The tool's listing, as printed and as pasted from a Windows console: the names are not moves
// even when they look like them, a name may even hold a line that looks like the moves line,
// and the stated count must match.
TEST(Transcript, TheToolsListing) {
    auto golden = Golden("full_with_pass.tvk");
    std::strcpy(golden->blackName, "黒 f5 d6 1.");
    std::strcpy(golden->whiteName, "x\nmoves  3  F5D6C3");
    const auto expected = Expected(KifuString(*golden), SidesOf(*golden));
    for (const char* newline : {"\n", "\r\n"}) {
        const std::string listing = Listing(*golden, newline);
        SCOPED_TRACE(listing);
        auto record = Scribbled();
        const TranscriptResult result = ParseTranscriptText(listing, *record);
        EXPECT_TRUE(result.ok) << result.message;
        EXPECT_EQ(60, result.moves);
        EXPECT_EQ(0, std::memcmp(expected.get(), record.get(), sizeof *record));
    }
}

TEST(Transcript, RefusalsNameTheFirstFaultAndLeaveTheRecord) {
    const auto full = Golden("full_with_pass.tvk");
    const auto shortGame = Golden("ends_with_empty_square.tvk");
    // Where black first has to pass in the full game: before move 59.
    std::string twoPasses = Spaced(*full, "pass");
    twoPasses.insert(twoPasses.find("pass"), "pass ");
    std::string miscounted = Listing(*full, "\n");
    miscounted.replace(miscounted.find("moves  60"), 9, "moves  59");
    const std::string diagram = "---------------------------OX------XO---------------------------";
    std::string diagramLines;
    for (int row = 0; row < 8; ++row) diagramLines += diagram.substr(8 * row, 8) + "\r\n";

    const std::string lead = "棋譜を貼り付けられませんでした。";
    struct Case {
        const char* name;
        std::string text;
        TranscriptRefusal refusal;
        int moves;
        std::string message;
    } cases[] = {
        {"empty", "", TranscriptRefusal::kNoMoves, 0, lead + "棋譜に手が一つもありません。"},
        {"blank", " \r\n\t", TranscriptRefusal::kNoMoves, 0, lead + "棋譜に手が一つもありません。"},
        {"numbers only", "1. 2.", TranscriptRefusal::kNoMoves, 0,
         lead + "棋譜に手が一つもありません。"},
        {"illegal", "f5f5", TranscriptRefusal::kIllegalMove, 1, lead + "2手目のF5には打てません。"},
        {"illegal first", "a1", TranscriptRefusal::kIllegalMove, 0,
         lead + "1手目のA1には打てません。"},
        {"garbage", "f5 xyz d6", TranscriptRefusal::kUnreadable, 1,
         lead + "2手目が読めません（「xyz」）。"},
        {"half a move", "f5d", TranscriptRefusal::kUnreadable, 1,
         lead + "2手目が読めません（「d」）。"},
        {"row 9", "f9", TranscriptRefusal::kUnreadable, 0, lead + "1手目が読めません（「f9」）。"},
        {"three hyphens", "f5 --- d6", TranscriptRefusal::kUnreadable, 1,
         lead + "2手目が読めません（「---」）。"},
        {"long garbage", "f5 abcdefghijklmnopqrstuvwxyz", TranscriptRefusal::kUnreadable, 1,
         lead + "2手目が読めません（「abcdefghijklmnop…」）。"},
        {"Japanese", "黒番です", TranscriptRefusal::kUnreadable, 0,
         lead + "1手目が読めません（「黒番です」）。"},
        {"long Japanese", "f5 あいうえおかきくけこ", TranscriptRefusal::kUnreadable, 1,
         lead + "2手目が読めません（「あいうえおかきく…」）。"},
        // 17 bytes: the eighth character would be cut in half at 16
        {"Japanese cut", "f5 xあいうえおかきく", TranscriptRefusal::kUnreadable, 1,
         lead + "2手目が読めません（「xあいうえおかき…」）。"},
        {"lead byte at the end", "f5 \x82", TranscriptRefusal::kUnreadable, 1,
         lead + "2手目が読めません（「?」）。"},
        {"pass not forced", "f5 pass", TranscriptRefusal::kPassNotForced, 1,
         lead + "2手目でパスはできません（打てる手があります）。"},
        {"pass first", "-- f5", TranscriptRefusal::kPassNotForced, 0,
         lead + "1手目でパスはできません（打てる手があります）。"},
        {"pass given twice", twoPasses, TranscriptRefusal::kPassNotForced, 58,
         lead + "59手目でパスはできません（打てる手があります）。"},
        {"move after the end", Spaced(*shortGame) + "h1", TranscriptRefusal::kAfterEnd, 59,
         lead + "60手目：対局はすでに終わっています。"},
        {"move after a full board", KifuString(*full) + "a1", TranscriptRefusal::kAfterEnd, 60,
         lead + "61手目：対局はすでに終わっています。"},
        {"pass after the end", Spaced(*shortGame) + "pass", TranscriptRefusal::kAfterEnd, 59,
         lead + "60手目：対局はすでに終わっています。"},
        {"miscounted listing", miscounted, TranscriptRefusal::kCountMismatch, 60,
         lead + "手数が合いません（59手とありますが、手は60手です）。"},
        {"diagram", diagram + " X", TranscriptRefusal::kDiagram, 0,
         lead +
             "盤面の図は貼り付けられません。貼り付けられるのは、初期配置からの棋譜（f5d6c3のような"
             "手の並び）だけです。"},
        {"diagram on eight lines", diagramLines, TranscriptRefusal::kDiagram, 0,
         lead +
             "盤面の図は貼り付けられません。貼り付けられるのは、初期配置からの棋譜（f5d6c3のような"
             "手の並び）だけです。"},
        {"too long", "f5" + std::string(kMaxTranscriptBytes - 1, ' '), TranscriptRefusal::kTooLong,
         0, lead + "棋譜が長すぎます（100000バイトまでです）。"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto record = Scribbled();
        const auto before = Scribbled();
        const TranscriptResult result = ParseTranscriptText(c.text, *record);
        EXPECT_FALSE(result.ok);
        EXPECT_EQ(c.refusal, result.refusal);
        EXPECT_EQ(c.moves, result.moves);
        EXPECT_EQ(c.message, result.message);
        EXPECT_EQ(0u, result.message.find(kLeadBytes)) << "code page 932 bytes";
        EXPECT_EQ(0, std::memcmp(before.get(), record.get(), sizeof *record))
            << "a refusal leaves the record alone";
    }
}

}  // namespace
