// Learning the edge table from exact game outcomes (edge_learning.h).
#include "edge_learning.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>
#include <unordered_set>
#include <vector>

#include "board.h"
#include "edge_rules.h"
#include "eval.h"
#include "ostrakon_value.h"
#include "search.h"

namespace edges {

namespace {

namespace fs = std::filesystem;
using ostrakon::Bitboard;
using ostrakon::LegalMoves;
using ostrakon::PopCount;

constexpr int kFirstSampled = 50;  // empty squares: the normal search's stages
constexpr int kLastSampled = 12;
constexpr int kChunkGames = 100;  // games per data file: at most this much is lost by a stop

// ---------------------------------------------------------------------------------------------
// Options

struct Options {
    std::string dir;
    uint64_t seed = 1;
    int games = 2500;       // self-play games per round
    int rounds = 4;         // at most
    int exact = 16;         // positions with this many empty squares or fewer are solved
    int depth = 4;          // self-play search depth
    int margin = 20;        // self-play picks among moves within this of the best
    int randomPlies = 8;    // uniformly random opening moves of a self-play game
    int matchGames = 1000;  // per round, half the openings with each colour
    int matchDepth = 4;     // search depth of both tables in the match
    int matchExact = 14;    // the match game is scored by perfect play from here
    bool winLink = false;   // fit win/draw/loss (logistic) instead of the disc difference
    double ridge = 100.0;   // pseudo-positions pulling each class towards its rule value
    int threads = 0;        // 0: every processor; does not change the result
    bool quick = false;
};

// The options that decide the data and the tables of each round, in a fixed form, stored in the
// folder. --rounds only says where to stop: a folder can be continued with more.
std::string DataOptions(const Options& o) {
    std::ostringstream s;
    s << "--seed " << o.seed << " --games " << o.games << " --exact " << o.exact << " --depth "
      << o.depth << " --margin " << o.margin << " --random-plies " << o.randomPlies
      << " --match-games " << o.matchGames << " --match-depth " << o.matchDepth << " --match-exact "
      << o.matchExact << " --ridge " << o.ridge;
    if (o.winLink) s << " --link wins";
    return s.str();
}

// Everything that decides the printed table, for its comment line.
std::string ResultOptions(const Options& o) {
    return DataOptions(o) + " --rounds " + std::to_string(o.rounds);
}

const char kUsage[] =
    "usage: gen_edge_table learn --dir FOLDER [--seed N] [--games N] [--rounds N] [--exact E]\n"
    "           [--depth D] [--margin M] [--random-plies K] [--match-games N] [--match-depth D]\n"
    "           [--match-exact E] [--ridge R] [--link discs|wins] [--threads T] [--quick]\n"
    "  --quick: a few hundred positions in seconds (24 games, 2 rounds, small searches)\n";

bool ParseOptions(int argc, char** argv, Options& o) {
    // --quick first, so that explicit options still override what it sets
    for (int i = 0; i < argc; ++i) {
        if (std::strcmp(argv[i], "--quick") == 0) {
            o.quick = true;
            o.games = 24;
            o.rounds = 2;
            o.exact = 12;
            o.depth = 2;
            o.matchGames = 8;
            o.matchDepth = 2;
            o.matchExact = 10;
        }
    }
    for (int i = 0; i < argc; ++i) {
        const std::string name = argv[i];
        if (name == "--quick") continue;
        if (name == "--help") return false;
        if (i + 1 >= argc) {
            std::fprintf(stderr, "gen_edge_table learn: %s needs a value\n", name.c_str());
            return false;
        }
        const char* text = argv[++i];
        char* end = nullptr;
        const double number = std::strtod(text, &end);
        const bool isNumber = end != text && *end == '\0';
        const auto integer = [&](int& field, int low, int high) {
            if (!isNumber || number != std::floor(number) || number < low || number > high) {
                std::fprintf(stderr, "gen_edge_table learn: %s wants a whole number %d..%d\n",
                             name.c_str(), low, high);
                return false;
            }
            field = static_cast<int>(number);
            return true;
        };
        bool ok = true;
        if (name == "--dir") {
            o.dir = text;
        } else if (name == "--seed") {
            ok = isNumber && number >= 0 && number == std::floor(number) && number < 1e15;
            if (ok)
                o.seed = static_cast<uint64_t>(number);
            else
                std::fprintf(stderr, "gen_edge_table learn: --seed wants a whole number\n");
        } else if (name == "--games") {
            ok = integer(o.games, 1, 10000000);
        } else if (name == "--rounds") {
            ok = integer(o.rounds, 1, 100);
        } else if (name == "--exact") {
            ok = integer(o.exact, 1, 24);
        } else if (name == "--depth") {
            ok = integer(o.depth, 1, 10);
        } else if (name == "--margin") {
            ok = integer(o.margin, 0, 1000);
        } else if (name == "--random-plies") {
            ok = integer(o.randomPlies, 0, 40);
        } else if (name == "--match-games") {
            ok = integer(o.matchGames, 2, 100000) && o.matchGames % 2 == 0;
            if (!ok) std::fprintf(stderr, "gen_edge_table learn: --match-games must be even\n");
        } else if (name == "--match-depth") {
            ok = integer(o.matchDepth, 1, 10);
        } else if (name == "--match-exact") {
            ok = integer(o.matchExact, 1, 24);
        } else if (name == "--ridge") {
            ok = isNumber && number > 0 && number < 1e9;
            if (ok)
                o.ridge = number;
            else
                std::fprintf(stderr, "gen_edge_table learn: --ridge wants a positive number\n");
        } else if (name == "--link") {
            ok = std::strcmp(text, "wins") == 0 || std::strcmp(text, "discs") == 0;
            o.winLink = std::strcmp(text, "wins") == 0;
            if (!ok) std::fprintf(stderr, "gen_edge_table learn: --link wants discs or wins\n");
        } else if (name == "--threads") {
            ok = integer(o.threads, 0, 256);
        } else {
            std::fprintf(stderr, "gen_edge_table learn: unknown option %s\n", name.c_str());
            ok = false;
        }
        if (!ok) return false;
    }
    if (o.dir.empty()) {
        std::fprintf(stderr, "gen_edge_table learn: --dir FOLDER is required\n");
        return false;
    }
    return true;
}

// ---------------------------------------------------------------------------------------------
// Random numbers: one stream per game, the same on every platform.

class Random {
public:
    Random(uint64_t seed, uint64_t round, uint64_t stream, uint64_t number)
        : state_(Mix(Mix(Mix(seed) ^ round) ^ stream) ^ number) {}

