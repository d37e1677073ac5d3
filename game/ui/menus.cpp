// The menu bar and the accelerator table, built in code: the program's resources hold only
// pictures. Each menu is described top to bottom and inserted bottom-up at position 0.
#include "menus.h"

#include <windows.h>

#include <commctrl.h>

#include "commands.h"
#include "fenlow.h"
#include "id_checks.h"

namespace tavik::ui {

namespace {

using Popup = MenuBar::Popup;
constexpr Popup kGame = MenuBar::kGame, kStudy = MenuBar::kStudy, kSettings = MenuBar::kSettings,
                kPriority = MenuBar::kPriority, kBoard = MenuBar::kBoard, kStone = MenuBar::kStone,
                kView = MenuBar::kView, kHelp = MenuBar::kHelp;

struct MenuEntry {
    UINT id;           // 0 for a separator or an item that opens a submenu
    const char* text;  // nullptr: a separator
    int submenu;       // a Popup, or -1
    UINT state;
};

constexpr MenuEntry kSeparator{0, nullptr, -1, 0};

constexpr MenuEntry kGameMenu[] = {
    {kCmdStart, "対局を開始する(&R)\tSpace", -1, 0},
    {kCmdStop, "対局を中断する(&C)\tPeriod", -1, 0},
    kSeparator,
    {kCmdNewGame, "新規対局(&N)\tCtrl+N", -1, 0},
    {kCmdOpen, "局面を開く(&O)\tCtrl+O", -1, 0},
    {kCmdSave, "局面を保存(&S)\tCtrl+S", -1, 0},
    kSeparator,
    {kCmdPlayers, "対局者設定(&M)\tCtrl+M", -1, 0},
    kSeparator,
    {kCmdFirst, "初期局面(&B)\tCtrl+←", -1, 0},
    {kCmdBack, "1手戻す(&A)\t←", -1, 0},
    {kCmdForward, "1手進める(&F)\t→", -1, 0},
    {kCmdLast, "最終局面(&L)\tCtrl+→", -1, 0},
    kSeparator,
    {kCmdExport, "棋譜を出力(&E)", -1, 0},
    {kCmdCopyRecord, "棋譜をクリップボードにコピー(&D)", -1, 0},
    {kCmdPasteRecord, "棋譜を貼り付け(&V)\tCtrl+V", -1, 0},
    {kCmdCopyPosition, "局面をクリップボードにコピー(&P)", -1, 0},
    {kCmdSaveBitmap, "盤面を画像として保存(&G)", -1, 0},
    {kCmdCopyBoard, "盤面をクリップボードにコピー(&H)", -1, 0},
    kSeparator,
    {kCmdExit, "終了(&X)", -1, 0},
};

constexpr MenuEntry kStudyMenu[] = {
    {kCmdBestMove, "最善手探索(&B)\tCtrl+B", -1, 0},
    {kCmdEvaluate, "評価値算出(&E)\tCtrl+E", -1, 0},
    kSeparator,
    {kCmdWinSearch, "必勝探索(&W)\tCtrl+W", -1, 0},
    {kCmdPerfectSearch, "完全探索(&P)\tCtrl+P", -1, 0},
    kSeparator,
    {kCmdOpenness, "開放度算出(&U)\tCtrl+U", -1, 0},
};

constexpr MenuEntry kSettingsMenu[] = {
    {kCmdAutoPlay, "指定打ちの時に自動で打つ(&D)", -1, 0},
    kSeparator,
    {0, "思考スレッドの優先度(&P)", kPriority, 0},
    {0, "盤面(&B)", kBoard, 0},
    {0, "石(&S)", kStone, 0},
};

constexpr MenuEntry kPriorityMenu[] = {
    {kCmdPriorityIdle, "Idle", -1, 0},
    {kCmdPriorityIdle + 1, "Lowest", -1, 0},
    {kCmdPriorityIdle + 2, "Lower", -1, 0},
    {kCmdPriorityIdle + 3, "Normal", -1, 0},
    {kCmdPriorityIdle + 4, "Higher", -1, 0},
    {kCmdPriorityIdle + 5, "Highest", -1, 0},
    {kCmdPriorityRealTime, "RealTime", -1, MFS_GRAYED},  // only with the /D switch
};

constexpr MenuEntry kBoardMenu[] = {
    {kCmdBoardGreen, "ベーシック(緑)", -1, 0},
    {kCmdBoardBlue, "ベーシック(青)", -1, 0},
    {kCmdBoardMeadow, "草原", -1, 0},
};

constexpr MenuEntry kStoneMenu[] = {
    {kCmdStoneGo, "碁石", -1, 0},
    {kCmdStoneFlat, "平板", -1, 0},
};

constexpr MenuEntry kViewMenu[] = {
    {kCmdShowMoves, "着手可能点(&P)", -1, 0},
    {kCmdShowKifu, "棋譜(&K)\tCtrl+K", -1, 0},
    {kCmdShowMoveValues, "評価値を表示(&E)\tCtrl+H", -1, 0},
};

constexpr MenuEntry kHelpMenu[] = {
    {kCmdManual, "説明書を表示(&C)\tF1", -1, 0},  kSeparator,
    {kCmdWebSite, "作者サイトを表示(&W)", -1, 0}, kSeparator,
    {kCmdVersion, "バージョン情報(&A)", -1, 0},
};

constexpr MenuEntry kMenuBar[] = {
    {0, "対局(&N)", kGame, 0}, {0, "研究(&S)", kStudy, 0},  {0, "設定(&O)", kSettings, 0},
    {0, "表示(&V)", kView, 0}, {0, "ヘルプ(&H)", kHelp, 0},
};

// No command is on two items: the helper DLL and EnableMenuItem find an item by its command,
// so a second item with the same one would be checked, greyed and answered as the first.
template <size_t... N>
constexpr bool EveryCommandOnce(const MenuEntry (&... menus)[N]) {
    UINT ids[(N + ...)] = {};
    size_t count = 0;
    const auto add = [&ids, &count](const auto& menu) {
        for (const MenuEntry& e : menu)
            if (e.id) ids[count++] = e.id;
    };
    (add(menus), ...);
    return AllDifferent(ids, count);
}
static_assert(EveryCommandOnce(kMenuBar, kGameMenu, kStudyMenu, kSettingsMenu, kPriorityMenu,
                               kBoardMenu, kStoneMenu, kViewMenu, kHelpMenu),
              "two menu items carry the same command");

template <size_t N>
void Fill(HMENU menu, const MenuEntry (&entries)[N], const HMENU* popups) {
    for (size_t i = N; i-- > 0;) {
        const MenuEntry& e = entries[i];
        MENUITEMINFOA item{};
        item.cbSize = sizeof item;
        if (!e.text) {
            item.fMask = MIIM_FTYPE;
            item.fType = MFT_SEPARATOR;
        } else {
            item.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STATE | MIIM_STRING;
            item.fType = MFT_STRING;
            item.wID = e.id;
            item.fState = e.state;
            item.dwTypeData = const_cast<char*>(e.text);
            if (e.submenu >= 0) {
                item.fMask |= MIIM_SUBMENU;
                item.hSubMenu = popups[e.submenu];
            }
        }
        InsertMenuItemA(menu, 0, TRUE, &item);
    }
}

}  // namespace

void MenuBar::Build() {
    HMENU* popups = popups_;
    for (int i = 0; i < kPopupCount; ++i) popups[i] = CreatePopupMenu();
    // Submenus first, so that the items that open them find them filled.
    Fill(popups[kPriority], kPriorityMenu, popups);
    Fill(popups[kBoard], kBoardMenu, popups);
    Fill(popups[kStone], kStoneMenu, popups);
    Fill(popups[kGame], kGameMenu, popups);
    Fill(popups[kStudy], kStudyMenu, popups);
    Fill(popups[kSettings], kSettingsMenu, popups);
    Fill(popups[kView], kViewMenu, popups);
    Fill(popups[kHelp], kHelpMenu, popups);
    bar_.reset(CreateMenu());
    Fill(bar_.get(), kMenuBar, popups);
}

void MenuBar::Destroy() {
    bar_.reset();  // destroys the popups in it
    for (HMENU& popup : popups_) popup = nullptr;
}

OwnedAccelerators BuildAccelerators() {
    const BYTE ctrlKey = FVIRTKEY | FCONTROL;
    ACCEL table[] = {
        {FVIRTKEY, VK_SPACE, kCmdStart},    {0, '.', kCmdStop},
        {ctrlKey, 'N', kCmdNewGame},        {ctrlKey, 'O', kCmdOpen},
        {ctrlKey, 'S', kCmdSave},           {ctrlKey, 'M', kCmdPlayers},
        {ctrlKey, VK_LEFT, kCmdFirst},      {FVIRTKEY, VK_LEFT, kCmdBack},
        {FVIRTKEY, VK_RIGHT, kCmdForward},  {ctrlKey, VK_RIGHT, kCmdLast},
        {ctrlKey, 'B', kCmdBestMove},       {ctrlKey, 'E', kCmdEvaluate},
        {ctrlKey, 'W', kCmdWinSearch},      {ctrlKey, 'P', kCmdPerfectSearch},
        {ctrlKey, 'U', kCmdOpenness},       {ctrlKey, 'K', kCmdShowKifu},
        {FVIRTKEY, VK_F1, kCmdManual},      {ctrlKey, 'V', kCmdPasteRecord},
        {ctrlKey, 'H', kCmdShowMoveValues},
    };
    static_assert(sizeof table / sizeof table[0] == 19);
    return OwnedAccelerators(CreateAcceleratorTableA(table, 19));
}

void MenuBar::SetChecked(UINT id, bool checked) {
    FenlowCheckMenuItem(bar_.get(), id, checked ? 1 : 0);
}

void MenuBar::SetEnabled(UINT id, bool enabled) {
    EnableMenuItem(bar_.get(), id, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
}

void MenuBar::SetStudyEnabled(bool enabled) {
    for (UINT id = kCmdBestMove; id <= kCmdOpenness; ++id) SetEnabled(id, enabled);
}

void MenuBar::SetRadio(UINT first, UINT last, UINT id) {
    // The three radio groups each fill a submenu of their own.
    const Popup popup = first == kCmdPriorityIdle ? kPriority
                        : first == kCmdBoardGreen ? kBoard
                                                  : kStone;
    CheckMenuRadioItem(popups_[popup], first, last, id, MF_BYCOMMAND);
}

}  // namespace tavik::ui
