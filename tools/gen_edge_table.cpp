// gen_edge_table: writes engine/edge_table.inc, the evaluation's value of every edge.
//
//   gen_edge_table > engine/edge_table.inc
//
// An edge is a line of eight cells e0..e7 (corner, C-square, A, B, B, A, C-square, corner), each
// -1 (white), 0 (empty) or +1 (black). Its key is e0*3^7 + e1*3^6 + ... + e7 and its entry sits at
// key + 3280, so the 6561 entries run from "all white" to "all black". Values are from black's
// point of view.
//
// How the values are made:
//   1. A few readable rules give every edge a raw score (ScoreEdge and its helpers below).
//   2. The raw scores are symmetrised: an edge, its mirror image, its colour inversion and the
//      inverted mirror form one class, and the class shares one magnitude, so reading an edge from
//      either end gives the same value and swapping colours negates it.
//   3. Values are clamped to -160..+160, every full edge gets its disc-count value, and a handful
//      of fixed reference entries are pinned (they anchor the scale the rest is tuned against).
//
// The constraints are not checked here but on the table the engine compiles, by
// tests/engine/edge_table_test.cpp; the test tools_edge_table_is_generated makes sure that table
// is exactly what this program writes, so a change here that breaks a constraint fails there.
//
// A summary (rule value next to each pinned value, a few sample edges) goes to stderr, for tuning
// the rules against the pinned entries.

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

constexpr int kCells = 8;
constexpr int kEntries = 6561;
constexpr int kOffset = 3280;  // index of the empty edge
constexpr int kMaxValue = 160;

using Edge = std::array<int, kCells>;

// ---------------------------------------------------------------------------------------------
// Edge <-> index

int IndexOf(const Edge& e) {
    int key = 0;
    for (int i = 0; i < kCells; ++i) key = key * 3 + e[i];
    return key + kOffset;
}

Edge EdgeAt(int index) {
    Edge e{};
    int rest = index;  // base-3 digits of the index are the cells shifted by +1
    for (int i = kCells - 1; i >= 0; --i) {
        e[i] = rest % 3 - 1;
        rest /= 3;
    }
    return e;
}

Edge Mirrored(const Edge& e) {
    Edge m{};
    for (int i = 0; i < kCells; ++i) m[i] = e[kCells - 1 - i];
    return m;
}

Edge Inverted(const Edge& e) {
    Edge v{};
    for (int i = 0; i < kCells; ++i) v[i] = -e[i];
    return v;
}

bool IsFull(const Edge& e) {
    return std::none_of(e.begin(), e.end(), [](int c) { return c == 0; });
}

int DiscBalance(const Edge& e) {
    int sum = 0;
    for (int c : e) sum += c;
    return sum;
}

// "X.O....." -> edge; X black, O white, '.' empty, e0 first.
Edge Parse(const char* text) {
    Edge e{};
    for (int i = 0; i < kCells; ++i) e[i] = text[i] == 'X' ? 1 : text[i] == 'O' ? -1 : 0;
    return e;
}

// ---------------------------------------------------------------------------------------------
// Moves along the edge
//
// Only the edge is known here, so any empty cell may be played by either colour: the move can be
// legal through a line that leaves the edge. Along the edge it turns the opponent's discs it
// brackets, as on the board.

// Plays colour `c` at empty cell `at`; returns a bit mask of the turned cells.
unsigned Play(Edge& e, int at, int c) {
    unsigned turned = 0;
    e[at] = c;
    for (int step : {-1, 1}) {
        int i = at + step;
        unsigned run = 0;
        while (i >= 0 && i < kCells && e[i] == -c) {
            run |= 1u << i;
            i += step;
        }
        if (run != 0 && i >= 0 && i < kCells && e[i] == c) turned |= run;
    }
    for (int i = 0; i < kCells; ++i) {
        if (turned >> i & 1) e[i] = c;
    }
    return turned;
}

// ---------------------------------------------------------------------------------------------
// Stability
//
// A disc is stable on the edge if no sequence of moves on the edge can ever turn it. Corners are
// always stable; a run of one colour from a corner is stable; a full edge is stable. Anything else
// (a disc next to an opponent's disc that is not yet bracketed, a run in the middle) can turn.
// Computed exactly over all edges: every move empties one cell less, so the recursion is finite,
// and it is memoised by index.

