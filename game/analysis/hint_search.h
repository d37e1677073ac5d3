// Values on the board: the value of every legal move of the position shown, searched in the
// background pass after pass, each pass deeper, and what each square shows of the latest
// complete pass. The window only starts, stops and draws; the values are AnalyseAllMoves' rows.
#ifndef TAVIK_GAME_ANALYSIS_HINT_SEARCH_H
#define TAVIK_GAME_ANALYSIS_HINT_SEARCH_H

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "analysis.h"
#include "ostrakon.h"
#include "player_settings.h"
#include "search_cancel.h"

namespace tavik {

enum class HintKind { kEvaluation, kExact };

// One pass over every legal move: the normal search of a study depth `depth` (plies, the move
// included), or the perfect search (`depth` is then the empty squares).
struct HintPass {
    HintKind kind;
    int depth;
};

// The passes for a position with `emptySquares` empty squares and the side to move's study
// depths, quickest first, the study's own search last.
std::vector<HintPass> PlanHintPasses(int emptySquares, const StudyDepths& depths);

// The analysis that a pass is: its mode and depths (threads and hooks left at their defaults).
AnalysisOptions HintPassOptions(const HintPass& pass);

// A complete pass, as AnalyseAllMoves sorted it: best first for the side to move.
struct HintPassResult {
    uint64_t generation;  // of the Start that asked for it
    HintPass pass;
    bool last;  // no deeper pass follows
    std::vector<ThinkResult> rows;
};

// Runs the passes of one position at a time on a worker thread of its own. Start and Stop may
// be called from any thread, but not from the delivery.
class HintSearch {
public:
    struct Options {
        int threads = 0;  // AnalyseAllMoves' threads per pass; 0: every processor
        // Runs first on every thread that searches for a pass (the window lowers its priority).
        std::function<void()> threadStarted;
        // Each complete pass of the current generation, on the worker thread, under the
        // search's lock: it must not call this object, nor wait for a thread that may be
        // calling it (post to a window, never send).
        std::function<void(const HintPassResult&)> delivered;
        // Tests: runs on the worker between the end of a pass and its delivery, without the
        // lock, so a test can make a Start come exactly then.
        std::function<void()> passEnded;
    };

    explicit HintSearch(Options options);
    ~HintSearch();
    HintSearch(const HintSearch&) = delete;
    HintSearch& operator=(const HintSearch&) = delete;

    // Cancels whatever runs and searches `board` instead; answers the new generation, or 0 when
    // no worker thread could be made. A position without a legal move gets no pass.
    uint64_t Start(const BoardState& board, const StudyDepths& depths);
    // Cancels whatever runs and answers once none of this object's searches runs any more.
    void Stop();
    // The latest complete pass of the current generation, if any.
    std::optional<HintPassResult> Latest() const;

private:
    struct Job {
        uint64_t generation;
        BoardState board;
        std::vector<HintPass> passes;
    };

    void CancelUnderLock();
    void Work();

    const Options options_;
    mutable std::mutex lock_;
    std::condition_variable wake_;  // a job came, or the object is ending
    std::condition_variable idle_;  // the worker finished a job
    uint64_t generation_ = 0;
    std::optional<Job> pending_;
    SearchCancel* running_ = nullptr;  // the worker's job's, while it runs
    bool busy_ = false;
    bool quit_ = false;
    std::optional<HintPassResult> latest_;
    std::thread worker_;
};

// What one square shows: the text of its value (code page 932), drawn bold when exact; the
// best move of the pass is marked.
struct HintSquare {
    int cell;
    int32_t value;  // the row's value, black's point of view
    std::string text;
    bool exact;
    bool best;
};

// The value as a square shows it: exact values as black's final disc difference ("+6", "-2",
// "0"); evaluations as FormatValue writes them, a result seen by the normal search shortened
// to fit ("黒12勝", "白3勝", "引分").
std::string HintValueText(HintKind kind, int32_t value);

// The squares of a complete pass, in its order: the first is the best.
std::vector<HintSquare> HintSquares(const HintPass& pass, const std::vector<ThinkResult>& rows);

}  // namespace tavik

#endif
