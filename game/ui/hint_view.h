// The move values on the board, as the main window runs them: one HintSearch, the position it
// searches and the squares of its latest pass for the board painter. The search runs at the
// lowest priority and only says that a pass arrived, by a message posted to the window; the
// window decides (on its own thread) when to start it and paints what SquaresFor answers.
#ifndef TAVIK_GAME_UI_HINT_VIEW_H
#define TAVIK_GAME_UI_HINT_VIEW_H

#include <windows.h>

#include <atomic>
#include <mutex>
#include <optional>
#include <vector>

#include "hint_search.h"
#include "ostrakon.h"
#include "player_settings.h"

namespace tavik::ui {

class HintView {
public:
    HintView();

    // Where each pass is announced: `message` is posted to `window` (null: nowhere).
    void Attach(HWND window, UINT message);

    // User-interface thread: searches `board` unless the search of this very position with
    // these depths already runs or ran, so a repaint of the same position keeps its values.
    void Show(const BoardState& board, const StudyDepths& depths);
    // Any thread: cancels the search and answers once it has ended; no value shows after it.
    void Stop();

    // Any thread: the squares of the latest complete pass if it belongs to `board`, else none,
    // so a repaint of a position the search has not been started for yet shows no value.
    std::vector<HintSquare> SquaresFor(const BoardState& board) const;

    // Tests: whether a search of `board` was started (and not stopped since), and the passes
    // delivered so far in this object's life.
    bool Searching(const BoardState& board) const;
    bool Finished(const BoardState& board) const;  // its last pass is in
    int PassesDelivered() const { return delivered_; }

private:
    mutable std::mutex lock_;  // taken before the search's own lock, never after it
    std::optional<BoardState> board_;
    StudyDepths depths_;
    uint64_t generation_ = 0;
    std::atomic<HWND> window_{nullptr};
    std::atomic<UINT> message_{0};
    std::atomic<int> delivered_{0};
    HintSearch search_;  // last: its worker ends before the members it posts with
};

}  // namespace tavik::ui

#endif