    // Uniform enough in 0..n-1 for choosing among a handful of moves.
    int Below(int n) { return static_cast<int>(Next() % static_cast<uint64_t>(n)); }

private:
    static uint64_t Mix(uint64_t x) {
        x += 0x9E3779B97F4A7C15ULL;
        x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ULL;
        x = (x ^ (x >> 27)) * 0x94D049BB133111EBULL;
        return x ^ (x >> 31);
    }
    uint64_t Next() {
        state_ += 0x9E3779B97F4A7C15ULL;
        return Mix(state_);
    }
    uint64_t state_;
};

constexpr uint64_t kSelfPlayStream = 1;
constexpr uint64_t kMatchStream = 2;

// ---------------------------------------------------------------------------------------------
// Positions and searches

struct Game {
    Bitboard own = 0x0000000810000000ULL;  // black to move: D5 and E4 are black
    Bitboard opp = 0x0000001008000000ULL;
    int side = 1;  // +1 black to move

    Bitboard Black() const { return side > 0 ? own : opp; }
    Bitboard White() const { return side > 0 ? opp : own; }
    int Empty() const { return 64 - PopCount(own | opp); }
    void Pass() {
        std::swap(own, opp);
        side = -side;
    }
    void Play(int sq) {
        const ostrakon::Position next = ostrakon::Play(own, opp, sq);
        own = next.own;
        opp = next.opp;
        side = -side;
    }
    // Passes when the side to move has no move; false when neither side has one.
    bool ReadyToMove() {
        if (LegalMoves(own, opp) != 0) return true;
        if (LegalMoves(opp, own) == 0) return false;
        Pass();
        return true;
    }
};

std::vector<int> Squares(Bitboard moves) {
    std::vector<int> squares;
    for (; moves != 0; moves &= moves - 1) squares.push_back(ostrakon::LowestBit(moves));
    return squares;
}

constexpr int kWonGame = 1000000;  // above any evaluation

int Negamax(const int32_t* table, Bitboard own, Bitboard opp, int depth, int alpha, int beta) {
    Bitboard moves = LegalMoves(own, opp);
    if (moves == 0) {
        if (LegalMoves(opp, own) == 0) {
            const int diff = PopCount(own) - PopCount(opp);
            return diff > 0 ? kWonGame + diff : diff < 0 ? diff - kWonGame : 0;
        }
        return -Negamax(table, opp, own, depth, -beta, -alpha);
    }
    if (depth == 0) return ostrakon::EvaluateWithTable(table, own, opp);
    int best = -2 * kWonGame;
    for (; moves != 0; moves &= moves - 1) {
        const ostrakon::Position next = ostrakon::Play(own, opp, ostrakon::LowestBit(moves));
        const int value = -Negamax(table, next.own, next.opp, depth - 1, -beta, -alpha);
        best = std::max(best, value);
        alpha = std::max(alpha, value);
        if (alpha >= beta) break;
    }
    return best;
}

// Every legal move's value `depth` plies deep (the move itself is the first ply).
std::vector<int> MoveValues(const int32_t* table, const Game& g, const std::vector<int>& squares,
                            int depth) {
    std::vector<int> values;
    for (int sq : squares) {
        const ostrakon::Position next = ostrakon::Play(g.own, g.opp, sq);
        values.push_back(
            -Negamax(table, next.own, next.opp, depth - 1, -3 * kWonGame, 3 * kWonGame));
    }
    return values;
}

// The exact final disc difference from black's view with perfect play from here.
int SolveBlackView(const Game& g) {
    if (LegalMoves(g.own, g.opp) == 0 && LegalMoves(g.opp, g.own) == 0)
        return PopCount(g.Black()) - PopCount(g.White());
    Game ready = g;
    ready.ReadyToMove();
    BoardState board{};
    board.sideToMove = ready.side;
    ostrakon::WritePosition({ready.own, ready.opp}, ready.side, board);
    ThinkResult result{};
    ostrakon::SearchOptions one;
    one.threads = 1;
    if (!ostrakon::ThinkPosition(board, -1, true, nullptr, result, one)) {
        std::fprintf(stderr, "gen_edge_table learn: the perfect search failed\n");
        std::exit(1);
    }
    const ostrakon::ValueMeaning meaning = ostrakon::ReadValue(result.value);
    switch (meaning.kind) {
        case ostrakon::ValueMeaning::kBlackWins:
            return meaning.amount;
        case ostrakon::ValueMeaning::kWhiteWins:
            return -meaning.amount;
        case ostrakon::ValueMeaning::kDraw:
            return 0;
        case ostrakon::ValueMeaning::kNumber:
            break;
    }
    std::fprintf(stderr, "gen_edge_table learn: the perfect search gave no final score\n");
    std::exit(1);
}

// Uniformly random opening moves; false if the game ended during them.
bool PlayRandomOpening(Game& g, int plies, Random& random) {
    for (int ply = 0; ply < plies; ++ply) {
        if (!g.ReadyToMove()) return false;
        const std::vector<int> squares = Squares(LegalMoves(g.own, g.opp));
        g.Play(squares[random.Below(static_cast<int>(squares.size()))]);
    }
    return true;
}

// ---------------------------------------------------------------------------------------------
// Self-play data

struct Sample {
    Bitboard black;
    Bitboard white;
    int8_t side;
    int8_t label;   // final disc difference, black's view
    uint8_t empty;  // empty squares
    uint8_t exact;  // 1: the label is this position's own perfect-play value
};

using GameSamples = std::vector<Sample>;

GameSamples PlaySelfPlayGame(const Options& o, const int32_t* table, int round, int number) {
    Random random(o.seed, static_cast<uint64_t>(round), kSelfPlayStream,
                  static_cast<uint64_t>(number));
    Game g;
    GameSamples samples;
    if (!PlayRandomOpening(g, o.randomPlies, random)) return samples;
    int gameLabel = 0;
    bool gameLabelKnown = false;
    while (g.ReadyToMove()) {
        const int empty = g.Empty();
        if (empty < kLastSampled) break;
        if (empty <= o.exact) {
            const int value = SolveBlackView(g);
            if (!gameLabelKnown) {
                gameLabel = value;
                gameLabelKnown = true;
            }
            samples.push_back({g.Black(), g.White(), static_cast<int8_t>(g.side),
                               static_cast<int8_t>(value), static_cast<uint8_t>(empty), 1});
        } else if (empty <= kFirstSampled) {
            samples.push_back({g.Black(), g.White(), static_cast<int8_t>(g.side), 0,
                               static_cast<uint8_t>(empty), 0});
        }
        const std::vector<int> squares = Squares(LegalMoves(g.own, g.opp));
        const std::vector<int> values = MoveValues(table, g, squares, o.depth);
        const int best = *std::max_element(values.begin(), values.end());
        std::vector<int> near;
        for (size_t i = 0; i < squares.size(); ++i) {
            if (values[i] >= best - o.margin) near.push_back(squares[i]);
        }
        g.Play(near[random.Below(static_cast<int>(near.size()))]);
    }
    if (!gameLabelKnown) {
        // Ended (or passed below the sampled stages) before reaching --exact: its result.
        gameLabel = SolveBlackView(g);
    }
    for (size_t i = 0; i < samples.size(); ++i) {
        if (!samples[i].exact) samples[i].label = static_cast<int8_t>(gameLabel);
    }
    return samples;
}

// ---------------------------------------------------------------------------------------------
// Files

constexpr char kChunkMagic[8] = {'T', 'V', 'K', 'E', 'D', 'G', 'E', '1'};

fs::path RoundDir(const Options& o, int round) {
    return fs::path(o.dir) / ("round-" + std::to_string(round));
}

fs::path ChunkPath(const Options& o, int round, int chunk) {
    return RoundDir(o, round) / ("games-" + std::to_string(chunk) + ".bin");
}

// Written to a temporary name and renamed, so a file that exists is whole.
bool WriteFileAtomically(const fs::path& path, const std::string& bytes) {
    const fs::path temporary = path.string() + ".part";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        if (!out.flush()) return false;
    }
    std::error_code error;
    fs::rename(temporary, path, error);
    return !error;
}

bool ReadFile(const fs::path& path, std::string& bytes) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::ostringstream s;
    s << in.rdbuf();
    bytes = s.str();
    return true;
}

