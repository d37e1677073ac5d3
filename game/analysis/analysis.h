// The study functions on the current position, without windows: the best move, and the
// analyses of every legal move (evaluation, win/loss, perfect search, openness) with their
// order, captions and texts (code page 932). The windows only start them on a thread and show
// what they answer.
//
// Each legal move of an analysis is searched on its own copy of the board by its own engine
// call, so the moves may be spread over threads: the rows, their order, values and node counts
// are the same for any number of threads.
#ifndef TAVIK_GAME_ANALYSIS_ANALYSIS_H
#define TAVIK_GAME_ANALYSIS_ANALYSIS_H

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "commands.h"
#include "ostrakon.h"
#include "player_settings.h"
#include "search_cancel.h"

namespace tavik {

// "評価値算出", "開放度算出", "必勝探索" or "完全探索": the window's caption once the list is there.
std::string StudyTitle(StudyMode mode);
// The heading of the value column: "開放度" for openness, else "評価値".
std::string ValueHeading(StudyMode mode);
// The caption while `cell` is analysed: "評価値算出 F5を探索中...(深さ6)"; openness shows no depth.
std::string MoveCaption(StudyMode mode, int cell, int depth);

// The legal moves of the side to move, in ascending cell order: the rows an analysis makes.
std::vector<int> LegalMoves(const BoardState& board);

// The analysis of one legal move `cell` of `board`: the mode's step on a copy of the board,
// searched again from the opponent-passed position when the opponent must pass, and the final
// disc difference beyond +-OSTRAKON_VALUE_WIN (a draw 0) when the move ends the game.
// `caption` hears the text of each search before it starts; `progress` is handed to the
// engine. Openness rows have 0 nodes. Nothing when a search was ended early (cancelled): its
// value was never computed.
// An evaluation depth of 1 still searches one ply after the move: the engine would take 0 for
// its win/loss search, which at the start of a game would not end.
std::optional<ThinkResult> AnalyseMove(const BoardState& board, int cell, StudyMode mode, const StudyDepths& depths,
                                       const std::function<void(const std::string&)>& caption,
                                       ProgressCallback progress);

// Best first for the side to move (`side`): a larger value for black, a smaller one for
// white; openness smallest first for both. A bubble sort that exchanges only on a strictly
// better successor, so equal values keep the ascending cell order.
void SortRows(std::vector<ThinkResult>& rows, StudyMode mode, int side);

struct AnalysisOptions {
    StudyMode mode = StudyMode::kEvaluate;
    StudyDepths depths;
    int threads = 1;  // at most one per legal move is used
    // The caption of the move a thread has just started; from the analysing threads.
    std::function<void(const std::string&)> caption;
    // Runs first on every thread that analyses (the window gives them its priority).
    std::function<void()> threadStarted;
};

// Every legal move analysed, then sorted: the rows of the list. Nothing when `cancel` was
// cancelled (its searches under way end, and no further one starts) or a search ended early:
// an unfinished search never becomes a row.
std::optional<std::vector<ThinkResult>> AnalyseAllMoves(const BoardState& board, const AnalysisOptions& options,
                                                        SearchCancel& cancel);

// The best-move search: the normal search of the study depth, or the perfect search once the
// empty squares are no more than the study's perfect depth; the depth its text shows.
struct BestMovePlan {
    int32_t engineDepth;  // Think's depth: the study depth, or -1 for the perfect search
    int shownDepth;       // the study depth, or the empty squares
};
BestMovePlan PlanBestMove(const BoardState& board, const StudyDepths& depths);
std::string BestMoveSearchingText(const BestMovePlan& plan);  // "最善手探索中...(深さ7)"
// The engine's answer, searched even when only one move is legal; nothing when `cancel` was set.
std::optional<ThinkResult> FindBestMove(const BoardState& board, const StudyDepths& depths, SearchCancel& cancel);
// "最善手はF5です", CR LF, "評価値:" and the value; or "着手可能点がありません" when there is no move.
std::string BestMoveText(const ThinkResult& result);

}  // namespace tavik

#endif
