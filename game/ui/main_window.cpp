// Start-up, the main window, command dispatch and shutdown.
#include <windows.h>

#include <commctrl.h>
#include <shellapi.h>

#include <cstring>

#include "board_functions.h"
#include "fenlow.h"
#include "game_flow.h"
#include "ui.h"

namespace tavik::ui {

UiState g_ui;
AppSettings g_settings;
BoardState g_board;
GameRecord g_record;
volatile LONG g_gameRunning = 0;
volatile LONG g_workerBusy = 0;
LONG g_debugSwitch = 0;
CRITICAL_SECTION g_moveLock;
const char* g_commandLineForTests = nullptr;

void PaintFromBackBuffer(HDC dc);  // render.cpp

namespace {

constexpr const char* kWebSite = "https://tavik.example.jp/";

HFONT MakeFont(BYTE pitchAndFamily) {
    return CreateFontA(-12, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET, OUT_TT_PRECIS,
                       CLIP_STROKE_PRECIS, DRAFT_QUALITY, pitchAndFamily, "ＭＳ Ｐゴシック");
}

bool EndsWithDebugSwitch(const char* commandLine) {
    const size_t length = commandLine ? std::strlen(commandLine) : 0;
    return length >= 2 && std::strcmp(commandLine + length - 2, "/D") == 0;
}

void OnCreate(HWND window) {
    g_debugSwitch =
        EndsWithDebugSwitch(g_commandLineForTests ? g_commandLineForTests : GetCommandLineA());
    InitializeCriticalSection(&g_moveLock);
    SetWindowTextA(window, "Tavik");
    MoveWindowToCenter(window, GetDesktopWindow());
    ResetBoard(g_board);

    INITCOMMONCONTROLSEX bars{sizeof bars, ICC_BAR_CLASSES};
    InitCommonControlsEx(&bars);
    g_ui.status = CreateStatusWindowA(WS_CHILD | WS_VISIBLE | CCS_BOTTOM, "", window, kStatusBarId);
    int parts[3] = {100, 250, 400};
    SendMessageA(g_ui.status, SB_SETPARTS, 3, reinterpret_cast<LPARAM>(parts));

    // Client area: the board plus the status bar, whatever the frame's metrics are.
    RECT outer, client, bar;
    GetWindowRect(window, &outer);
    GetClientRect(window, &client);
    GetWindowRect(g_ui.status, &bar);
    const int width = (outer.right - outer.left) - (client.right - client.left) + kBoardPixels;
    const int height = (outer.bottom - outer.top) - (client.bottom - client.top) + kBoardPixels +
                       (bar.bottom - bar.top);
    MoveWindow(window, outer.left, outer.top, width, height, TRUE);

    HDC dc = GetDC(window);
    g_ui.backDc = CreateCompatibleDC(dc);
    g_ui.backBitmap = CreateCompatibleBitmap(dc, kBoardPixels, kBoardPixels);
    g_ui.backDisplaced = SelectObject(g_ui.backDc, g_ui.backBitmap);
    ReleaseDC(window, dc);

    LoadSettings();
    if (g_debugSwitch) SetMenuEnabled(kCmdPriorityRealTime, true);
    g_gameRunning = 0;
    g_workerBusy = 0;
    StopGame();
    RefreshPlayerNames(g_settings.black, g_settings.white, g_record);
    Redraw();
    ShowWindow(window, SW_SHOW);
}

void OnDestroy() {
    g_gameRunning = 0;  // a move thread still on its way plays nothing now
    StopWorker();
    // A move thread may be showing a message; the lock goes only when none is left (a process
    // that ends anyway may keep it).
    if (WaitForMoveThreads(5000)) DeleteCriticalSection(&g_moveLock);
    ReleaseDesigns();
    SelectObject(g_ui.backDc, g_ui.backDisplaced);
    DeleteObject(g_ui.backBitmap);
    DeleteDC(g_ui.backDc);
    g_ui.backDc = nullptr;
    g_ui.backBitmap = nullptr;
    SaveSettings();
    // Destroying the bar destroys the popups it holds.
    DestroyMenu(g_ui.menuBar);
    g_ui.menuBar = nullptr;
    for (HMENU& popup : g_ui.popups) popup = nullptr;
    for (HFONT& font : g_ui.fonts) {
        DeleteObject(font);
        font = nullptr;
    }
    DeleteObject(g_ui.faceBrush);
    g_ui.faceBrush = nullptr;
    g_ui.main = nullptr;
    g_ui.status = nullptr;
    PostQuitMessage(0);
}

void Navigate(Navigation where) {
    StopGame();
    const int count = NavigationCount(where, CountCells(g_board, 0));
    ReplayMoves(g_record, count, g_board);
    Redraw();
}

void OnCommand(UINT id) {
    switch (id) {
    case kCmdStart: StartGame(); break;
    case kCmdStop: StopGame(); break;
    case kCmdNewGame: NewGame(); break;
    case kCmdFirst: Navigate(Navigation::kInitial); break;
    case kCmdBack: Navigate(Navigation::kBack); break;
    case kCmdForward: Navigate(Navigation::kForward); break;
    case kCmdLast: Navigate(Navigation::kLast); break;
    case kCmdPlayers:
        StopGame();
        RunModalWindow(g_ui.main, "SetGameWnd");
        break;
    case kCmdExit: DestroyWindow(g_ui.main); break;
    case kCmdBestMove:
    case kCmdEvaluate:
    case kCmdWinSearch:
    case kCmdPerfectSearch:
    case kCmdOpenness:
        if (!g_workerBusy) RunStudyCommand(id);
        break;
    case kCmdAutoPlay:
        g_settings.designateAutoPlay = !g_settings.designateAutoPlay;
        SetMenuChecked(kCmdAutoPlay, g_settings.designateAutoPlay != 0);
        break;
    case kCmdBoardGreen:
    case kCmdBoardBlue:
    case kCmdBoardMeadow: LoadBoardDesign(static_cast<int>(id - kCmdBoardGreen) + 1); break;
    case kCmdStoneGo:
    case kCmdStoneFlat: LoadStoneDesign(static_cast<int>(id - kCmdStoneGo) + 1); break;
    case kCmdShowMoves:
        g_settings.showPossiblePosition = !g_settings.showPossiblePosition;
        SetMenuChecked(kCmdShowMoves, g_settings.showPossiblePosition != 0);
        Redraw();
        break;
    case kCmdShowKifu:
        if (g_settings.showKifu)
            CloseKifuWindow();
        else
            OpenKifuWindow();
        break;
    case kCmdManual:
        ShellExecuteA(g_ui.main, "open", (ProgramDirectory() + "説明書.html").c_str(), "", "", SW_SHOWMAXIMIZED);
        break;
    case kCmdWebSite: ShellExecuteA(g_ui.main, "open", kWebSite, nullptr, nullptr, SW_SHOWDEFAULT); break;
    case kCmdVersion: RunModalWindow(g_ui.main, "InfoWnd"); break;
    default:
        if (id >= kCmdPriorityIdle && id <= kCmdPriorityRealTime)
            ApplyPriority(PriorityOfItem(static_cast<int>(id - kCmdPriorityIdle)));
        else
            RunFileCommand(id);  // the file, export and clipboard commands
        break;
    }
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        g_ui.main = window;
        SetMenu(window, g_ui.menuBar);
        OnCreate(window);
        return 0;
    case WM_DESTROY: OnDestroy(); return 0;
    case WM_CLOSE: DestroyWindow(window); return 0;
    case WM_SIZE: SendMessageA(g_ui.status, WM_SIZE, wParam, lParam); return 0;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        PaintFromBackBuffer(dc);
        EndPaint(window, &paint);
        return 0;
    }
    case WM_LBUTTONDOWN:
        ClickAt(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
        return 0;
    case WM_MOUSEWHEEL: {
        const bool ctrl = (GET_KEYSTATE_WPARAM(wParam) & MK_CONTROL) != 0;
        if (GET_WHEEL_DELTA_WPARAM(wParam) > 0)
            Navigate(ctrl ? Navigation::kInitial : Navigation::kBack);
        else
            Navigate(ctrl ? Navigation::kLast : Navigation::kForward);
        return DefWindowProcA(window, message, wParam, lParam);
    }
    case WM_COMMAND: OnCommand(LOWORD(wParam)); return 0;
    default: return DefWindowProcA(window, message, wParam, lParam);
    }
}

}  // namespace