template <typename T>
void Put(std::string& out, T value) {
    out.append(reinterpret_cast<const char*>(&value), sizeof value);
}

template <typename T>
bool Get(const std::string& in, size_t& at, T& value) {
    if (in.size() - at < sizeof value) return false;
    std::memcpy(&value, in.data() + at, sizeof value);
    at += sizeof value;
    return true;
}

std::string EncodeChunk(const std::vector<GameSamples>& games) {
    std::string out(kChunkMagic, sizeof kChunkMagic);
    Put(out, static_cast<uint32_t>(games.size()));
    for (const GameSamples& game : games) {
        Put(out, static_cast<uint32_t>(game.size()));
        for (const Sample& s : game) {
            Put(out, s.black);
            Put(out, s.white);
            Put(out, s.side);
            Put(out, s.label);
            Put(out, s.empty);
            Put(out, s.exact);
        }
    }
    return out;
}

bool DecodeChunk(const std::string& in, size_t expectedGames, std::vector<GameSamples>& games) {
    if (in.size() < sizeof kChunkMagic || std::memcmp(in.data(), kChunkMagic, 8) != 0) return false;
    size_t at = sizeof kChunkMagic;
    uint32_t count = 0;
    if (!Get(in, at, count) || count != expectedGames) return false;
    games.assign(count, {});
    for (GameSamples& game : games) {
        uint32_t size = 0;
        if (!Get(in, at, size) || size > 64) return false;
        game.resize(size);
        for (Sample& s : game) {
            if (!Get(in, at, s.black) || !Get(in, at, s.white) || !Get(in, at, s.side) ||
                !Get(in, at, s.label) || !Get(in, at, s.empty) || !Get(in, at, s.exact))
                return false;
        }
    }
    return at == in.size();
}

