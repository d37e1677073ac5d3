// gen_edge_table: writes engine/edge_table.inc, the evaluation's value of every edge.
//
// The committed table is learned from exact game outcomes (edge_learning.h explains how):
//
//   build/native/bin/gen_edge_table learn --dir FOLDER --seed 2026 > engine/edge_table.inc
//
// FOLDER keeps the games, labels and the table of every round; a run that is stopped continues
// from there with the same command. The same options give the same table, byte for byte,
// whatever the folder and the number of processors.
//
//   build/native/bin/gen_edge_table rules
//
// prints the table of the hand-written rules (edge_rules.h) that the learning starts from and
// falls back on for edges its data hardly sees, with a summary on stderr.
//
// The constraints are not checked here but on the table the engine compiles, by
// tests/engine/edge_table_test.cpp, and on a quick learned table by the test
// tools_learned_table_keeps_the_rules.

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "edge_learning.h"
#include "edge_rules.h"

namespace {

void PrintSummary(const edges::Table& raw, const edges::Table& table) {
    using edges::IndexOf;
    using edges::Parse;
    std::fprintf(stderr, "reference entries: pinned value / value the rules give\n");
    int worst = 0;
    for (const edges::Pinned& p : edges::ReferenceEntries()) {
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

int main(int argc, char** argv) {
    if (argc >= 2 && std::strcmp(argv[1], "learn") == 0)
        return edges::LearnCommand(argc - 2, argv + 2);
    if (argc == 2 && std::strcmp(argv[1], "rules") == 0) {
        edges::Table raw;
        const edges::Table table = edges::RuleTable(&raw);
        PrintSummary(raw, table);
        const std::string text =
            edges::TableText(table,
                             "// the hand-written rules of tools/edge_rules.cpp: "
                             "build/native/bin/gen_edge_table rules");
        std::fwrite(text.data(), 1, text.size(), stdout);
        return std::fflush(stdout) == 0 ? 0 : 1;
    }
    std::fprintf(stderr,
                 "usage: gen_edge_table rules > FILE\n"
                 "       gen_edge_table learn --dir FOLDER [options] > engine/edge_table.inc\n"
                 "       (gen_edge_table learn --help lists the options)\n");
    return 2;
}
