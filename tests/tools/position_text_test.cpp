// Positions from text: what the command-line tool accepts and refuses.
#include <gtest/gtest.h>

#include "board_functions.h"
#include "position_text.h"

namespace {

using namespace tavik_tools;
using tavik::InitialBoard;

TEST(PositionText, DiagramsRoundTrip) {
    const std::string diagram =
        "--XXXXX--OOOXX-O-OOOXXOX-OXOXOXXOXXXOXXX--XOXOXX-XXXOOO--OOOOO--";
    BoardState b;
    ASSERT_EQ("", ParseDiagram(diagram, "X", b));
    EXPECT_EQ(diagram + " X", Diagram(b));
    EXPECT_EQ(0xFFFF, b.cells[18]);  // borders stay borders
    ASSERT_EQ("", ParseDiagram(diagram, "white", b));
    EXPECT_EQ(-1, b.sideToMove);
}

TEST(PositionText, BadInputIsNamed) {
    struct Case {
        const char* diagram;
        const char* side;
        const char* error;
    } cases[] = {
        {"XO", "X", "a board needs 64 squares (A1..H8), got 2"},
        {"---------------------------OX------XO--------------------------Z", "X",
         "bad square character 'Z' at H8 (use X, O or -)"},
        {"---------------------------OX------XO---------------------------", "B",
         "bad side to move 'B' (use X or O)"},
    };
    for (const Case& c : cases) {
        BoardState b = InitialBoard();
        const BoardState before = b;
        EXPECT_EQ(c.error, ParseDiagram(c.diagram, c.side, b));
        EXPECT_EQ(Diagram(before), Diagram(b)) << "a refused diagram leaves the board alone";
    }
}

TEST(PositionText, Transcripts) {
    struct Case {
        const char* transcript;
        const char* error;
    } cases[] = {
        {"", ""},
        {"f5d6C3 d3", ""},
        {"f5d", "a transcript is pairs like f5d6; 'f5d' is not"},
        {"f5z9", "bad square 'z9' in the transcript"},
        {"f5f5", "move 2 (F5) is not legal"},
        {"a1", "move 1 (A1) is not legal"},
    };
    for (const Case& c : cases) {
        BoardState b;
        EXPECT_EQ(c.error, ParseTranscript(c.transcript, b)) << c.transcript;
    }
    BoardState b;
    ASSERT_EQ("", ParseTranscript("f5d6", b));
    EXPECT_EQ(1, b.sideToMove);
    EXPECT_EQ(-1, b.cells[ParseSquare("d6")]);
}

// Square names themselves are the game core's (its texts test has them).
TEST(PositionText, SquaresAndValues) {
    EXPECT_EQ(51, ParseSquare("f5"));
    EXPECT_EQ(0, ParseSquare("i1"));
    struct Case {
        int32_t value;
        const char* text;
    } cases[] = {{65540, "black wins by 4"}, {65536, "black wins"}, {-65546, "white wins by 10"},
                 {-65536, "white wins"},     {65535, "draw"},        {-65535, "draw"},
                 {-12, "-12"},               {-16777215, "no legal move"},
                 {16777215, "no legal move"}};
    for (const Case& c : cases) EXPECT_EQ(c.text, ValueText(c.value));
}

}  // namespace
