// What the windows must show, written out by hand once for every test: the numbers of the menu
// commands and controls, the menu tree, the accelerators and the players window's controls. A
// change of layout is made here and in the code, never in the tests that read it. None of it is
// taken from the code's own tables (menus.cpp, players_window.cpp, the windows' headers): a test
// that compared those with themselves would pass whatever they held.
#ifndef TAVIK_TESTS_UI_EXPECTED_LAYOUT_H
#define TAVIK_TESTS_UI_EXPECTED_LAYOUT_H

#include <windows.h>

#include <vector>

namespace tavik_ui_test::expected {

// The menu commands, as their WM_COMMAND messages carry them.
enum Command : UINT {
    kStart = 1039,
    kStop = 1040,
    kNewGame = 1041,
    kOpen = 1042,
    kSave = 1043,
    kPlayers = 1044,
    kFirst = 1045,
    kBack = 1046,
    kForward = 1047,
    kLast = 1048,
    kExport = 1049,
    kCopyRecord = 1050,
    kSaveBitmap = 1051,
    kCopyBoard = 1052,
    kExit = 1053,
    kBestMove = 1054,
    kEvaluate = 1055,
    kWinSearch = 1056,
    kPerfectSearch = 1057,
    kOpenness = 1058,
    kAutoPlay = 1059,
    kPriorityIdle = 1060,
    kPriorityLowest = 1061,
    kPriorityLower = 1062,
    kPriorityNormal = 1063,
    kPriorityHigher = 1064,
    kPriorityHighest = 1065,
    kPriorityRealTime = 1066,
    kBoardGreen = 1067,
    kBoardBlue = 1068,
    kBoardMeadow = 1069,
    kStoneGo = 1070,
    kStoneFlat = 1071,
    kShowMoves = 1072,
    kShowKifu = 1073,
    kManual = 1074,
    kWebSite = 1075,
    kVersion = 1076,
    // Added after the first release: new numbers after the last, the old ones untouched.
    kPasteRecord = 1077,
    kCopyPosition = 1078,
    kShowMoveValues = 1079,
};

// One menu item: a command and its text; id 0 for an item that opens a submenu, text null for a
// separator.
struct MenuItem {
    UINT id;
    const char* text;
};
constexpr MenuItem kSeparator{0, nullptr};

// The literals are code page 932 as the game's are; one is spelled out in bytes so a wrong
// execution character set cannot pass unnoticed.
inline const std::vector<MenuItem> kMenuBar = {{0, "\x91\xce\x8b\xc7(&N)"},
                                               {0, "研究(&S)"},
                                               {0, "設定(&O)"},
                                               {0, "表示(&V)"},
                                               {0, "ヘルプ(&H)"}};
inline const std::vector<MenuItem> kGameMenu = {
    {kStart, "対局を開始する(&R)\tSpace"},
    {kStop, "対局を中断する(&C)\tPeriod"},
    kSeparator,
    {kNewGame, "新規対局(&N)\tCtrl+N"},
    {kOpen, "局面を開く(&O)\tCtrl+O"},
    {kSave, "局面を保存(&S)\tCtrl+S"},
    kSeparator,
    {kPlayers, "対局者設定(&M)\tCtrl+M"},
    kSeparator,
    {kFirst, "初期局面(&B)\tCtrl+←"},
    {kBack, "1手戻す(&A)\t←"},
    {kForward, "1手進める(&F)\t→"},
    {kLast, "最終局面(&L)\tCtrl+→"},
    kSeparator,
    {kExport, "棋譜を出力(&E)"},
    {kCopyRecord, "棋譜をクリップボードにコピー(&D)"},
    {kPasteRecord, "棋譜を貼り付け(&V)\tCtrl+V"},
    {kCopyPosition, "局面をクリップボードにコピー(&P)"},
    {kSaveBitmap, "盤面を画像として保存(&G)"},
    {kCopyBoard, "盤面をクリップボードにコピー(&H)"},
    kSeparator,
    {kExit, "終了(&X)"},
};
inline const std::vector<MenuItem> kStudyMenu = {
    {kBestMove, "最善手探索(&B)\tCtrl+B"}, {kEvaluate, "評価値算出(&E)\tCtrl+E"},    kSeparator,
    {kWinSearch, "必勝探索(&W)\tCtrl+W"},  {kPerfectSearch, "完全探索(&P)\tCtrl+P"}, kSeparator,
    {kOpenness, "開放度算出(&U)\tCtrl+U"},
};
// Its submenus are its items 2, 3 and 4.
inline const std::vector<MenuItem> kSettingsMenu = {{kAutoPlay, "指定打ちの時に自動で打つ(&D)"},
                                                    kSeparator,
                                                    {0, "思考スレッドの優先度(&P)"},
                                                    {0, "盤面(&B)"},
                                                    {0, "石(&S)"}};
inline const std::vector<MenuItem> kPriorityMenu = {
    {kPriorityIdle, "Idle"},        {kPriorityLowest, "Lowest"}, {kPriorityLower, "Lower"},
    {kPriorityNormal, "Normal"},    {kPriorityHigher, "Higher"}, {kPriorityHighest, "Highest"},
    {kPriorityRealTime, "RealTime"}};
inline const std::vector<MenuItem> kBoardMenu = {
    {kBoardGreen, "ベーシック(緑)"}, {kBoardBlue, "ベーシック(青)"}, {kBoardMeadow, "草原"}};
inline const std::vector<MenuItem> kStoneMenu = {{kStoneGo, "碁石"}, {kStoneFlat, "平板"}};
inline const std::vector<MenuItem> kViewMenu = {{kShowMoves, "着手可能点(&P)"},
                                                {kShowKifu, "棋譜(&K)\tCtrl+K"},
                                                {kShowMoveValues, "評価値を表示(&E)\tCtrl+H"}};
inline const std::vector<MenuItem> kHelpMenu = {{kManual, "説明書を表示(&C)\tF1"},
                                                kSeparator,
                                                {kWebSite, "作者サイトを表示(&W)"},
                                                kSeparator,
                                                {kVersion, "バージョン情報(&A)"}};

// The accelerator table, in its order.
inline const std::vector<ACCEL> kAccelerators = [] {
    const BYTE v = FVIRTKEY, c = FVIRTKEY | FCONTROL;
    return std::vector<ACCEL>{
        {v, VK_SPACE, kStart},    {0, '.', kStop},          {c, 'N', kNewGame},
        {c, 'O', kOpen},          {c, 'S', kSave},          {c, 'M', kPlayers},
        {c, VK_LEFT, kFirst},     {v, VK_LEFT, kBack},      {v, VK_RIGHT, kForward},
        {c, VK_RIGHT, kLast},     {c, 'B', kBestMove},      {c, 'E', kEvaluate},
        {c, 'W', kWinSearch},     {c, 'P', kPerfectSearch}, {c, 'U', kOpenness},
        {c, 'K', kShowKifu},      {v, VK_F1, kManual},      {c, 'V', kPasteRecord},
        {c, 'H', kShowMoveValues}};
}();

// The main window's and the record window's one control each.
constexpr int kStatusBar = 70;
constexpr int kRecordList = 1003;

// The version window.
constexpr int kVersionOk = 1000, kVersionText = 1001, kBanner = 1002;

// The evaluation window and the best-move window (one close button number in both).
constexpr int kEvalList = 1004, kClose = 1005, kPlay = 1006, kBestMoveText = 1007;

// The players window: black's controls, white's in the same order 15 higher, then the buttons.
enum PlayersControl : int {
    kBlackGroup = 1008,
    kBlackHuman = 1009,
    kBlackComputer = 1010,
    kBlackNameLabel = 1011,
    kBlackName = 1012,
    kBlackComputerGroup = 1013,
    kBlackNormalLabel = 1014,
    kBlackNormalDepth = 1015,
    kBlackWinLabel = 1016,
    kBlackWinDepth = 1017,
    kBlackPerfectLabel = 1018,
    kBlackPerfectDepth = 1019,
    kBlackWeak = 1020,
    kBlackNormal = 1021,
    kBlackStrong = 1022,
    kWhiteGroup = 1023,
    kWhiteHuman = 1024,
    kWhiteComputer = 1025,
    kWhiteNameLabel = 1026,
    kWhiteName = 1027,
    kWhiteComputerGroup = 1028,
    kWhiteNormalLabel = 1029,
    kWhiteNormalDepth = 1030,
    kWhiteWinLabel = 1031,
    kWhiteWinDepth = 1032,
    kWhitePerfectLabel = 1033,
    kWhitePerfectDepth = 1034,
    kWhiteWeak = 1035,
    kWhiteNormal = 1036,
    kWhiteStrong = 1037,
    kSwap = 1038,
    kPlayersOk = 1000,
    kPlayersCancel = 1005,
};

// A control of the players window as the live window must have it.
struct Control {
    int id;
    const char* cls;
    const char* text;   // null: not compared (a name box, a list)
    LONG style;         // the bits that tell the kind of control, and WS_TABSTOP, WS_GROUP
    const char* place;  // "x,y wxh" in the client area; a list's is without its height
};
constexpr LONG kRadio = BS_AUTORADIOBUTTON | WS_TABSTOP | BS_NOTIFY,
               kPush = BS_PUSHBUTTON | WS_TABSTOP | BS_NOTIFY;
constexpr LONG kList = CBS_DROPDOWNLIST | WS_TABSTOP;
// Every control, in the order they are made.
inline const std::vector<Control> kPlayersControls = {
    {kBlackGroup, "BUTTON", "黒", BS_GROUPBOX | WS_GROUP, "4,0 205x228"},
    {kBlackHuman, "BUTTON", "人間", kRadio, "12,15 186x21"},
    {kBlackComputer, "BUTTON", "コンピュータ", kRadio, "12,63 186x21"},
    {kBlackNameLabel, "STATIC", "プレイヤー名", SS_LEFTNOWORDWRAP, "26,40 68x13"},
    {kBlackName, "EDIT", nullptr, WS_TABSTOP, "97,36 104x21"},
    {kBlackComputerGroup, "BUTTON", "コンピュータ設定", BS_GROUPBOX, "10,90 193x131"},
    {kBlackNormalLabel, "STATIC", "通常探索深さ", SS_LEFTNOWORDWRAP, "18,108 69x13"},
    {kBlackNormalDepth, "COMBOBOX", nullptr, kList, "96,105 100"},
    {kBlackWinLabel, "STATIC", "必勝探索深さ", SS_LEFTNOWORDWRAP, "18,137 69x13"},
    {kBlackWinDepth, "COMBOBOX", nullptr, kList, "96,133 100"},
    {kBlackPerfectLabel, "STATIC", "完全探索深さ", SS_LEFTNOWORDWRAP, "18,165 69x13"},
    {kBlackPerfectDepth, "COMBOBOX", nullptr, kList, "96,161 100"},
    {kBlackWeak, "BUTTON", "弱い", kPush, "58,188 45x25"},
    {kBlackNormal, "BUTTON", "普通", kPush, "104,188 45x25"},
    {kBlackStrong, "BUTTON", "強い", kPush, "150,188 45x25"},
    {kWhiteGroup, "BUTTON", "白", BS_GROUPBOX | WS_GROUP, "213,0 205x228"},
    {kWhiteHuman, "BUTTON", "人間", kRadio, "221,15 186x21"},
    {kWhiteComputer, "BUTTON", "コンピュータ", kRadio, "221,63 186x21"},
    {kWhiteNameLabel, "STATIC", "プレイヤー名", SS_LEFTNOWORDWRAP, "235,40 68x13"},
    {kWhiteName, "EDIT", nullptr, WS_TABSTOP, "306,36 104x21"},
    {kWhiteComputerGroup, "BUTTON", "コンピュータ設定", BS_GROUPBOX, "219,90 193x131"},
    {kWhiteNormalLabel, "STATIC", "通常探索深さ", SS_LEFTNOWORDWRAP, "227,108 69x13"},
    {kWhiteNormalDepth, "COMBOBOX", nullptr, kList, "305,105 100"},
    {kWhiteWinLabel, "STATIC", "必勝探索深さ", SS_LEFTNOWORDWRAP, "227,137 69x13"},
    {kWhiteWinDepth, "COMBOBOX", nullptr, kList, "305,133 100"},
    {kWhitePerfectLabel, "STATIC", "完全探索深さ", SS_LEFTNOWORDWRAP, "227,165 69x13"},
    {kWhitePerfectDepth, "COMBOBOX", nullptr, kList, "305,161 100"},
    {kWhiteWeak, "BUTTON", "弱い", kPush, "267,188 45x25"},
    {kWhiteNormal, "BUTTON", "普通", kPush, "313,188 45x25"},
    {kWhiteStrong, "BUTTON", "強い", kPush, "359,188 45x25"},
    {kSwap, "BUTTON", "黒白交代", kPush, "61,233 115x25"},
    {kPlayersOk, "BUTTON", "OK", kPush, "182,233 115x25"},
    {kPlayersCancel, "BUTTON", "キャンセル", kPush, "303,233 115x25"},
};

}  // namespace tavik_ui_test::expected

#endif