bool ParseTableText(const std::string& text, Table& table) {
    const size_t start = text.find('\n');
    if (start == std::string::npos) return false;
    table.clear();
    const char* p = text.c_str() + start + 1;
    while (*p != '\0') {
        char* end = nullptr;
        const long value = std::strtol(p, &end, 10);
        if (end == p) break;
        table.push_back(static_cast<int>(value));
        p = end;
        while (*p == ',' || *p == ' ' || *p == '\n') ++p;
    }
    return table.size() == static_cast<size_t>(kEntries);
}

// ---------------------------------------------------------------------------------------------
// Work on every processor

int ThreadCount(const Options& o) {
    if (o.threads > 0) return o.threads;
    return std::max(1u, std::thread::hardware_concurrency());
}

// Runs job(i) for i in 0..count-1 on `threads` threads; `done` is called under a lock after
// each job, in whatever order they finish.
void ParallelFor(int count, int threads, const std::function<void(int)>& job,
                 const std::function<void()>& done) {
    std::atomic<int> next{0};
    std::mutex lock;
    const auto work = [&] {
        for (int i = next++; i < count; i = next++) {
            job(i);
            std::lock_guard<std::mutex> guard(lock);
            done();
        }
    };
    std::vector<std::thread> helpers;
    for (int t = 1; t < std::min(threads, count); ++t) helpers.emplace_back(work);
    work();
    for (std::thread& t : helpers) t.join();
}

// ---------------------------------------------------------------------------------------------
// Progress

using Clock = std::chrono::steady_clock;

std::string Duration(double seconds) {
    const long s = std::lround(std::max(0.0, seconds));
    char text[32];
    if (s >= 3600)
        std::snprintf(text, sizeof text, "%ldh%02ldm", s / 3600, s / 60 % 60);
    else if (s >= 60)
        std::snprintf(text, sizeof text, "%ldm%02lds", s / 60, s % 60);
    else
        std::snprintf(text, sizeof text, "%lds", s);
    return text;
}

// Prints a line at most every few seconds, with an estimate of the time left from the rate of
// the work done in this run (work found on disk costs nothing and does not count).
class Progress {
public:
    Progress(std::string what, int total, int alreadyDone)
        : what_(std::move(what)),
          total_(total),
          done_(alreadyDone),
          startDone_(alreadyDone),
          start_(Clock::now()),
          last_(start_) {}

    void Step(const std::string& detail, int steps = 1) {
        done_ += steps;
        const Clock::time_point now = Clock::now();
        if (done_ < total_ && now - last_ < std::chrono::seconds(5)) return;
        last_ = now;
        const double elapsed = std::chrono::duration<double>(now - start_).count();
        const int doneHere = done_ - startDone_;
        std::string left = "";
        if (doneHere > 0 && done_ < total_)
            left = ", about " + Duration(elapsed / doneHere * (total_ - done_)) + " left";
        std::fprintf(stderr, "%s %d/%d%s, %s%s\n", what_.c_str(), done_, total_,
                     detail.empty() ? "" : (", " + detail).c_str(), Duration(elapsed).c_str(),
                     left.c_str());
    }

private:
    std::string what_;
    int total_;
    int done_;
    int startDone_;
    Clock::time_point start_;
    Clock::time_point last_;
};

// ---------------------------------------------------------------------------------------------
// A round's games

struct RoundData {
    std::vector<GameSamples> games;  // in game order
};

