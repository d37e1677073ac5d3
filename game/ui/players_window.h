// The players window ("SetGameWnd", 対局者設定): who plays each colour, the names and the
// computer's three depths. It copies the settings into its controls, lets the preset and swap
// buttons change only what the controls show, and stores the controls back on OK alone. What
// the controls mean is decided by the portable PlayerDialog; this window only moves that state
// in and out of its controls.
#ifndef TAVIK_GAME_UI_PLAYERS_WINDOW_H
#define TAVIK_GAME_UI_PLAYERS_WINDOW_H

#include <windows.h>

#include <array>
#include <functional>
#include <optional>

#include "aux_window.h"
#include "game_record.h"
#include "id_checks.h"
#include "modal_windows.h"
#include "player_dialog.h"
#include "player_settings.h"

namespace tavik::ui {

// What the players window changes besides its own controls: the players of the settings, and
// with them the names in the game's record.
class PlayersHost {
public:
    virtual PlayerSettings& Player(int side) = 0;  // 1 black, -1 white
    // As the game is changed from the user-interface thread: stopped, the move on its way
    // landed, then `change(board, record)`; false when the change was refused.
    virtual bool ChangeGame(const std::function<void(BoardState&, GameRecord&)>& change) = 0;

protected:
    ~PlayersHost() = default;
};

// Every control of the window, by ID. The controls of one colour are at fixed offsets from its
// group box (offset 0), kSideControlCount of them in a row.
constexpr int kBlackGroupId = 1008;
constexpr int kWhiteGroupId = 1023;
constexpr int kSideControlCount = 15;
enum PlayerControlOffset {
    kHumanOffset = 1,
    kComputerOffset = 2,
    kNameOffset = 4,
    kNormalDepthOffset = 7,
    kWinDepthOffset = 9,
    kPerfectDepthOffset = 11,
    kWeakOffset = 12,
    kNormalOffset = 13,
    kStrongOffset = 14,
};
constexpr int kSwapButtonId = 1038;
constexpr int kPlayersOkId = 1000;
constexpr int kPlayersCancelId = 1005;
// Both colours' runs, the three buttons below them, and IDOK, which the dialog keyboard sends
// for Return (it presses the focused button) and so is no control's.
inline constexpr auto kPlayersControlIds = [] {
    std::array<int, 2 * kSideControlCount + 4> ids{};
    size_t next = 0;
    for (int group : {kBlackGroupId, kWhiteGroupId})
        for (int offset = 0; offset < kSideControlCount; ++offset) ids[next++] = group + offset;
    for (int id : {kSwapButtonId, kPlayersOkId, kPlayersCancelId, IDOK}) ids[next++] = id;
    return ids;
}();
static_assert(AllDifferent(kPlayersControlIds.data(), kPlayersControlIds.size()),
              "two controls of the players window share an ID");

class PlayersWindow {
public:
    // Makes the window and fills it from the settings. The object lives as long as the window.
    static HWND Create(AuxWindowHost& frame, PlayersHost& players);

private:
    PlayersWindow(AuxWindowHost& frame, PlayersHost& players) : frame_(frame), players_(players) {}
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void Initialise();
    void OnButton(UINT id);
    HWND Item(int group, int offset) const { return GetDlgItem(window_, group + offset); }
    // The radios and the list selections of both colours (not the names).
    void ShowChoices(const PlayerDialog& dialog);
    PlayerDialog Read() const;

    AuxWindowHost& frame_;
    PlayersHost& players_;
    HWND window_ = nullptr;
    std::optional<ModalKeyboard> keyboard_;  // from Initialise to WM_DESTROY
};

}  // namespace tavik::ui

#endif