void SetStatusText(int part, const std::string& text) {
    char copy[1024];
    const size_t length = text.size() < sizeof copy - 1 ? text.size() : sizeof copy - 1;
    std::memcpy(copy, text.data(), length);
    copy[length] = '\0';
    if (g_ui.status) SendMessageA(g_ui.status, SB_SETTEXTA, part, reinterpret_cast<LPARAM>(copy));
    if (g_statusObserverForTests) g_statusObserverForTests(part, copy);
}

void UpdateTurnStatus() { SetStatusText(1, TurnStatusText(g_board, g_gameRunning != 0)); }

void StopWorker() {
    StopComputerPlayer();
    g_workerBusy = 0;
    SetStudyMenuEnabled(true);
    SetStatusText(2, "");
}

void StopGame() {
    g_gameRunning = 0;
    SetMenuEnabled(kCmdStart, true);
    SetMenuEnabled(kCmdStop, false);
    UpdateTurnStatus();
    StopWorker();
}

void StartGame() {
    if (g_gameRunning) return;
    g_gameRunning = 1;
    SetMenuEnabled(kCmdStart, false);
    SetMenuEnabled(kCmdStop, true);
    NextTurn();
}

void RegisterWindowClasses(HINSTANCE instance) {
    WNDCLASSEXA dialog{};
    dialog.cbSize = sizeof dialog;
    dialog.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
    dialog.lpfnWndProc = DefWindowProcA;
    dialog.hInstance = instance;
    dialog.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
    dialog.hIconSm = LoadIconA(nullptr, IDI_WINLOGO);
    dialog.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    dialog.hbrBackground = g_ui.faceBrush;
    dialog.lpszClassName = "NORMALDLG";
    RegisterClassExA(&dialog);

    WNDCLASSEXA main = dialog;
    main.lpfnWndProc = MainWindowProc;
    main.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(109));
    main.hIconSm = static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(109), IMAGE_ICON,
                                                 GetSystemMetrics(SM_CXSMICON),
                                                 GetSystemMetrics(SM_CYSMICON), 0));
    main.lpszClassName = "NORMAL0";
    RegisterClassExA(&main);
}

