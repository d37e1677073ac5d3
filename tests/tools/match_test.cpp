// The match runner: games refereed to a legal end, engines that misbehave losing their game with
// the reason and being started afresh, openings, and the Elo estimate.
#include "match.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <string>

#include "board_functions.h"
#include "position_text.h"
#include "texts.h"

namespace {

using tavik_tools::GameOutcome;
using tavik_tools::MakeMatchPlayer;
using tavik_tools::PlayMatchGame;

std::unique_ptr<tavik_tools::MatchPlayer> Player(const std::string& description) {
    std::string error;
    auto player = MakeMatchPlayer(description, error);
    EXPECT_TRUE(player) << description << ": " << error;
    return player;
}

// A full board, or no move for either side, and the discs counted from the board.
void ExpectLegalEnd(const GameOutcome& game) {
    BoardState board = tavik::InitialBoard();
    for (int cell : game.moves) {
        if (tavik::IsForcedPass(board)) board.sideToMove = -board.sideToMove;
        ASSERT_TRUE(ReverseStones(&board, cell)) << tavik::SquareName(cell);
    }
    EXPECT_TRUE(tavik::IsGameOver(board));
    int black = 0, white = 0;
    for (int cell = 10; cell <= 80; ++cell) {
        black += board.cells[cell] == 1;
        white += board.cells[cell] == -1;
    }
    EXPECT_EQ(game.blackDiscs, black);
    EXPECT_EQ(game.whiteDiscs, white);
    EXPECT_EQ(game.winner, black > white ? 1 : black < white ? -1 : 0);
}

TEST(Match, OurEnginesPlayEachOtherToALegalEnd) {
    auto weak = Player("tavik:3/10/10");
    auto bookless = Player("tavik:2/8/8:no-book");
    for (uint32_t seed : {1u, 2u}) {
        const std::vector<int> opening = tavik_tools::RandomOpening(8, seed);
        ASSERT_EQ(opening.size(), 8u);
        const GameOutcome game = PlayMatchGame(*weak, *bookless, opening, 60);
        EXPECT_EQ(game.fault, "");
        ExpectLegalEnd(game);
        EXPECT_TRUE(std::equal(opening.begin(), opening.end(), game.moves.begin()));
    }
}

#ifndef _WIN32
// Stand-ins for other engines: each plays by the protocol until it is asked for a move.
std::string Script(const std::string& name, const std::string& onGenmove) {
    const std::string path = std::string(::testing::TempDir()) + "/tavik_match_" + name + ".sh";
    std::ofstream file(path);
    file << "#!/bin/sh\n"
            "while read -r command rest; do\n"
            "  case $command in\n"
            "    genmove) "
         << onGenmove
         << " ;;\n"
            "    *) printf '= \\n\\n' ;;\n"
            "  esac\n"
            "done\n";
    file.close();
    return "gtp:sh " + path;
}

TEST(Match, AnEngineThatMisbehavesLosesItsGameAndIsStartedAfresh) {
    const struct {
        const char* name;
        std::string onGenmove;
        std::string reason;
    } cases[] = {
        {"illegal", "printf '= a1\\n\\n'", "played an illegal move: 'a1'"},
        {"passes", "printf '= pass\\n\\n'", "played an illegal move: 'pass'"},
        {"refuses", "printf '? no\\n\\n'", "failed genmove: no"},
        {"hangs", "sleep 600", "failed genmove: hung: no answer within the move time"},
        {"exits", "exit 0", "failed genmove: the engine died"},
        {"garbage", "printf 'hello\\n\\n'", "failed genmove: answered garbage: hello"},
    };
    auto ours = Player("tavik:2/8/8");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto faulty = Player(Script(c.name, c.onGenmove));
        const std::vector<int> opening = tavik_tools::RandomOpening(4, 7);
        for (int colour : {1, -1}) {  // the second game needs a fresh child after the first
            const GameOutcome game = colour == 1 ? PlayMatchGame(*faulty, *ours, opening, 1.5)
                                                 : PlayMatchGame(*ours, *faulty, opening, 1.5);
            EXPECT_EQ(game.winner, -colour);
            EXPECT_EQ(game.fault, std::string(colour == 1 ? "black (" : "white (") +
                                      faulty->Name() + ") " + c.reason);
            // The faulty engine's first own move ended the game: after ours when it has white.
            EXPECT_EQ(game.moves.size(), opening.size() + (colour == 1 ? 0 : 1));
        }
    }
}

TEST(Match, AnEngineThatCannotStartIsRefused) {
    std::string error;
    auto none = MakeMatchPlayer("gtp:/nonexistent/engine", error);
    ASSERT_TRUE(none);  // the shell starts; the engine's absence shows as its death
    const GameOutcome game = PlayMatchGame(*none, *Player("tavik:weak"), {}, 5);
    EXPECT_EQ(game.winner, -1);
    EXPECT_NE(game.fault.find("refused boardsize 8: the engine died"), std::string::npos)
        << game.fault;
    for (const char* description : {"tavik:fast", "gtp:", "rhino", "tavik:7/18"}) {
        EXPECT_FALSE(MakeMatchPlayer(description, error)) << description;
        EXPECT_FALSE(error.empty());
    }
}
#endif

TEST(Match, RandomOpeningsAreLegalRepeatableAndNeverFinished) {
    for (uint32_t seed = 0; seed < 50; ++seed) {
        const std::vector<int> a = tavik_tools::RandomOpening(8, seed);
        EXPECT_EQ(a, tavik_tools::RandomOpening(8, seed));
        BoardState board = tavik::InitialBoard();
        for (int cell : a) {
            if (tavik::IsForcedPass(board)) board.sideToMove = -board.sideToMove;
            ASSERT_TRUE(ReverseStones(&board, cell));
        }
        EXPECT_FALSE(tavik::IsGameOver(board));
    }
    EXPECT_NE(tavik_tools::RandomOpening(8, 1), tavik_tools::RandomOpening(8, 2));
}

TEST(Match, EloFromTheScoreWithItsInterval) {
    const struct {
        int wins, draws, losses;
        double score, elo, low, high;
    } cases[] = {
        {10, 0, 10, 0.5, 0, -163.3, 163.3},    // even: symmetric around 0
        {15, 0, 5, 0.75, 190.8, 42.1, 477.3},  // three points of four
        {5, 10, 5, 0.5, 0, -111.3, 111.3},     // draws narrow the interval
        {3, 0, 9, 0.25, -190.8, -919.4, -3.5},
    };
    for (const auto& c : cases) {
        const tavik_tools::EloEstimate e = tavik_tools::EstimateElo(c.wins, c.draws, c.losses);
        EXPECT_NEAR(e.score, c.score, 1e-9);
        EXPECT_NEAR(e.elo, c.elo, 0.1);
        EXPECT_NEAR(e.low, c.low, 0.1);
        EXPECT_NEAR(e.high, c.high, 0.1);
    }
    EXPECT_TRUE(std::isinf(tavik_tools::EstimateElo(4, 0, 0).elo));
}

}  // namespace
