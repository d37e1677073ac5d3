#include "analysis.h"

#include <algorithm>
#include <atomic>
#include <mutex>
#include <system_error>
#include <thread>

#include "board_functions.h"
#include "ostrakon_value.h"
#include "texts.h"

namespace tavik {

namespace {

// The engine's progress callback: passes on a cancel request that came just before the
// search began, which the engine did not yet know of.
void OSTRAKON_CALL Progress(const char*) { SearchCancel::PassOn(); }

// A search's depth never below one ply: the engine takes 0 for its win/loss search.
int32_t AtLeastOnePly(int32_t depth) { return depth < 1 ? 1 : depth; }

// The final disc difference of a position nobody can move in, as the engine writes a won
// game; a drawn one is 0 here, not the engine's draw value.
int32_t FinalResult(const BoardState& board) {
    const int32_t difference = CountCells(board, 1) - CountCells(board, -1);
    if (difference == 0) return 0;
    return difference > 0 ? difference + OSTRAKON_VALUE_WIN : difference - OSTRAKON_VALUE_WIN;
}

}  // namespace

std::string StudyTitle(StudyMode mode) {
    switch (mode) {
    case StudyMode::kEvaluate: return "評価値算出";
    case StudyMode::kOpenness: return "開放度算出";
    case StudyMode::kWinLoss: return "必勝探索";
    case StudyMode::kPerfect: return "完全探索";
    }
    return "";
}

std::string ValueHeading(StudyMode mode) { return mode == StudyMode::kOpenness ? "開放度" : "評価値"; }

std::string MoveCaption(StudyMode mode, int cell, int depth) {
    std::string text = StudyTitle(mode) + " " + SquareName(cell) + "を探索中...";
    if (mode != StudyMode::kOpenness) text += "(深さ" + std::to_string(depth) + ")";
    return text;
}

std::vector<int> LegalMoves(const BoardState& board) {
    std::vector<int> moves;
    for (int cell = 10; cell <= 80; ++cell)
        if (CanDrop(&board, cell)) moves.push_back(cell);
    return moves;
}

std::optional<ThinkResult> AnalyseMove(const BoardState& board, int cell, StudyMode mode, const StudyDepths& depths,
                                       const std::function<void(const std::string&)>& caption,
                                       ProgressCallback progress) {
    BoardState copy = board;
    ThinkResult result{cell, 0, 0};
    if (mode == StudyMode::kOpenness) {
        if (caption) caption(MoveCaption(mode, cell, 0));
        result.value = GetOpenness(&copy, cell);
        return result;
    }
    ReverseStones(&copy, cell);
    const int empty = CountCells(copy, 0);
    int32_t engineDepth;
    int shownDepth = empty;
    switch (mode) {
    case StudyMode::kWinLoss: engineDepth = 0; break;
    case StudyMode::kPerfect: engineDepth = -1; break;
    default:
        // One ply is played already: D - 1 more make a search of D plies in all, and the perfect
        // search begins where the position before the move had at most P empty squares.
        if (empty > depths.perfectDepth - 1) {
            engineDepth = AtLeastOnePly(depths.normalDepth - 1);
            shownDepth = engineDepth;
        } else {
            engineDepth = -1;
        }
        break;
    }
    // A search that was ended early leaves the result as it was: no value to show.
    const auto search = [&] {
        if (caption) caption(MoveCaption(mode, cell, shownDepth));
        return Think(&copy, engineDepth, &result, -1, progress) != 0;
    };
    if (!search()) return std::nullopt;
    if (ostrakon::IsNoMoveValue(result.value)) {
        copy.sideToMove = -copy.sideToMove;  // the opponent must pass
        if (!search()) return std::nullopt;
        if (ostrakon::IsNoMoveValue(result.value)) result.value = FinalResult(copy);
    }
    result.move = cell;
    return result;
}

void SortRows(std::vector<ThinkResult>& rows, StudyMode mode, int side) {
    const auto better = [mode, side](int32_t later, int32_t earlier) {
        if (mode == StudyMode::kOpenness) return later < earlier;
        return side == 1 ? later > earlier : later < earlier;
    };
    const size_t n = rows.size();
    for (size_t pass = 0; pass < n; ++pass)
        for (size_t j = 0; j + 1 < n; ++j)
            if (better(rows[j + 1].value, rows[j].value)) std::swap(rows[j], rows[j + 1]);
}

std::optional<std::vector<ThinkResult>> AnalyseAllMoves(const BoardState& board, const AnalysisOptions& options,
                                                        SearchCancel& cancel) {
    const std::vector<int> moves = LegalMoves(board);
    std::vector<ThinkResult> rows(moves.size());
    std::atomic<bool> unfinished{false};  // a search ended early: the rows are not all there
    std::atomic<size_t> next{0};
    // Captions one at a time, so the last one shown names the move started last.
    std::mutex captionLock;
    const std::function<void(const std::string&)> caption = [&](const std::string& text) {
        if (!options.caption) return;
        std::lock_guard<std::mutex> lock(captionLock);
        options.caption(text);
    };
    const auto work = [&] {
        const SearchCancel::Scope scope(cancel);
        if (options.threadStarted) options.threadStarted();
        for (size_t i; !cancel && !unfinished && (i = next++) < moves.size();) {
            if (const auto row = AnalyseMove(board, moves[i], options.mode, options.depths, caption, Progress))
                rows[i] = *row;
            else
                unfinished = true;
        }
    };
    const size_t threads = std::clamp<size_t>(options.threads < 1 ? 1 : options.threads, 1,
                                              moves.empty() ? 1 : moves.size());
    std::vector<std::thread> helpers;
    for (size_t t = 1; t < threads; ++t) {
        try {
            helpers.emplace_back(work);
        } catch (const std::system_error&) {
            break;  // fewer threads: the same rows, later
        }
    }
    work();
    for (std::thread& helper : helpers) helper.join();
    if (cancel || unfinished) return std::nullopt;
    SortRows(rows, options.mode, board.sideToMove);
    return rows;
}

BestMovePlan PlanBestMove(const BoardState& board, const StudyDepths& depths) {
    const int empty = CountCells(board, 0);
    if (empty > depths.perfectDepth) {
        const int32_t depth = AtLeastOnePly(depths.normalDepth);
        return {depth, depth};
    }
    return {-1, empty};
}

std::string BestMoveSearchingText(const BestMovePlan& plan) {
    return "最善手探索中...(深さ" + std::to_string(plan.shownDepth) + ")";
}

std::optional<ThinkResult> FindBestMove(const BoardState& board, const StudyDepths& depths, SearchCancel& cancel) {
    const SearchCancel::Scope scope(cancel);
    ThinkResult result{0, 0, 0};
    if (cancel) return std::nullopt;
    const bool finished = Think(&board, PlanBestMove(board, depths).engineDepth, &result, -1, Progress) != 0;
    if (!finished || cancel) return std::nullopt;
    return result;
}

std::string BestMoveText(const ThinkResult& result) {
    if (result.move == 0) return "着手可能点がありません";
    return "最善手は" + SquareName(result.move) + "です\r\n評価値:" + FormatValue(result.value);
}

}  // namespace tavik