HWND StartUp(HINSTANCE instance) {
    g_ui = UiState{};
    g_ui.instance = instance;
    g_settings = AppSettings{};
    InitRenderLock();
    INITCOMMONCONTROLSEX all{sizeof all, 0xFF};
    InitCommonControlsEx(&all);
    for (int i = 0; i < kFontCount; ++i) g_ui.fonts[i] = MakeFont(i == kFontVersion ? 50 : 32);
    g_ui.faceBrush = CreateSolidBrush(GetSysColor(COLOR_BTNFACE));
    g_ui.menuBar = BuildMenuBar(g_ui.popups);
    RegisterWindowClasses(instance);
    CreateWindowExA(WS_EX_NOPARENTNOTIFY, "NORMAL0", "Reversi",
                    WS_VISIBLE | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, CW_USEDEFAULT, CW_USEDEFAULT,
                    550, 530, nullptr, nullptr, instance, nullptr);
    g_ui.accelerators = BuildAccelerators();
    return g_ui.main;
}

int RunMessageLoop() {
    MSG message;
    for (;;) {
        const BOOL got = GetMessageA(&message, nullptr, 0, 0);
        if (got == 0 || got == -1) break;
        if (g_ui.main && TranslateAcceleratorA(g_ui.main, g_ui.accelerators, &message)) continue;
        if (g_ui.main && IsDialogMessageA(g_ui.main, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    DestroyAcceleratorTable(g_ui.accelerators);
    g_ui.accelerators = nullptr;
    return 0;
}

}  // namespace tavik::ui
