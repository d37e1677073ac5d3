#include "players_window.h"

#include <iterator>
#include <string>
#include <vector>

#include "aux_window.h"
#include "fenlow.h"
#include "modal_windows.h"

namespace tavik::ui {

namespace {

constexpr DWORD kRadio = BS_AUTORADIOBUTTON | WS_TABSTOP | BS_NOTIFY;
constexpr DWORD kPush = BS_PUSHBUTTON | WS_TABSTOP | BS_NOTIFY;
constexpr DWORD kList = CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP;
// No ES_AUTOHSCROLL: the name box takes no more than it can show.
constexpr DWORD kNameBox = ES_LEFT | WS_TABSTOP;
// The labels are as wide as their text in the Japanese proportional gothic. A stand-in font
// with wider kana would wrap the last character out of the one-line label; without wrapping it
// loses a pixel or two at most.
constexpr DWORD kLabel = SS_LEFTNOWORDWRAP;

struct ControlLayout {
    int offset;  // from the colour's group box
    const char* cls;
    const char* text;
    DWORD style;
    int x, y, width, height;  // on the black side; the white side is kWhiteShift to the right
};

// One colour's controls, in the order they are made (which is the Tab order).
constexpr ControlLayout kSideControls[] = {
    {0, "BUTTON", "黒", BS_GROUPBOX | WS_GROUP, 4, 0, 205, 228},
    {kHumanOffset, "BUTTON", "人間", kRadio, 12, 15, 186, 21},
    {kComputerOffset, "BUTTON", "コンピュータ", kRadio, 12, 63, 186, 21},
    {3, "STATIC", "プレイヤー名", kLabel, 26, 40, 68, 13},
    {kNameOffset, "EDIT", "", kNameBox, 97, 36, 104, 21},
    {5, "BUTTON", "コンピュータ設定", BS_GROUPBOX, 10, 90, 193, 131},
    {6, "STATIC", "通常探索深さ", kLabel, 18, 108, 69, 13},
    {kNormalDepthOffset, "COMBOBOX", "", kList, 96, 105, 100, 127},
    {8, "STATIC", "必勝探索深さ", kLabel, 18, 137, 69, 13},
    {kWinDepthOffset, "COMBOBOX", "", kList, 96, 133, 100, 127},
    {10, "STATIC", "完全探索深さ", kLabel, 18, 165, 69, 13},
    {kPerfectDepthOffset, "COMBOBOX", "", kList, 96, 161, 100, 127},
    {kWeakOffset, "BUTTON", "弱い", kPush, 58, 188, 45, 25},
    {kNormalOffset, "BUTTON", "普通", kPush, 104, 188, 45, 25},
    {kStrongOffset, "BUTTON", "強い", kPush, 150, 188, 45, 25},
};
constexpr int kWhiteShift = 209;

// The run of IDs the header reserves for a colour is exactly the one made here: every offset
// once, none beyond the run (where it would take an ID of the other colour or a button).
constexpr bool FillsTheRun() {
    bool seen[kSideControlCount] = {};
    for (const ControlLayout& layout : kSideControls) {
        if (layout.offset < 0 || layout.offset >= kSideControlCount || seen[layout.offset])
            return false;
        seen[layout.offset] = true;
    }
    return static_cast<int>(std::size(kSideControls)) == kSideControlCount;
}
static_assert(FillsTheRun(), "a colour's controls do not fill its run of IDs");

struct ButtonLayout {
    int id;
    const char* text;
    int x;
};
const ButtonLayout kBottomButtons[] = {{kSwapButtonId, "黒白交代", 61},
                                       {kPlayersOkId, "OK", 182},
                                       {kPlayersCancelId, "キャンセル", 303}};

void Fill(HWND list, const std::vector<std::string>& items) {
    for (const std::string& item : items)
        SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
}

int Selected(HWND list) { return static_cast<int>(SendMessageA(list, CB_GETCURSEL, 0, 0)); }

std::string TextOf(HWND box) {
    const LRESULT length = SendMessageA(box, WM_GETTEXTLENGTH, 0, 0);
    std::string text(static_cast<size_t>(length) + 1, '\0');
    const LRESULT got =
        SendMessageA(box, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(got));
    return text;
}

}  // namespace

HWND PlayersWindow::Create(AuxWindowHost& frame, PlayersHost& players) {
    auto* self = new PlayersWindow(frame, players);
    self->window_ = frame.CreateAuxWindow("対局者設定", WS_CAPTION, 427, 285);
    return Attach(self, self->window_, Procedure);
}

void PlayersWindow::Initialise() {
    const HFONT font = frame_.Font(kFontPlayers);
    for (int group : {kBlackGroupId, kWhiteGroupId}) {
        for (const ControlLayout& layout : kSideControls) {
            const char* text = layout.offset == 0 && group == kWhiteGroupId ? "白" : layout.text;
            const int x = group == kBlackGroupId ? layout.x : layout.x + kWhiteShift;
            const DWORD extended = layout.offset == kNameOffset ? WS_EX_CLIENTEDGE : 0;
            Control(window_, extended, layout.cls, text, layout.style, x, layout.y, layout.width,
                    layout.height, group + layout.offset, font);
        }
    }
    for (const ButtonLayout& button : kBottomButtons)
        Control(window_, 0, "BUTTON", button.text, kPush, button.x, 233, 115, 25, button.id, font);

    keyboard_.emplace(window_);
    for (int group : {kBlackGroupId, kWhiteGroupId}) {
        Fill(Item(group, kNormalDepthOffset), NormalDepthItemTexts());
        Fill(Item(group, kWinDepthOffset), WinDepthItemTexts());
        Fill(Item(group, kPerfectDepthOffset), PerfectDepthItemTexts());
    }
    const PlayerDialog dialog = ShowPlayers(players_.Player(1), players_.Player(-1));
    ShowChoices(dialog);
    SetWindowTextA(Item(kBlackGroupId, kNameOffset), dialog.black.name.c_str());
    SetWindowTextA(Item(kWhiteGroupId, kNameOffset), dialog.white.name.c_str());
    MoveWindowToCenter(window_, frame_.Handle());
    ShowWindow(window_, SW_SHOW);
}

void PlayersWindow::ShowChoices(const PlayerDialog& dialog) {
    for (int group : {kBlackGroupId, kWhiteGroupId}) {
        const PlayerControls& side = group == kBlackGroupId ? dialog.black : dialog.white;
        SendMessageA(Item(group, kNormalDepthOffset), CB_SETCURSEL, side.normalItem, 0);
        SendMessageA(Item(group, kWinDepthOffset), CB_SETCURSEL, side.winItem, 0);
        SendMessageA(Item(group, kPerfectDepthOffset), CB_SETCURSEL, side.perfectItem, 0);
        SendMessageA(Item(group, kHumanOffset), BM_SETCHECK,
                     side.computer ? BST_UNCHECKED : BST_CHECKED, 0);
        SendMessageA(Item(group, kComputerOffset), BM_SETCHECK,
                     side.computer ? BST_CHECKED : BST_UNCHECKED, 0);
    }
}

PlayerDialog PlayersWindow::Read() const {
    PlayerDialog dialog;
    for (int group : {kBlackGroupId, kWhiteGroupId}) {
        PlayerControls& side = group == kBlackGroupId ? dialog.black : dialog.white;
        side.computer =
            SendMessageA(Item(group, kComputerOffset), BM_GETCHECK, 0, 0) == BST_CHECKED;
        side.name = TextOf(Item(group, kNameOffset));
        side.normalItem = Selected(Item(group, kNormalDepthOffset));
        side.winItem = Selected(Item(group, kWinDepthOffset));
        side.perfectItem = Selected(Item(group, kPerfectDepthOffset));
    }
    return dialog;
}

void PlayersWindow::OnButton(UINT id) {
    const int black = static_cast<int>(id) - kBlackGroupId,
              white = static_cast<int>(id) - kWhiteGroupId;
    const int offset = black >= kWeakOffset && black <= kStrongOffset   ? black
                       : white >= kWeakOffset && white <= kStrongOffset ? white
                                                                        : 0;
    if (offset) {
        PlayerDialog dialog = Read();
        PressPreset(offset == black ? dialog.black : dialog.white,
                    static_cast<Preset>(offset - kWeakOffset));
        ShowChoices(dialog);
    } else if (id == kSwapButtonId) {
        PlayerDialog dialog = Read();
        PressSwap(dialog);
        ShowChoices(dialog);
    } else if (id == kPlayersOkId) {
        PlayerSettings& blackPlayer = players_.Player(1);
        PlayerSettings& whitePlayer = players_.Player(-1);
        ConfirmPlayers(Read(), blackPlayer, whitePlayer);
        // As any change of the game: stopped, the move on its way landed, then the names. (A
        // plain edit would be refused while a move is still on its way, and the record would
        // keep the old names.) The registry hears of it at exit, with every other setting.
        players_.ChangeGame([&blackPlayer, &whitePlayer](BoardState&, GameRecord& record) {
            RefreshPlayerNames(blackPlayer, whitePlayer, record);
        });
        CloseModalWindow(window_, 0);
    } else if (id == kPlayersCancelId) {
        CloseModalWindow(window_, 0);
    }
}

LRESULT CALLBACK PlayersWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return Dispatch<PlayersWindow>(
        window, message, wParam, lParam, [&](PlayersWindow& self) -> LRESULT {
            switch (message) {
                case WM_INITDIALOG:
                    self.Initialise();
                    return TRUE;
                case WM_COMMAND:
                    if (const UINT id = PressedButton(window, wParam)) self.OnButton(id);
                    return 0;
                case WM_CLOSE:
                    CloseModalWindow(window, 0);
                    return 0;
                case WM_DESTROY:
                    self.keyboard_.reset();
                    return 0;
                default:
                    return DefWindowProcA(window, message, wParam, lParam);
            }
        });
}

}  // namespace tavik::ui