bool MakeRoundData(const Options& o, const Table& table, int round, RoundData& data) {
    const int chunks = (o.games + kChunkGames - 1) / kChunkGames;
    data.games.clear();
    std::vector<int32_t> values(table.begin(), table.end());
    int gamesOnDisk = 0;
    std::vector<bool> onDisk(chunks, false);
    for (int chunk = 0; chunk < chunks; ++chunk) {
        onDisk[chunk] = fs::exists(ChunkPath(o, round, chunk));
        if (onDisk[chunk]) gamesOnDisk += std::min(kChunkGames, o.games - chunk * kChunkGames);
    }
    if (gamesOnDisk > 0)
        std::fprintf(stderr, "round %d: %d games found in the folder\n", round, gamesOnDisk);
    Progress progress("round " + std::to_string(round) + ": games", o.games, gamesOnDisk);
    long positions = 0, solved = 0;
    for (int chunk = 0; chunk < chunks; ++chunk) {
        const int first = chunk * kChunkGames;
        const int count = std::min(kChunkGames, o.games - first);
        std::vector<GameSamples> games;
        if (onDisk[chunk]) {
            std::string bytes;
            if (!ReadFile(ChunkPath(o, round, chunk), bytes) || !DecodeChunk(bytes, count, games)) {
                std::fprintf(stderr, "gen_edge_table learn: %s is damaged; delete it to redo it\n",
                             ChunkPath(o, round, chunk).string().c_str());
                return false;
            }
        } else {
            games.assign(count, {});
            ParallelFor(
                count, ThreadCount(o),
                [&](int i) { games[i] = PlaySelfPlayGame(o, values.data(), round, first + i); },
                [&] { progress.Step(""); });
            if (!WriteFileAtomically(ChunkPath(o, round, chunk), EncodeChunk(games))) {
                std::fprintf(stderr, "gen_edge_table learn: cannot write %s\n",
                             ChunkPath(o, round, chunk).string().c_str());
                return false;
            }
        }
        for (const GameSamples& game : games) {
            positions += static_cast<long>(game.size());
            for (const Sample& s : game) solved += s.exact;
        }
        std::fprintf(stderr, "round %d: %d/%d games, %ld positions, %ld labels solved exactly\n",
                     round, first + count, o.games, positions, solved);
        for (GameSamples& game : games) data.games.push_back(std::move(game));
    }
    return true;
}

// ---------------------------------------------------------------------------------------------
// The fit

// Each free entry's class (the smallest index of its four members) and its sign in the class.
struct Classes {
    std::vector<int> of;     // kEntries; -1 for a fixed entry
    std::vector<int> sign;   // +1 for the edge and its mirror, -1 for their inversions
    std::vector<int> first;  // the representative index of each class
};

Classes MakeClasses() {
    const FixedEntries& rules = TableRules();
    Classes c{std::vector<int>(kEntries, -1), std::vector<int>(kEntries, 0), {}};
    for (int index = 0; index < kEntries; ++index) {
        if (rules.fixed[index] || c.of[index] >= 0) continue;
        const Edge e = EdgeAt(index);
        const int id = static_cast<int>(c.first.size());
        c.first.push_back(index);
        for (const Edge& x : {e, Mirrored(e)}) {
            c.of[IndexOf(x)] = id;
            c.sign[IndexOf(x)] = 1;
            c.of[IndexOf(Inverted(x))] = id;
            c.sign[IndexOf(Inverted(x))] = -1;
        }
    }
    return c;
}

struct Row {
    double fixed;  // mobility plus the fixed entries, evaluation units
    int cls[4];    // class of each edge, -1 if fixed
    int sign[4];
    double label;
    int empty;
};

Row MakeRow(const Classes& classes, const Sample& s) {
    static const std::vector<int32_t> zeros(kEntries, 0);
    Row row{};
    row.fixed = ostrakon::EvaluateWithTable(zeros.data(), s.black, s.white);
    int index[4];
    ostrakon::EdgeIndexes(s.black, s.white, index);
    const FixedEntries& rules = TableRules();
    for (int k = 0; k < 4; ++k) {
        row.cls[k] = classes.of[index[k]];
        row.sign[k] = classes.sign[index[k]];
        if (row.cls[k] < 0) row.fixed += rules.value[index[k]];
    }
    row.label = s.label;
    row.empty = s.empty;
    return row;
}

// Every position of every round so far, each once, in the order they were made.
std::vector<Row> CollectRows(const Classes& classes, const std::vector<RoundData>& rounds) {
    struct Key {
        Bitboard black, white;
        int side;
        bool operator==(const Key& k) const {
            return black == k.black && white == k.white && side == k.side;
        }
    };
    struct Hash {
        size_t operator()(const Key& k) const {
            return std::hash<uint64_t>()(k.black * 0x9E3779B97F4A7C15ULL ^ k.white) ^
                   static_cast<size_t>(k.side);
        }
    };
    std::unordered_set<Key, Hash> seen;
    std::vector<Row> rows;
    for (const RoundData& round : rounds) {
        for (const GameSamples& game : round.games) {
            for (const Sample& s : game) {
                if (seen.insert({s.black, s.white, s.side}).second)
                    rows.push_back(MakeRow(classes, s));
            }
        }
    }
    return rows;
}

double Predict(const Row& row, const std::vector<double>& classValue) {
    double e = row.fixed;
    for (int k = 0; k < 4; ++k) {
        if (row.cls[k] >= 0) e += row.sign[k] * classValue[row.cls[k]];
    }
    return e;
}

std::vector<double> ClassValues(const Classes& classes, const Table& table) {
    std::vector<double> v(classes.first.size());
    for (size_t c = 0; c < v.size(); ++c) v[c] = table[classes.first[c]];
    return v;
}

// The best scale for a given table (least squares through the origin) and the root mean
// square error in discs by stage.
struct FitError {
    double scale = 0;
    double all = 0;
    std::vector<double> byStage;  // kStages buckets
};

const int kStageBounds[] = {12, 19, 31, 41, 51};  // 12-18, 19-30, 31-40, 41-50
constexpr int kStages = 4;

