// The GTP front end: exchanges of commands and answers, the skipped colour of engines that never
// send "pass", undo, set_position and the book's view of the game, then whole games refereed
// between two engines.
#include "gtp.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "board_functions.h"
#include "computer_player.h"
#include "position_text.h"
#include "random_games.h"
#include "texts.h"

namespace {

using tavik_tools::GtpEngine;

// The lowest legal cell: a chooser whose moves the tests can foresee. It keeps what it was told.
struct LowestMove {
    std::vector<std::string> lines;  // the book's view of each call ("null" when unknown)
    tavik_tools::GtpMoveChooser Chooser() {
        return [this](const BoardState& board, const std::vector<char>* line) {
            std::string seen = "null";
            if (line != nullptr) {
                seen.clear();
                for (char cell : *line) seen += tavik::SquareName(cell);
            }
            lines.push_back(seen);
            for (int cell = 10; cell <= 80; ++cell) {
                if (CanDrop(&board, cell)) return cell;
            }
            return 0;
        };
    }
};

struct Exchange {
    std::string command;
    std::string answer;  // without the closing empty line; "" for no answer at all
};

// Plays the exchanges in order against one engine, naming the first that differs.
void Expect(const std::vector<Exchange>& exchanges, GtpEngine& engine) {
    for (size_t i = 0; i < exchanges.size(); ++i) {
        const Exchange& e = exchanges[i];
        const std::string expected = e.answer.empty() ? "" : e.answer + "\n\n";
        ASSERT_EQ(engine.Handle(e.command), expected) << "exchange " << i << ": " << e.command;
    }
}

const char* const kPassGame = "D3C5D6E3B4C3F2B5D2E2F6A3E1E7A5G5F8D8G7";  // then white must pass

std::vector<Exchange> PlayLine(const std::string& transcript) {
    std::vector<Exchange> plays;
    BoardState board = tavik::InitialBoard();
    for (size_t i = 0; i + 1 < transcript.size(); i += 2) {
        const std::string move = transcript.substr(i, 2);
        plays.push_back(
            {std::string("play ") + (board.sideToMove == 1 ? "b " : "w ") + move, "= "});
        ReverseStones(&board, tavik_tools::ParseSquare(move));
    }
    return plays;
}

TEST(Gtp, ProtocolCommandsAndBadInput) {
    LowestMove lowest;
    GtpEngine engine(lowest.Chooser(), "2.13");
    std::string list;
    for (const std::string& command : GtpEngine::Commands()) list += "\n" + command;
    Expect({{"protocol_version", "= 2"},
            {"7 name", "=7 Tavik"},
            {"version", "= 2.13"},
            {"known_command genmove", "= true"},
            {"known_command frobnicate", "= false"},
            {"known_command", "? syntax error"},
            {"list_commands", "=" + list.replace(0, 1, " ")},
            {"boardsize 8", "= "},
            {"12 boardsize 19", "?12 unacceptable size"},
            {"boardsize", "? syntax error"},
            {"komi 6.5", "= "},
            {"komi a", "? komi not a float"},
            {"time_settings 300 0 0", "= "},
            {"time_settings 300", "? syntax error"},
            {"time_left black 10 0", "= "},
            {"time_left red 10 0", "? invalid color"},
            {"", ""},
            {"   \t ", ""},
            {"# a comment", ""},
            {"frobnicate", "? unknown command"},
            {"%$&/(garbage)", "? unknown command"},
            {"42", "?42 missing command"},
            {std::string(100000, 'x'), "? unknown command"},
            {"na\x01me\r", "= Tavik"},
            {"known_command\tname # why not", "= true"},
            {"PROTOCOL_VERSION", "? unknown command"}},
           engine);
}

TEST(Gtp, PlayRefusesWhatTheRulesRefuseAndChangesNothing) {
    LowestMove lowest;
    GtpEngine engine(lowest.Chooser(), "");
    const BoardState start = engine.Board();
    Expect({{"play b d6", "? illegal move"},    // not a move for black
            {"play w d3", "? illegal move"},    // black is to move and can
            {"play b pass", "? illegal move"},  // black has moves
            {"play b i9", "? invalid vertex"},
            {"play b f55", "? invalid vertex"},
            {"play red f5", "? invalid color"},
            {"play b", "? syntax error"},
            {"genmove", "? syntax error"},
            {"genmove w", "? not w's turn"},
            {"undo", "? cannot undo"},
            {"final_score", "= 0"}},
           engine);
    EXPECT_EQ(tavik_tools::Diagram(engine.Board()), tavik_tools::Diagram(start));
    Expect({{"play BLACK F5", "= "}, {"play W pass", "? illegal move"}, {"final_score", "= B+3"}},
           engine);
}

// The same game with white's pass said, with it skipped (as engines without "pass" play), and
// with the move after the pass asked of the engine: the same end, then only passes.
TEST(Gtp, AColourWithoutAMoveMayPassOrBeSkipped) {
    struct Case {
        const char* name;
        std::vector<Exchange> afterLine;
    } cases[] = {
        {"said", {{"play w pass", "= "}, {"play b h4", "= "}}},
        {"skipped", {{"play b h4", "= "}}},
        {"asked", {{"genmove w", "= pass"}, {"genmove b", "= h4"}}},
        {"skipped, asked", {{"genmove b", "= h4"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        LowestMove lowest;
        GtpEngine engine(lowest.Chooser(), "");
        Expect(PlayLine(kPassGame), engine);
        Expect(c.afterLine, engine);
        Expect({{"final_score", "= B+18"},
                {"genmove w", "= pass"},
                {"genmove b", "= pass"},
                {"play b a1", "? illegal move"},
                {"play b pass", "= "}},
               engine);
    }
}

TEST(Gtp, UndoTakesBackOneCommandAndClearBoardStartsAgain) {
    LowestMove lowest;
    GtpEngine engine(lowest.Chooser(), "");
    Expect({{"play b f5", "= "}, {"genmove w", "= f4"}}, engine);
    const std::string afterTwo = tavik_tools::Diagram(engine.Board());
    Expect({{"play b c3", "= "}, {"undo", "= "}}, engine);
    EXPECT_EQ(tavik_tools::Diagram(engine.Board()), afterTwo);
    Expect({{"undo", "= "}, {"undo", "= "}, {"undo", "? cannot undo"}}, engine);
    EXPECT_EQ(tavik_tools::Diagram(engine.Board()), tavik_tools::Diagram(tavik::InitialBoard()));
    Expect({{"play b f5", "= "}, {"clear_board", "= "}, {"undo", "? cannot undo"}}, engine);
}

// The book sees the moves from the start, passes left out; after set_position it sees nothing.
TEST(Gtp, TheChooserSeesTheLineOnlyFromTheInitialPosition) {
    LowestMove lowest;
    GtpEngine engine(lowest.Chooser(), "");
    std::vector<Exchange> exchanges = PlayLine(kPassGame);
    exchanges.push_back({"genmove b", "= h4"});
    const std::string start = tavik_tools::Diagram(tavik::InitialBoard()).substr(0, 64);
    exchanges.push_back({"set_position " + start + " w", "= "});
    exchanges.push_back({"genmove w", "= e3"});
    exchanges.push_back({"set_position XO- b", "? a board needs 64 squares (A1..H8), got 3"});
    exchanges.push_back({"set_position",
                         "? syntax error (set_position DIAGRAM COLOR: 64 squares "
                         "A1..H8 of X, O, -)"});
    Expect(exchanges, engine);
    ASSERT_EQ(lowest.lines.size(), 2u);
    EXPECT_EQ(lowest.lines[0], kPassGame);
    EXPECT_EQ(lowest.lines[1], "null");
    Expect({{"undo", "= "}, {"undo", "= "}, {"final_score", "= B+18"}}, engine);
}

// Two engines play each other through their answers only, each told the other's moves: every
// game ends with a full board or with no move for either side, and both agree on the score.
TEST(Gtp, RefereedGamesEndLegally) {
    tavik_tools::ComputerDepths depths;
    depths.normal = 2;
    depths.win = 0;
    depths.perfect = 8;
    for (bool book : {true, false}) {
        depths.book = book;
        auto chooser = [depths](const BoardState& board, const std::vector<char>* line) {
            return tavik_tools::ComputerMove(board, line, depths);
        };
        GtpEngine black(chooser, ""), white(chooser, "");
        int passesInARow = 0;
        for (int turn = 0; passesInARow < 2 && turn < 130; ++turn) {
            GtpEngine& mover = turn % 2 == 0 ? black : white;
            GtpEngine& other = turn % 2 == 0 ? white : black;
            const char* colour = turn % 2 == 0 ? "b" : "w";
            std::string answer = mover.Handle(std::string("genmove ") + colour);
            ASSERT_EQ(answer.substr(0, 2), "= ") << answer;
            const std::string move = answer.substr(2, answer.size() - 4);
            passesInARow = move == "pass" ? passesInARow + 1 : 0;
            ASSERT_EQ(other.Handle(std::string("play ") + colour + " " + move), "= \n\n") << move;
        }
        ASSERT_EQ(passesInARow, 2);
        EXPECT_TRUE(tavik::IsGameOver(black.Board()));
        EXPECT_EQ(tavik_tools::Diagram(black.Board()), tavik_tools::Diagram(white.Board()));
        EXPECT_EQ(black.Handle("final_score"), white.Handle("final_score"));
    }
}

TEST(Gtp, RunGtpAnswersUntilQuitOrTheEndOfInput) {
    LowestMove lowest;
    GtpEngine engine(lowest.Chooser(), "");
    std::istringstream in("name\n\nquit\nname\n");
    std::ostringstream out;
    EXPECT_EQ(tavik_tools::RunGtp(in, out, engine), 0);
    EXPECT_EQ(out.str(), "= Tavik\n\n= \n\n");
    GtpEngine second(lowest.Chooser(), "");
    std::istringstream unfinished("play b f5\nfinal_score");
    std::ostringstream out2;
    EXPECT_EQ(tavik_tools::RunGtp(unfinished, out2, second), 0);
    EXPECT_EQ(out2.str(), "= \n\n= B+3\n\n");
}

}  // namespace
