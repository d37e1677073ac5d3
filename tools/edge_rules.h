// The edge table's layout, its fixed entries and the hand-written rules that score every other
// edge. gen_edge_table prints the rule table; the learner (edge_learning.h) starts from it,
// regularises towards it, and keeps every fixed entry as it is here.
//
// An edge is a line of eight cells e0..e7 (corner, C-square, A, B, B, A, C-square, corner), each
// -1 (white), 0 (empty) or +1 (black). Its key is e0*3^7 + e1*3^6 + ... + e7 and its entry sits at
// key + 3280, so the 6561 entries run from "all white" to "all black". Values are from black's
// point of view.
#ifndef TAVIK_TOOLS_EDGE_RULES_H
#define TAVIK_TOOLS_EDGE_RULES_H

#include <array>
#include <string>
#include <vector>

namespace edges {

constexpr int kCells = 8;
constexpr int kEntries = 6561;
constexpr int kOffset = 3280;  // index of the empty edge
constexpr int kMaxValue = 160;

using Edge = std::array<int, kCells>;
using Table = std::vector<int>;  // kEntries values, indexed by key + kOffset

int IndexOf(const Edge& e);
Edge EdgeAt(int index);
Edge Mirrored(const Edge& e);
Edge Inverted(const Edge& e);
bool IsFull(const Edge& e);
int DiscBalance(const Edge& e);
// "X.O....." -> edge; X black, O white, '.' empty, e0 first.
Edge Parse(const char* text);

// Rounds half away from zero, so that rounding commutes with negation.
int RoundSymmetric(double x);

struct Pinned {
    const char* edge;
    int value;
};

// Entries whose value is fixed whatever the rest holds: every full edge (20 per disc of
// difference), the reference edges with their colour inversions and mirrors, the six directed
// pairs, and the other edges that are their own inverted mirror (forced to 0).
struct FixedEntries {
    Table value;
    std::vector<bool> fixed;
};
const FixedEntries& TableRules();

// The reference edges, pinned with their whole symmetry class.
const std::vector<Pinned>& ReferenceEntries();
// Edges whose mirror image is their own colour inversion but that keep a value that depends on
// the direction the edge is read in (the mirror gets the negated value).
const std::vector<Pinned>& DirectedEntries();

// The table the readable rules give, symmetrised, clamped and with every fixed entry set.
// `raw`, if given, receives each edge's unsymmetrised rule score.
Table RuleTable(Table* raw = nullptr);

// The table as engine/edge_table.inc holds it: the comment line, then 27 values a line.
std::string TableText(const Table& table, const std::string& comment);

}  // namespace edges

#endif  // TAVIK_TOOLS_EDGE_RULES_H
