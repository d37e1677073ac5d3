#include "hint_view.h"

#include <cstring>

namespace tavik::ui {

namespace {

bool SamePosition(const BoardState& a, const BoardState& b) {
    return a.sideToMove == b.sideToMove && std::memcmp(a.cells, b.cells, sizeof a.cells) == 0;
}

bool SameDepths(const StudyDepths& a, const StudyDepths& b) {
    return a.normalDepth == b.normalDepth && a.winDepth == b.winDepth &&
           a.perfectDepth == b.perfectDepth;
}

}  // namespace

HintView::HintView()
    : search_(HintSearch::Options{
          0,
          // The engine's helper threads take the priority of the thread that searches, so the
          // whole pass yields to the computer player and to a study window.
          [] { SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_IDLE); },
          // Under the search's lock: post only. A message sent here could wait for the
          // window's thread while it waits for this lock in Start or Stop.
          [this](const HintPassResult&) {
              ++delivered_;
              if (HWND window = window_.load()) PostMessageA(window, message_.load(), 0, 0);
          },
          nullptr}) {}

void HintView::Attach(HWND window, UINT message) {
    message_ = message;
    window_ = window;
}

void HintView::Show(const BoardState& board, const StudyDepths& depths) {
    std::lock_guard<std::mutex> hold(lock_);
    if (board_ && SamePosition(*board_, board) && SameDepths(depths_, depths)) return;
    generation_ = search_.Start(board, depths);
    if (generation_ == 0) {
        board_.reset();  // no worker thread: the board stays without values
        return;
    }
    board_ = board;
    depths_ = depths;
}

void HintView::Stop() {
    std::lock_guard<std::mutex> hold(lock_);
    search_.Stop();
    board_.reset();
}

std::vector<HintSquare> HintView::SquaresFor(const BoardState& board) const {
    std::lock_guard<std::mutex> hold(lock_);
    if (!board_ || !SamePosition(*board_, board)) return {};
    const std::optional<HintPassResult> latest = search_.Latest();
    // A pass of the generation before the last Start (the Start clears Latest, but a pass may
    // be read between that and this object's record of the new generation) is not shown.
    if (!latest || latest->generation != generation_) return {};
    return HintSquares(latest->pass, latest->rows);
}

bool HintView::Finished(const BoardState& board) const {
    std::lock_guard<std::mutex> hold(lock_);
    if (!board_ || !SamePosition(*board_, board)) return false;
    const std::optional<HintPassResult> latest = search_.Latest();
    return latest && latest->generation == generation_ && latest->last;
}

bool HintView::Searching(const BoardState& board) const {
    std::lock_guard<std::mutex> hold(lock_);
    return board_ && SamePosition(*board_, board);
}

}  // namespace tavik::ui
