// The hand-written edge rules and the table's fixed entries (edge_rules.h).
#include "edge_rules.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>

namespace edges {

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

Edge Parse(const char* text) {
    Edge e{};
    for (int i = 0; i < kCells; ++i) e[i] = text[i] == 'X' ? 1 : text[i] == 'O' ? -1 : 0;
    return e;
}

int RoundSymmetric(double x) {
    return static_cast<int>(x < 0 ? -std::floor(-x + 0.5) : std::floor(x + 0.5));
}

namespace {

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

}  // namespace

// ---------------------------------------------------------------------------------------------
// Fixed entries

const std::vector<Pinned>& ReferenceEntries() {
    // The scale of everything else (the rules below, the learned values) is set by these.
    static const std::vector<Pinned> entries = {
        {"X.......", 50},  {".......X", 50},  {"X......X", 100}, {"XXXXXXXX", 160},
        {"XX......", 53},  {"XXX.....", 57},  {"XXXX....", 60},  {"XXXXX...", 63},
        {"XXXXXX..", 67},  {"XXXXXXX.", 70},  {".X......", 0},   {"..X.....", 0},
        {"...XX...", 0},   {"..XXXX..", -21}, {".XXXXXX.", 29},  {"..XXXXX.", -41},
        {"....X.X.", -17}, {".X.X....", -17}, {"X.XXXXX.", -8},  {"XX.XXXXX", 99},
        {"XXXX...X", 93},  {"XXXXXXO.", 125}, {"XO......", 50},  {"XOOOOOO.", 150},
        {".XO.....", -33}, {"OX......", -50},
    };
    return entries;
}

const std::vector<Pinned>& DirectedEntries() {
    // Mirror symmetry and colour antisymmetry together would force these to 0.
    static const std::vector<Pinned> entries = {
        {".OOOXXX.", 70}, {".OO..XX.", 25}, {".OOXOXX.", 62},
        {".OXOXOX.", 33}, {".OX..OX.", 33}, {".OXXOOX.", 33},
    };
    return entries;
}

namespace {

void Fix(FixedEntries& rules, const Edge& e, int v) {
    rules.value[IndexOf(e)] = v;
    rules.fixed[IndexOf(e)] = true;
}

// Sets e and its mirror to v, their inversions to -v.
void FixClass(FixedEntries& rules, const Edge& e, int v) {
    Fix(rules, e, v);
    Fix(rules, Mirrored(e), v);
    Fix(rules, Inverted(e), -v);
    Fix(rules, Inverted(Mirrored(e)), -v);
}

FixedEntries MakeRules() {
    FixedEntries rules{Table(kEntries, 0), std::vector<bool>(kEntries, false)};
    for (int index = 0; index < kEntries; ++index) {
        const Edge e = EdgeAt(index);
        if (IsFull(e)) Fix(rules, e, 20 * DiscBalance(e));
        if (Mirrored(e) == Inverted(e)) Fix(rules, e, 0);  // the empty edge among them
    }
    for (const Pinned& p : ReferenceEntries()) FixClass(rules, Parse(p.edge), p.value);
    for (const Pinned& p : DirectedEntries()) {
        const Edge e = Parse(p.edge);
        Fix(rules, e, p.value);
        Fix(rules, Mirrored(e), -p.value);
    }
    return rules;
}

}  // namespace

const FixedEntries& TableRules() {
    static const FixedEntries rules = MakeRules();
    return rules;
}

// ---------------------------------------------------------------------------------------------
// Building

Table RuleTable(Table* rawOut) {
    Table raw(kEntries, 0);
    for (int index = 0; index < kEntries; ++index)
        raw[index] = RoundSymmetric(ScoreEdge(EdgeAt(index)));

    Table table(kEntries, 0);
    std::vector<bool> done(kEntries, false);
    for (int index = 0; index < kEntries; ++index) {
        if (done[index]) continue;
        const Edge e = EdgeAt(index);
        const Edge m = Mirrored(e), v = Inverted(e), mv = Inverted(m);
        // Integer average over the class; for an edge whose mirror is its inversion the sum is
        // exactly 0, and so is the value.
        const int sum = raw[IndexOf(e)] + raw[IndexOf(m)] - raw[IndexOf(v)] - raw[IndexOf(mv)];
        const int value = std::clamp(RoundSymmetric(sum / 4.0), -kMaxValue, kMaxValue);
        table[IndexOf(e)] = value;
        table[IndexOf(m)] = value;
        table[IndexOf(v)] = -value;
        table[IndexOf(mv)] = -value;
        for (const Edge& x : {e, m, v, mv}) done[IndexOf(x)] = true;
    }
    const FixedEntries& rules = TableRules();
    for (int index = 0; index < kEntries; ++index) {
        if (rules.fixed[index]) table[index] = rules.value[index];
    }
    if (rawOut != nullptr) *rawOut = raw;
    return table;
}

std::string TableText(const Table& table, const std::string& comment) {
    std::string text = comment + "\n";
    for (int index = 0; index < kEntries; ++index) {
        text += std::to_string(table[index]);
        text += index % 27 == 26 ? ",\n" : ", ";
    }
    return text;
}

}  // namespace edges