FitError MeasureFit(const std::vector<Row>& rows, const Classes& classes, const Table& table) {
    const std::vector<double> values = ClassValues(classes, table);
    double xy = 0, xx = 0;
    for (const Row& r : rows) {
        const double e = Predict(r, values);
        xy += e * r.label;
        xx += e * e;
    }
    FitError fit;
    fit.scale = xx > 0 ? xy / xx : 0;
    std::vector<double> sum(kStages, 0), count(kStages, 0);
    double total = 0;
    for (const Row& r : rows) {
        const double d = fit.scale * Predict(r, values) - r.label;
        total += d * d;
        for (int s = 0; s < kStages; ++s) {
            if (r.empty >= kStageBounds[s] && r.empty < kStageBounds[s + 1]) {
                sum[s] += d * d;
                count[s] += 1;
            }
        }
    }
    fit.all = rows.empty() ? 0 : std::sqrt(total / static_cast<double>(rows.size()));
    for (int s = 0; s < kStages; ++s)
        fit.byStage.push_back(count[s] > 0 ? std::sqrt(sum[s] / count[s]) : 0);
    return fit;
}

std::string Describe(const FitError& f) {
    char text[160];
    std::snprintf(text, sizeof text,
                  "%.2f discs (12-18 empty %.2f, 19-30 %.2f, 31-40 %.2f, 41-50 %.2f), "
                  "%.4f discs per unit",
                  f.all, f.byStage[0], f.byStage[1], f.byStage[2], f.byStage[3], f.scale);
    return text;
}

// Solves the symmetric positive definite system a x = b in place (Cholesky).
bool SolveSymmetric(std::vector<double>& a, std::vector<double>& b, int n) {
    for (int j = 0; j < n; ++j) {
        double d = a[static_cast<size_t>(j) * n + j];
        for (int k = 0; k < j; ++k)
            d -= a[static_cast<size_t>(j) * n + k] * a[static_cast<size_t>(j) * n + k];
        if (!(d > 0)) return false;
        const double root = std::sqrt(d);
        a[static_cast<size_t>(j) * n + j] = root;
        for (int i = j + 1; i < n; ++i) {
            double v = a[static_cast<size_t>(i) * n + j];
            const double* ri = &a[static_cast<size_t>(i) * n];
            const double* rj = &a[static_cast<size_t>(j) * n];
            for (int k = 0; k < j; ++k) v -= ri[k] * rj[k];
            a[static_cast<size_t>(i) * n + j] = v / root;
        }
    }
    for (int i = 0; i < n; ++i) {  // forward: L y = b
        double v = b[i];
        for (int k = 0; k < i; ++k) v -= a[static_cast<size_t>(i) * n + k] * b[k];
        b[i] = v / a[static_cast<size_t>(i) * n + i];
    }
    for (int i = n - 1; i >= 0; --i) {  // back: L^T x = y
        double v = b[i];
        for (int k = i + 1; k < n; ++k) v -= a[static_cast<size_t>(k) * n + i] * b[k];
        b[i] = v / a[static_cast<size_t>(i) * n + i];
    }
    return true;
}

// One row's unknowns: x0 = scale and x(1+c) = scale * value(c) for the classes of its edges.
struct RowTerms {
    int idx[5];
    double x[5];
    int m = 0;

    explicit RowTerms(const Row& r) {
        idx[m] = 0;
        x[m++] = r.fixed;
        for (int e = 0; e < 4; ++e) {
            if (r.cls[e] < 0) continue;
            idx[m] = 1 + r.cls[e];
            x[m++] = r.sign[e];
        }
    }
    double Dot(const std::vector<double>& beta) const {
        double v = 0;
        for (int i = 0; i < m; ++i) v += x[i] * beta[idx[i]];
        return v;
    }
};

// Solves  (sum of weight * x x' + ridge R) beta = sum of weight * x * target  for the rows'
// weights and targets, where R is the ridge towards the prior: ridge * (x(1+c) - x0 * prior(c))^2
// for every class.
bool SolveWeighted(const std::vector<Row>& rows, const std::vector<double>& weight,
                   const std::vector<double>& target, const Classes& classes, const Table& prior,
                   double ridge, std::vector<double>& beta) {
    const int k = static_cast<int>(classes.first.size());
    const int n = k + 1;
    std::vector<double> a(static_cast<size_t>(n) * n, 0.0), b(n, 0.0);
    const auto add = [&](int i, int j, double v) { a[static_cast<size_t>(i) * n + j] += v; };
    for (size_t r = 0; r < rows.size(); ++r) {
        const RowTerms t(rows[r]);
        for (int i = 0; i < t.m; ++i) {
            b[t.idx[i]] += weight[r] * t.x[i] * target[r];
            for (int j = 0; j < t.m; ++j) add(t.idx[i], t.idx[j], weight[r] * t.x[i] * t.x[j]);
        }
    }
    for (int c = 0; c < k; ++c) {
        const double p = prior[classes.first[c]];
        add(1 + c, 1 + c, ridge);
        add(0, 1 + c, -ridge * p);
        add(1 + c, 0, -ridge * p);
        add(0, 0, ridge * p * p);
    }
    if (!SolveSymmetric(a, b, n) || !(b[0] > 0)) return false;
    beta = b;
    return true;
}