std::vector<int> g_unstableMemo(kEntries, -1);

// Bit i set: the disc now on cell i can change colour in some continuation.
unsigned UnstableMask(const Edge& e) {
    const int index = IndexOf(e);
    if (g_unstableMemo[index] >= 0) return static_cast<unsigned>(g_unstableMemo[index]);
    unsigned occupied = 0;
    for (int i = 0; i < kCells; ++i) {
        if (e[i] != 0) occupied |= 1u << i;
    }
    unsigned mask = 0;
    for (int at = 0; at < kCells; ++at) {
        if (e[at] != 0) continue;
        for (int c : {1, -1}) {
            Edge next = e;
            const unsigned turned = Play(next, at, c);
            mask |= (turned | UnstableMask(next)) & occupied;
        }
    }
    g_unstableMemo[index] = static_cast<int>(mask);
    return mask;
}

// ---------------------------------------------------------------------------------------------
// Rules, each scored for black ("us"); white's score is the same rule on the inverted edge.

constexpr double kCornerValue = 50.0;
// A stable disc beyond the corner is worth little on its own: it will count at the end, but for
// now it mostly takes moves away from us. A whole stable run of seven adds 20 to the corner.
constexpr double kStableDiscValue = 10.0 / 3.0;
// An odd hole between two of our discs: the opponent can drop a disc into it that cannot be turned
// along the edge (a wedge), and parity lets them keep the last move there.
constexpr double kOddHolePenalty = 17.0;
// An even hole is much weaker: whatever the opponent plays in it, we can answer in the same hole.
constexpr double kEvenHolePenalty = 5.0;
// Holes this long or longer are open ground rather than wedge points.
constexpr int kLongestHole = 3;
// Per disc beyond the second of an unstable run that touches no corner: a long loose run is a
// target: one corner for the opponent plus a move at its far end can turn it all at once.
constexpr double kLooseRunPenalty = 10.0;
// Per disc of an unstable run starting on a C-square next to an empty corner, when the far end of
// the run cannot be closed with one move: the opponent takes the corner and can then turn the run.
constexpr double kCSquareRunPenalty = 3.0;
// All six inner squares ours and both corners empty (a balanced edge): no hole, no loose end; if
// the opponent takes a corner we answer on the other and the whole edge becomes ours for good.
// This replaces the run rules for that one shape.
constexpr double kBalancedEdgeBonus = 29.0;
// Share of the best capture along the edge that counts now: we do not know who moves next, and
// the other side may answer elsewhere first. Only captures count: they are always legal, since
// they turn discs along the edge itself, while a quiet move on the edge needs a line elsewhere.
constexpr double kCaptureShare = 0.6;

// Corners held.
double CornerScore(const Edge& e) { return kCornerValue * ((e[0] > 0) + (e[kCells - 1] > 0)); }

// Our non-corner discs that can never be turned along the edge.
double StableScore(const Edge& e) {
    const unsigned unstable = UnstableMask(e);
    int stable = 0;
    for (int i = 1; i < kCells - 1; ++i) {
        if (e[i] > 0 && !(unstable >> i & 1)) ++stable;
    }
    return kStableDiscValue * stable;
}

// Holes (runs of empty cells) with our discs on both sides are wedge points for the opponent.
double HoleScore(const Edge& e) {
    double score = 0.0;
    int i = 0;
    while (i < kCells) {
        if (e[i] != 0) {
            ++i;
            continue;
        }
        const int start = i;
        while (i < kCells && e[i] == 0) ++i;
        const bool bracketedByUs = start > 0 && i < kCells && e[start - 1] > 0 && e[i] > 0;
        if (bracketedByUs && i - start <= kLongestHole)
            score -= (i - start) % 2 == 1 ? kOddHolePenalty : kEvenHolePenalty;
    }
    return score;
}

// A balanced edge: .XXXXXX.
bool IsBalanced(const Edge& e) {
    if (e[0] != 0 || e[kCells - 1] != 0) return false;
    for (int i = 1; i < kCells - 1; ++i) {
        if (e[i] <= 0) return false;
    }
    return true;
}

