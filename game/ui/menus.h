// The menu bar with its eight popups, and the accelerator table, both built in code: the
// program's resources hold only pictures.
#ifndef TAVIK_GAME_UI_MENUS_H
#define TAVIK_GAME_UI_MENUS_H

#include <windows.h>

#include "gdi.h"

namespace tavik::ui {

// The menu bar. Its states may be changed from any thread (a thinking computer greys the study
// commands); it is built and destroyed on the user-interface thread.
class MenuBar {
public:
    enum Popup { kGame, kStudy, kSettings, kPriority, kBoard, kStone, kView, kHelp, kPopupCount };

    void Build();
    void Destroy();  // the bar and every popup in it
    HMENU Bar() const { return bar_.get(); }
    HMENU PopupMenu(Popup popup) const { return popups_[popup]; }

    // Through the helper DLL, which replaces the item's whole state: checking also makes a
    // greyed item usable, which is what every check item of the game wants.
    void SetChecked(UINT id, bool checked);
    void SetEnabled(UINT id, bool enabled);
    void SetStudyEnabled(bool enabled);  // the five study commands
    // The radio mark of a group (priority, board or stone design) on `id`.
    void SetRadio(UINT first, UINT last, UINT id);

private:
    OwnedMenu bar_;
    HMENU popups_[kPopupCount] = {};  // owned through the bar
};

OwnedAccelerators BuildAccelerators();

}  // namespace tavik::ui

#endif
