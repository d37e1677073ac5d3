// The best-move window ("BestMoveWnd"): the engine's best move for the position shown, searched
// with the study depths on a thread of its own; during a game "着手" plays it.
#ifndef TAVIK_GAME_UI_BEST_MOVE_WINDOW_H
#define TAVIK_GAME_UI_BEST_MOVE_WINDOW_H

#include <windows.h>

#include <atomic>
#include <mutex>
#include <optional>

#include "aux_window.h"
#include "id_checks.h"
#include "modal_windows.h"
#include "ostrakon.h"
#include "player_settings.h"
#include "study_host.h"
#include "worker_threads.h"

namespace tavik::ui {

// Every control of the window, by ID, with IDOK for Return (as in the evaluation window).
constexpr int kBestMoveCloseId = 1005;
constexpr int kPlayButtonId = 1006;
constexpr int kBestMoveTextId = 1007;
inline constexpr int kBestMoveControlIds[] = {IDOK, kBestMoveCloseId, kPlayButtonId,
                                              kBestMoveTextId};
static_assert(AllDifferent(kBestMoveControlIds),
              "two controls of the best-move window share an ID");

class BestMoveWindow {
public:
    // Makes the window and starts its search. The object lives as long as the window.
    static HWND Create(AuxWindowHost& frame, StudyHost& game);

private:
    BestMoveWindow(AuxWindowHost& frame, StudyHost& game) : frame_(frame), game_(game) {}
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static DWORD WINAPI Search(void* self);
    void Initialise();
    void Play();
    void Close();

    AuxWindowHost& frame_;
    StudyHost& game_;
    HWND window_ = nullptr;
    HWND text_ = nullptr;
    HWND play_ = nullptr;
    HWND close_ = nullptr;
    // Taken on the user-interface thread when the window opens; the search thread reads these.
    StudyDepths depths_;
    int priority_ = 0;
    SearchThread search_;
    std::mutex resultLock_;
    ThinkResult result_{0, 0, 0};            // the answer, once the search is done
    std::optional<ModalKeyboard> keyboard_;  // from Initialise to WM_DESTROY
};

}  // namespace tavik::ui

#endif