// Unstable runs of our discs: loose runs in the middle and runs hanging off a C-square.
double RunScore(const Edge& e) {
    if (IsBalanced(e)) return kBalancedEdgeBonus;
    const unsigned unstable = UnstableMask(e);
    double score = 0.0;
    int i = 0;
    while (i < kCells) {
        if (e[i] <= 0) {
            ++i;
            continue;
        }
        const int start = i;
        while (i < kCells && e[i] > 0) ++i;
        const int end = i;  // one past the run
        const int length = end - start;
        bool anyUnstable = false;
        for (int j = start; j < end; ++j) anyUnstable = anyUnstable || (unstable >> j & 1);
        if (!anyUnstable) continue;
        const bool touchesCorner = start == 0 || end == kCells;
        if (!touchesCorner && length >= 3) score -= kLooseRunPenalty * (length - 2);
        // Hanging off a C-square: the run starts at cell 1 (or ends at cell 6) next to an empty
        // corner. The far end can be closed in one move only if exactly one empty cell separates
        // it from the far edge end (then taking that cell anchors the whole run).
        for (const bool leftSide : {true, false}) {
            const bool onCSquare = leftSide ? start == 1 : end == kCells - 1;
            const int corner = leftSide ? 0 : kCells - 1;
            if (!onCSquare || e[corner] != 0) continue;
            const int farFrom = leftSide ? end : 0;
            const int farTo = leftSide ? kCells : start;
            int farEmpty = 0;
            for (int j = farFrom; j < farTo; ++j) farEmpty += e[j] == 0;
            if (farEmpty != 1) score -= kCSquareRunPenalty * length;
        }
    }
    return score;
}

// Static score of an edge, black minus white. Full edges count discs: 20 a disc.
double StaticScore(const Edge& e) {
    if (IsFull(e)) return 20.0 * DiscBalance(e);
    const auto side = [](const Edge& x) {
        return CornerScore(x) + StableScore(x) + HoleScore(x) + RunScore(x);
    };
    return side(e) - side(Inverted(e));
}

// Gain of colour c's best capture along the edge, from c's point of view; 0 if c has no capture
// that improves its edge. This is where a C-square disc next to an empty corner with an
// opponent's disc behind it (.XO.....) costs: the corner is one move away. It is also where a
// hole becomes fatal once a capture into it would fill the edge and make every disc count.
double BestCapture(const Edge& e, int c) {
    const double now = StaticScore(e);
    double best = 0.0;
    for (int at = 0; at < kCells; ++at) {
        if (e[at] != 0) continue;
        Edge next = e;
        if (Play(next, at, c) == 0) continue;
        best = std::max(best, c * (StaticScore(next) - now));
    }
    return best;
}

double ScoreEdge(const Edge& e) {
    return StaticScore(e) + kCaptureShare * (BestCapture(e, 1) - BestCapture(e, -1));
}

// ---------------------------------------------------------------------------------------------
// Fixed entries

struct Pinned {
    const char* edge;
    int value;
};

// Reference entries: the scale of the rules above is tuned to these.
constexpr Pinned kReference[] = {
    {"X.......", 50},  {".......X", 50},  {"X......X", 100}, {"XXXXXXXX", 160}, {"XX......", 53},
    {"XXX.....", 57},  {"XXXX....", 60},  {"XXXXX...", 63},  {"XXXXXX..", 67},  {"XXXXXXX.", 70},
    {".X......", 0},   {"..X.....", 0},   {"...XX...", 0},   {"..XXXX..", -21}, {".XXXXXX.", 29},
    {"..XXXXX.", -41}, {"....X.X.", -17}, {".X.X....", -17}, {"X.XXXXX.", -8},  {"XX.XXXXX", 99},
    {"XXXX...X", 93},  {"XXXXXXO.", 125}, {"XO......", 50},  {"XOOOOOO.", 150}, {".XO.....", -33},
    {"OX......", -50},
};