// label ~ scale * (fixed + sum of sign * value), linear in the unknowns of RowTerms: one least
// squares solve. With the win link, P(black wins) = logistic(scale * evaluation) instead (a draw
// counts half), fitted by iteratively reweighted least squares from the disc fit's answer; the
// ridge then counts a position at its typical weight of 1/5.
bool FitTable(const std::vector<Row>& rows, const Classes& classes, const Table& prior,
              const Options& o, Table& fitted) {
    std::vector<double> weight(rows.size(), 1.0), target(rows.size());
    for (size_t r = 0; r < rows.size(); ++r) target[r] = rows[r].label;
    std::vector<double> beta;
    if (!SolveWeighted(rows, weight, target, classes, prior, o.ridge, beta)) return false;
    if (o.winLink) {
        // From discs to log-odds: a margin of about 8 discs is taken as 3:1 odds to start.
        for (double& v : beta) v *= std::log(3.0) / 8.0;
        for (int iteration = 0; iteration < 8; ++iteration) {
            for (size_t r = 0; r < rows.size(); ++r) {
                const double eta = RowTerms(rows[r]).Dot(beta);
                const double p = 1.0 / (1.0 + std::exp(-eta));
                const double t = rows[r].label > 0 ? 1.0 : rows[r].label < 0 ? 0.0 : 0.5;
                weight[r] = std::max(p * (1 - p), 1e-6);
                target[r] = eta + (t - p) / weight[r];
            }
            if (!SolveWeighted(rows, weight, target, classes, prior, o.ridge / 5, beta))
                return false;
        }
    }
    fitted = prior;
    const FixedEntries& rules = TableRules();
    for (int index = 0; index < kEntries; ++index) {
        if (rules.fixed[index]) {
            fitted[index] = rules.value[index];
            continue;
        }
        const double value = classes.sign[index] * beta[1 + classes.of[index]] / beta[0];
        fitted[index] = std::clamp(RoundSymmetric(value), -kMaxValue, kMaxValue);
    }
    return true;
}

// The classes that moved most, weighted by how often the data sees them.
void PrintMoves(const std::vector<Row>& rows, const Classes& classes, const Table& before,
                const Table& after) {
    std::vector<long> seen(classes.first.size(), 0);
    for (const Row& r : rows) {
        for (int e = 0; e < 4; ++e) {
            if (r.cls[e] >= 0) ++seen[r.cls[e]];
        }
    }
    std::vector<int> order(classes.first.size());
    for (size_t c = 0; c < order.size(); ++c) order[c] = static_cast<int>(c);
    const auto weight = [&](int c) {
        return static_cast<double>(seen[c]) *
               std::abs(after[classes.first[c]] - before[classes.first[c]]);
    };
    std::stable_sort(order.begin(), order.end(),
                     [&](int x, int y) { return weight(x) > weight(y); });
    std::fprintf(stderr, "  moved most (edge: before -> after, times seen):\n");
    for (size_t i = 0; i < std::min<size_t>(10, order.size()); ++i) {
        const int index = classes.first[order[i]];
        const Edge e = EdgeAt(index);
        char text[kCells + 1] = {};
        for (int j = 0; j < kCells; ++j) text[j] = e[j] > 0 ? 'X' : e[j] < 0 ? 'O' : '.';
        std::fprintf(stderr, "    %s %5d -> %5d  %ld\n", text, before[index], after[index],
                     seen[order[i]]);
    }
}

// ---------------------------------------------------------------------------------------------
// The match between two tables

// Black's final disc difference: both sides search --match-depth plies with their own table;
// from --match-exact empty squares on the game is scored by perfect play.
int PlayMatchGame(const Options& o, const int32_t* blackTable, const int32_t* whiteTable, Game g) {
    while (g.ReadyToMove()) {
        if (g.Empty() <= o.matchExact) break;
        const int32_t* table = g.side > 0 ? blackTable : whiteTable;
        const std::vector<int> squares = Squares(LegalMoves(g.own, g.opp));
        const std::vector<int> values = MoveValues(table, g, squares, o.matchDepth);
        g.Play(squares[std::max_element(values.begin(), values.end()) - values.begin()]);
    }
    return SolveBlackView(g);
}

struct MatchResult {
    int wins = 0, draws = 0, losses = 0;
    double Score() const {
        const int games = wins + draws + losses;
        return games == 0 ? 0 : (wins + 0.5 * draws) / games;
    }
};

MatchResult PlayTableMatch(const Options& o, int round, const Table& newer, const Table& older) {
    const std::vector<int32_t> a(newer.begin(), newer.end()), b(older.begin(), older.end());
    std::vector<int> result(o.matchGames, 0);  // +1 newer wins, -1 loses
    Progress progress("round " + std::to_string(round) + ": match games", o.matchGames, 0);
    ParallelFor(
        o.matchGames, ThreadCount(o),
        [&](int i) {
            const int opening = i / 2;
            Random random(o.seed, static_cast<uint64_t>(round), kMatchStream,
                          static_cast<uint64_t>(opening));
            Game g;
            if (!PlayRandomOpening(g, o.randomPlies, random)) return;
            const bool newerBlack = i % 2 == 0;
            const int black = PlayMatchGame(o, newerBlack ? a.data() : b.data(),
                                            newerBlack ? b.data() : a.data(), g);
            const int forNewer = newerBlack ? black : -black;
            result[i] = forNewer > 0 ? 1 : forNewer < 0 ? -1 : 0;
        },
        [&] { progress.Step(""); });
    MatchResult m;
    for (int r : result) {
        if (r > 0)
            ++m.wins;
        else if (r < 0)
            ++m.losses;
        else
            ++m.draws;
    }
    return m;
}

