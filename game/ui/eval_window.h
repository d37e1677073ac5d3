// The evaluation window ("EvalWnd"): the list of every legal move with its value, for the four
// analyses of the study menu (evaluation, openness, win/loss and perfect search). The analysis
// runs on a thread of its own, spread over the processors; the caption shows its progress; a
// double click on a row during a game plays that move.
#ifndef TAVIK_GAME_UI_EVAL_WINDOW_H
#define TAVIK_GAME_UI_EVAL_WINDOW_H

#include <windows.h>

#include <atomic>
#include <mutex>
#include <optional>
#include <vector>

#include "aux_window.h"
#include "commands.h"
#include "id_checks.h"
#include "modal_windows.h"
#include "ostrakon.h"
#include "player_settings.h"
#include "study_host.h"
#include "worker_threads.h"

namespace tavik::ui {

// Every control of the window, by ID. IDOK is among them because the dialog keyboard sends it
// for Return, which presses the focused button (PressedButton): no control may take its number.
constexpr int kEvalListId = 1004;
constexpr int kEvalCloseId = 1005;
inline constexpr int kEvalControlIds[] = {IDOK, kEvalListId, kEvalCloseId};
static_assert(AllDifferent(kEvalControlIds), "two controls of the evaluation window share an ID");

class EvalWindow {
public:
    // Makes the window for the study `mode` and starts its analysis. The object lives as long
    // as the window.
    static HWND Create(AuxWindowHost& frame, StudyHost& game, StudyMode mode);

private:
    EvalWindow(AuxWindowHost& frame, StudyHost& game, StudyMode mode)
        : frame_(frame), game_(game), mode_(mode) {}
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static DWORD WINAPI Analyse(void* self);
    void Initialise();
    void Play(int row);
    void Close();

    AuxWindowHost& frame_;
    StudyHost& game_;
    const StudyMode mode_;
    HWND window_ = nullptr;
    HWND list_ = nullptr;
    HWND close_ = nullptr;
    // Taken on the user-interface thread when the window opens; the search thread reads these.
    StudyDepths depths_;
    int priority_ = 0;
    SearchThread search_;
    std::mutex rowsLock_;
    std::vector<ThinkResult> rows_;          // as the list shows them, once the analysis is done
    std::optional<ModalKeyboard> keyboard_;  // from Initialise to WM_DESTROY
};

}  // namespace tavik::ui

#endif
