// The hint search: AnalyseAllMoves run again and again on one position, each pass deeper.
//
// The plan. The first pass must answer at once, the last is the evaluation window's own search
// (the normal search of the study depth, or the perfect search when the empty squares are
// within the study's perfect depth). Between them the normal search steps two plies at a time
// and keeps the parity of the study depth: an evaluation after an odd number of plies leans
// one way and after an even number the other (at the start the four moves read -10, 30, 0,
// 20, -3, 20 for 2..7 plies), so values of the study depth's parity only sharpen as the passes
// deepen, where every depth would make them jump up and down. The shallowest pass is 3 plies
// (2 for an even depth): natively below a millisecond at the start and in a middle game, so
// even a slow machine shows values within the repaint. Before a perfect search the normal
// passes stop short of the end of the game: a normal search that reaches every end is a
// slower perfect search.
//
// The passes' normal searches are run with no perfect depth, so a pass of depth d searches d
// plies even in the endgame: with the study's perfect depth the analysis would turn it into
// the perfect search. Where the study depth is searched normally the two are the same search.
//
// Threads. One worker per object takes one job at a time; a Start replaces the job waiting and
// cancels the one running, which ends within a thousand positions, so a burst of Starts runs
// only the last. Each job has its own SearchCancel: a Start cancels the searches of this
// object and no one else's. A pass runs on as many threads as the analyses of the study
// windows (every processor), and its engine searches join the engine's one budget of helper
// threads in the same way; the helpers take the priority of the thread that searches, which
// the threadStarted hook sets.
//
// The invariant that the window relies on: a pass is delivered only under the lock, and only
// if its generation is still the current one. A Start or Stop changes the generation under the
// same lock, so once it has returned no pass of an older generation is, or will be, delivered.
#include "hint_search.h"

#include <algorithm>
#include <system_error>
#include <utility>

#include "board_functions.h"
#include "ostrakon_value.h"
#include "texts.h"

namespace tavik {

std::vector<HintPass> PlanHintPasses(int emptySquares, const StudyDepths& depths) {
    const int study = std::max(1, depths.normalDepth);
    const bool exact = emptySquares <= depths.perfectDepth;
    // a normal search of the empty squares or more ends every line: the perfect pass does that
    const int deepest = exact ? std::min(study, emptySquares - 1) : study;
    std::vector<HintPass> passes;
    for (int depth = std::min(study % 2 == 1 ? 3 : 2, study); depth <= deepest; depth += 2)
        passes.push_back({HintKind::kEvaluation, depth});
    if (exact) passes.push_back({HintKind::kExact, emptySquares});
    return passes;
}

AnalysisOptions HintPassOptions(const HintPass& pass) {
    AnalysisOptions options;
    if (pass.kind == HintKind::kExact) {
        options.mode = StudyMode::kPerfect;
    } else {
        options.mode = StudyMode::kEvaluate;
        options.depths.normalDepth = pass.depth;
        options.depths.perfectDepth = 0;  // d plies, even where the study would search perfectly
    }
    return options;
}

HintSearch::HintSearch(Options options) : options_(std::move(options)) {}

HintSearch::~HintSearch() {
    {
        std::lock_guard<std::mutex> hold(lock_);
        quit_ = true;
        CancelUnderLock();
    }
    wake_.notify_all();
    if (worker_.joinable()) worker_.join();
}

void HintSearch::CancelUnderLock() {
    ++generation_;
    pending_.reset();
    latest_.reset();
    if (running_) running_->Cancel();
}

uint64_t HintSearch::Start(const BoardState& board, const StudyDepths& depths) {
    std::lock_guard<std::mutex> hold(lock_);
    CancelUnderLock();
    if (!worker_.joinable()) {
        try {
            worker_ = std::thread([this] { Work(); });
        } catch (const std::system_error&) {
            return 0;
        }
    }
    std::vector<HintPass> passes;
    if (!LegalMoves(board).empty()) passes = PlanHintPasses(CountCells(board, 0), depths);
    pending_ = Job{generation_, board, std::move(passes)};
    wake_.notify_one();
    return generation_;
}

void HintSearch::Stop() {
    std::unique_lock<std::mutex> hold(lock_);
    CancelUnderLock();
    idle_.wait(hold, [this] { return !busy_; });
}

std::optional<HintPassResult> HintSearch::Latest() const {
    std::lock_guard<std::mutex> hold(lock_);
    return latest_;
}

void HintSearch::Work() {
    std::unique_lock<std::mutex> hold(lock_);
    for (;;) {
        wake_.wait(hold, [this] { return quit_ || pending_.has_value(); });
        if (quit_) return;
        const Job job = std::move(*pending_);
        pending_.reset();
        SearchCancel cancel;
        running_ = &cancel;
        busy_ = true;
        for (size_t i = 0; i < job.passes.size() && !cancel; ++i) {
            hold.unlock();  // Start and Stop need the lock while the pass searches
            AnalysisOptions options = HintPassOptions(job.passes[i]);
            options.threads = options_.threads;
            options.threadStarted = options_.threadStarted;
            if (options.threads < 1)
                options.threads =
                    static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
            std::optional<std::vector<ThinkResult>> rows =
                AnalyseAllMoves(job.board, options, cancel);
            if (rows && options_.passEnded) options_.passEnded();
            hold.lock();
            if (!rows || job.generation != generation_) break;
            latest_ = HintPassResult{job.generation, job.passes[i], i + 1 == job.passes.size(),
                                     std::move(*rows)};
            if (options_.delivered) options_.delivered(*latest_);
        }
        running_ = nullptr;
        busy_ = false;
        idle_.notify_all();
    }
}

std::string HintValueText(HintKind kind, int32_t value) {
    const ostrakon::ValueMeaning meaning = ostrakon::ReadValue(value);
    if (kind == HintKind::kExact) {
        switch (meaning.kind) {
            case ostrakon::ValueMeaning::kBlackWins:
                return "+" + std::to_string(meaning.amount);
            case ostrakon::ValueMeaning::kWhiteWins:
                return "-" + std::to_string(meaning.amount);
            case ostrakon::ValueMeaning::kDraw:
                return "0";
            case ostrakon::ValueMeaning::kNumber:
                break;  // 0: a move that ends the game drawn
        }
        return (value > 0 ? "+" : "") + std::to_string(value);
    }
    // FormatValue's "黒12石勝ち" is about 60 pixels wide in a 12-pixel font: the square has 50.
    const std::string amount = meaning.amount ? std::to_string(meaning.amount) : "";
    switch (meaning.kind) {
        case ostrakon::ValueMeaning::kBlackWins:
            return "黒" + amount + "勝";
        case ostrakon::ValueMeaning::kWhiteWins:
            return "白" + amount + "勝";
        case ostrakon::ValueMeaning::kDraw:
            return "引分";
        case ostrakon::ValueMeaning::kNumber:
            break;
    }
    return FormatValue(value);
}

std::vector<HintSquare> HintSquares(const HintPass& pass, const std::vector<ThinkResult>& rows) {
    std::vector<HintSquare> squares;
    for (const ThinkResult& row : rows)
        squares.push_back({row.move, row.value, HintValueText(pass.kind, row.value),
                           pass.kind == HintKind::kExact, squares.empty()});
    return squares;
}

}  // namespace tavik