bool ParseMatch(const std::string& text, MatchResult& m) {
    return std::sscanf(text.c_str(), "wins %d draws %d losses %d", &m.wins, &m.draws, &m.losses) ==
           3;
}

std::string MatchText(const MatchResult& m) {
    return "wins " + std::to_string(m.wins) + " draws " + std::to_string(m.draws) + " losses " +
           std::to_string(m.losses) + "\n";
}

// ---------------------------------------------------------------------------------------------
// The rounds

std::string TableComment(const Options& o) {
    return "// generated by tools/gen_edge_table; do not edit: build/native/bin/gen_edge_table "
           "learn --dir FOLDER " +
           ResultOptions(o) + " > engine/edge_table.inc";
}

bool PrepareFolder(const Options& o) {
    std::error_code error;
    fs::create_directories(o.dir, error);
    if (error) {
        std::fprintf(stderr, "gen_edge_table learn: cannot make %s: %s\n", o.dir.c_str(),
                     error.message().c_str());
        return false;
    }
    const fs::path optionsPath = fs::path(o.dir) / "options.txt";
    const std::string wanted = DataOptions(o) + "\n";
    std::string stored;
    if (ReadFile(optionsPath, stored)) {
        if (stored != wanted) {
            std::fprintf(stderr,
                         "gen_edge_table learn: %s was made with other options:\n  %s"
                         "use those, or another folder\n",
                         o.dir.c_str(), stored.c_str());
            return false;
        }
        std::fprintf(stderr, "gen_edge_table learn: continuing in %s\n", o.dir.c_str());
        return true;
    }
    if (!WriteFileAtomically(optionsPath, wanted)) {
        std::fprintf(stderr, "gen_edge_table learn: cannot write %s\n",
                     optionsPath.string().c_str());
        return false;
    }
    return true;
}

int Learn(const Options& o) {
    if (!PrepareFolder(o)) return 2;
    const Clock::time_point start = Clock::now();
    const Table rules = RuleTable();
    const Classes classes = MakeClasses();
    std::fprintf(stderr, "%zu free classes of edges, %d threads\n", classes.first.size(),
                 ThreadCount(o));
    std::vector<RoundData> rounds;
    Table current = rules;  // the last table that won its match
    for (int round = 1; round <= o.rounds; ++round) {
        std::error_code error;
        fs::create_directories(RoundDir(o, round), error);
        RoundData data;
        if (!MakeRoundData(o, current, round, data)) return 1;
        rounds.push_back(std::move(data));
        const std::vector<Row> rows = CollectRows(classes, rounds);
        const fs::path tablePath = RoundDir(o, round) / "table.inc";
        Table fitted;
        std::string text;
        if (ReadFile(tablePath, text)) {
            if (!ParseTableText(text, fitted)) {
                std::fprintf(stderr, "gen_edge_table learn: %s is damaged; delete it\n",
                             tablePath.string().c_str());
                return 1;
            }
        } else {
            if (!FitTable(rows, classes, rules, o, fitted)) {
                std::fprintf(stderr,
                             "round %d: the fit found no positive scale; keeping the table\n",
                             round);
                fitted = current;
            }
            if (!WriteFileAtomically(tablePath,
                                     TableText(fitted, "// round " + std::to_string(round))))
                return 1;
        }
        std::fprintf(stderr, "round %d: %zu distinct positions\n", round, rows.size());
        std::fprintf(stderr, "  fit error, table before: %s\n",
                     Describe(MeasureFit(rows, classes, current)).c_str());
        std::fprintf(stderr, "  fit error, new table:    %s\n",
                     Describe(MeasureFit(rows, classes, fitted)).c_str());
        PrintMoves(rows, classes, current, fitted);

        const fs::path matchPath = RoundDir(o, round) / "match.txt";
        MatchResult match;
        if (!ReadFile(matchPath, text) || !ParseMatch(text, match)) {
            match = PlayTableMatch(o, round, fitted, current);
            if (!WriteFileAtomically(matchPath, MatchText(match))) return 1;
        }
        const bool won = match.Score() > 0.5;
        std::fprintf(stderr,
                     "round %d: new table against the one before: %d wins, %d draws, %d losses, "
                     "%.1f %% (%s); %s so far\n",
                     round, match.wins, match.draws, match.losses, 100 * match.Score(),
                     won ? "kept" : "not better, stopping",
                     Duration(std::chrono::duration<double>(Clock::now() - start).count()).c_str());
        if (!won) break;
        current = fitted;
    }
    const std::string comment = TableComment(o);
    const std::string final = TableText(current, comment);
    if (!WriteFileAtomically(fs::path(o.dir) / "edge_table.inc", final)) return 1;
    std::fwrite(final.data(), 1, final.size(), stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
}

}  // namespace

int LearnCommand(int argc, char** argv) {
    Options o;
    if (!ParseOptions(argc, argv, o)) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    return Learn(o);
}

}  // namespace edges
