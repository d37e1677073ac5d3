// gen_book: writes engine/book_data.inc, the opening book's records, from its text source.
//
//   gen_book tools/book/book.txt > engine/book_data.inc
//
// The source holds one book line per text line: the moves from the initial position as square
// names ("f5d6c3d3c4") and the score of the final position from black's point of view, with '#'
// starting a comment. Each line becomes one 68-byte record, in the order of the source: 64 bytes
// of move cells (cell = 10 + 9 * row + column), zero-filled after the last move, and the score.
//
// Every line is checked before anything is written: square names, legality of every move when
// replayed from the initial position with no pass on the way (the book never needs one), first
// move F5, 4 to 36 moves, scores from -25 to +5, no line twice, exactly 490 lines. Any failure
// names the source line, prints nothing on stdout and exits non-zero, so a redirected file is
// left empty, which does not compile as the book.
//
// The rules are played on a plain mailbox here rather than through the engine: the engine
// compiles the book this tool writes, and the check is worth more for being independent.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr int kRecords = 490;
constexpr int kMinMoves = 4;
constexpr int kMaxMoves = 36;
constexpr int kMinScore = -25;
constexpr int kMaxScore = 5;
constexpr int kF5 = 51;

struct Line {
    int sourceLine;
    std::string text;
    std::vector<int> cells;
    int score;
};

// A 91-cell mailbox: 0 empty, +1 black, -1 white, 2 border.
struct Board {
    int cells[91];
    int side;
};

Board InitialBoard() {
    Board b{};
    for (int& c : b.cells) c = 2;
    for (int r = 0; r < 8; ++r)
        for (int c = 0; c < 8; ++c) b.cells[10 + 9 * r + c] = 0;
    b.cells[40] = b.cells[50] = -1;  // D4, E5
    b.cells[41] = b.cells[49] = 1;   // E4, D5
    b.side = 1;
    return b;
}

constexpr int kDirections[8] = {-10, -9, -8, -1, 1, 8, 9, 10};

// Plays `cell` for the side to move; false (board unchanged) when it turns nothing.
bool Play(Board& b, int cell) {
    if (b.cells[cell] != 0) return false;
    bool any = false;
    for (int d : kDirections) {
        int x = cell + d;
        while (b.cells[x] == -b.side) x += d;
        if (x == cell + d || b.cells[x] != b.side) continue;
        for (int y = cell + d; y != x; y += d) b.cells[y] = b.side;
        any = true;
    }
    if (!any) return false;
    b.cells[cell] = b.side;
    b.side = -b.side;
    return true;
}

bool HasMove(const Board& b) {
    for (int cell = 10; cell <= 80; ++cell) {
        Board copy = b;
        if (copy.cells[cell] == 0 && Play(copy, cell)) return true;
    }
    return false;
}

int ParseSquare(const std::string& text, size_t at) {
    const int col = (text[at] | 0x20) - 'a';
    const int row = text[at + 1] - '1';
    if (col < 0 || col > 7 || row < 0 || row > 7) return 0;
    return 10 + 9 * row + col;
}

// Reads one record from a source line; an empty string on success, else what is wrong.
std::string ParseRecord(const std::string& moves, const std::string& score, Line& line) {
    if (moves.size() % 2 != 0) return "moves come in pairs like f5d6, got '" + moves + "'";
    Board board = InitialBoard();
    for (size_t i = 0; i < moves.size(); i += 2) {
        const int cell = ParseSquare(moves, i);
        const std::string name = moves.substr(i, 2);
        if (cell == 0) return "bad square '" + name + "'";
        if (!HasMove(board)) return "move " + std::to_string(i / 2 + 1) + " needs a pass first";
        if (!Play(board, cell))
            return "move " + std::to_string(i / 2 + 1) + " (" + name + ") is not legal";
        line.cells.push_back(cell);
    }
    const int count = static_cast<int>(line.cells.size());
    if (count < kMinMoves || count > kMaxMoves)
        return "a line has 4 to 36 moves, this one " + std::to_string(count);
    if (line.cells[0] != kF5) return "every line starts with f5";
    char* end = nullptr;
    const long value = std::strtol(score.c_str(), &end, 10);
    if (score.empty() || *end != '\0') return "bad score '" + score + "'";
    if (value < kMinScore || value > kMaxScore) return "score " + score + " is outside -25..+5";
    line.score = static_cast<int>(value);
    line.text = moves;
    return "";
}

bool ReadBook(const char* path, std::vector<Line>& lines) {
    std::ifstream in(path);
    if (!in) {
        std::fprintf(stderr, "gen_book: cannot read %s\n", path);
        return false;
    }
    std::string text;
    for (int number = 1; std::getline(in, text); ++number) {
        if (const size_t hash = text.find('#'); hash != std::string::npos) text.erase(hash);
        std::istringstream fields(text);
        std::string moves, score, extra;
        if (!(fields >> moves)) continue;
        Line line{number, "", {}, 0};
        std::string error = fields >> score ? "" : "a line needs its score after the moves";
        if (error.empty() && fields >> extra) error = "unexpected '" + extra + "' after the score";
        if (error.empty()) error = ParseRecord(moves, score, line);
        for (const Line& earlier : lines) {
            if (error.empty() && earlier.cells == line.cells)
                error = "same line as line " + std::to_string(earlier.sourceLine);
        }
        if (!error.empty()) {
            std::fprintf(stderr, "%s:%d: %s\n", path, number, error.c_str());
            return false;
        }
        lines.push_back(line);
    }
    if (static_cast<int>(lines.size()) != kRecords) {
        std::fprintf(stderr, "%s: %zu lines, the book holds %d\n", path, lines.size(), kRecords);
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: gen_book tools/book/book.txt > engine/book_data.inc\n");
        return 2;
    }
    std::vector<Line> lines;
    if (!ReadBook(argv[1], lines)) return 1;

    std::printf(
        "// generated by tools/gen_book from tools/book/book.txt; do not edit: "
        "build/native/bin/gen_book tools/book/book.txt > engine/book_data.inc\n");
    std::printf(
        "// One BookRecord per line: the move cells (zero-filled to 64 bytes) and the score "
        "from black's view.\n");
    for (const Line& line : lines) {
        std::string cells;
        for (size_t i = 0; i < line.cells.size(); ++i)
            cells += (i ? ", " : "") + std::to_string(line.cells[i]);
        std::printf("{{%s}, %d},  // %s\n", cells.c_str(), line.score, line.text.c_str());
    }
    return 0;
}