// Edges whose mirror image is their own colour inversion. Mirror symmetry and colour
// antisymmetry together force such an edge to 0; these six keep a value that depends on the
// direction the edge is read in (the mirror gets the negated value).
constexpr Pinned kDirected[] = {
    {".OOOXXX.", 70}, {".OO..XX.", 25}, {".OOXOXX.", 62},
    {".OXOXOX.", 33}, {".OX..OX.", 33}, {".OXXOOX.", 33},
};

// ---------------------------------------------------------------------------------------------
// Building

// Rounds half away from zero, so that rounding commutes with negation.
int RoundSymmetric(double x) {
    return static_cast<int>(x < 0 ? -std::floor(-x + 0.5) : std::floor(x + 0.5));
}

// Sets e and its mirror to v, their inversions to -v.
void SetClass(std::vector<int>& table, const Edge& e, int v) {
    table[IndexOf(e)] = v;
    table[IndexOf(Mirrored(e))] = v;
    table[IndexOf(Inverted(e))] = -v;
    table[IndexOf(Inverted(Mirrored(e)))] = -v;
}

std::vector<int> BuildTable(std::vector<int>& raw) {
    raw.assign(kEntries, 0);
    for (int index = 0; index < kEntries; ++index)
        raw[index] = RoundSymmetric(ScoreEdge(EdgeAt(index)));

    std::vector<int> table(kEntries, 0);
    std::vector<bool> done(kEntries, false);
    for (int index = 0; index < kEntries; ++index) {
        if (done[index]) continue;
        const Edge e = EdgeAt(index);
        const Edge m = Mirrored(e), v = Inverted(e), mv = Inverted(m);
        // Integer average over the class; for an edge whose mirror is its inversion the sum is
        // exactly 0, and so is the value.
        const int sum = raw[IndexOf(e)] + raw[IndexOf(m)] - raw[IndexOf(v)] - raw[IndexOf(mv)];
        const int value = std::clamp(RoundSymmetric(sum / 4.0), -kMaxValue, kMaxValue);
        SetClass(table, e, value);
        for (const Edge& x : {e, m, v, mv}) done[IndexOf(x)] = true;
    }

    for (int index = 0; index < kEntries; ++index) {
        const Edge e = EdgeAt(index);
        if (IsFull(e)) table[index] = 20 * DiscBalance(e);
    }
    for (const Pinned& p : kReference) SetClass(table, Parse(p.edge), p.value);
    for (const Pinned& p : kDirected) {
        const Edge e = Parse(p.edge);
        table[IndexOf(e)] = p.value;
        table[IndexOf(Mirrored(e))] = -p.value;
    }
    return table;
}

// ---------------------------------------------------------------------------------------------
// Output

void PrintSummary(const std::vector<int>& raw, const std::vector<int>& table) {
    std::fprintf(stderr, "reference entries: pinned value / value the rules give\n");
    int worst = 0;
    for (const Pinned& p : kReference) {
        const int rule = raw[IndexOf(Parse(p.edge))];
        worst = std::max(worst, std::abs(rule - p.value));
        std::fprintf(stderr, "  %s %5d %5d\n", p.edge, p.value, rule);
    }
    std::fprintf(stderr, "largest difference: %d\n", worst);
    const char* samples[] = {"X.X.....", "XOX.....", ".XXX.XX.", "..XXX...",
                             "...XXX..", "X.OOOO..", "OXXXXXX.", ".XXXXXXO",
                             "XXXXXX.O", ".OOOOOX.", "..OX....", "X...O..."};
    std::fprintf(stderr, "samples:\n");
    for (const char* s : samples) std::fprintf(stderr, "  %s %5d\n", s, table[IndexOf(Parse(s))]);
}

}  // namespace

int main() {
    std::vector<int> raw;
    const std::vector<int> table = BuildTable(raw);
    PrintSummary(raw, table);
    std::printf(
        "// generated by tools/gen_edge_table; do not edit: "
        "build/native/bin/gen_edge_table > engine/edge_table.inc\n");
    for (int index = 0; index < kEntries; ++index) {
        std::printf("%d,%s", table[index], index % 27 == 26 ? "\n" : " ");
    }
    return std::fflush(stdout) == 0 ? 0 : 1;
}
