// Numbers that must differ within their table, checked by the compiler: each window's control
// IDs (GetDlgItem and WM_COMMAND ask one window at a time, so the same number in two windows is
// harmless, but two controls of one window with one number answer as one), the menu commands,
// and the resources.
#ifndef TAVIK_GAME_UI_ID_CHECKS_H
#define TAVIK_GAME_UI_ID_CHECKS_H

#include <cstddef>

#include "resource_ids.h"

namespace tavik::ui {

// True when no two of the `count` numbers at `ids` are equal.
template <class T>
constexpr bool AllDifferent(const T* ids, size_t count) {
    for (size_t i = 0; i < count; ++i)
        for (size_t j = i + 1; j < count; ++j)
            if (ids[i] == ids[j]) return false;
    return true;
}

template <class T, size_t N>
constexpr bool AllDifferent(const T (&ids)[N]) {
    return AllDifferent(ids, N);
}

// The resources are kept as one numbering, pictures and icons alike.
inline constexpr int kResourceIds[] = {
    IDB_BOARD_GREEN,      IDB_STONE_GO_BLACK,   IDB_STONE_GO_WHITE, IDB_BANNER, IDB_BOARD_BLUEGREEN,
    IDB_STONE_FLAT_BLACK, IDB_STONE_FLAT_WHITE, IDB_BOARD_GRASS,    IDI_TAVIK,  IDI_TAVIK_SMALL};
static_assert(AllDifferent(kResourceIds), "two resources in resource_ids.h share a number");

}  // namespace tavik::ui

#endif
