#include "main_window.h"

#include <commctrl.h>
#include <shellapi.h>

#include <cstring>

#include "best_move_window.h"
#include "board_functions.h"
#include "command_line.h"
#include "eval_window.h"
#include "fenlow.h"
#include "file_commands.h"
#include "modal_windows.h"
#include "player_settings.h"
#include "program_directory.h"
#include "resource_ids.h"
#include "settings_store.h"
#include "texts.h"
#include "version_text.h"

namespace tavik::ui {

namespace {

constexpr const char* kMainClass = "NORMAL0";
constexpr const char* kAuxClass = "NORMALDLG";
constexpr UINT_PTR kStatusTimer = 1;  // clears a result shown in status-bar part 0
constexpr UINT kStatusMilliseconds = 4000;
// Posted by a move thread (the position changed) and by the hint search (a pass arrived).
constexpr UINT kMoveValuesMessage = WM_APP + 40;

HFONT MakeFont(BYTE pitchAndFamily) {
    return CreateFontA(-12, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET,
                       OUT_STROKE_PRECIS, CLIP_STROKE_PRECIS, DRAFT_QUALITY, pitchAndFamily,
                       "ＭＳ Ｐゴシック");
}

}  // namespace

MainWindow::MainWindow(HINSTANCE instance, const char* commandLine)
    : instance_(instance), commandLine_(commandLine ? commandLine : "") {}

MainWindow::~MainWindow() {
    if (window_) DestroyWindow(window_);
    // The move threads use this object: none may outlive it.
    flow_.WaitForMoves(-1);
    // A later window of this process (the tests make many) registers the classes anew, with
    // its own brush and icon.
    UnregisterClassA(kMainClass, instance_);
    UnregisterClassA(kAuxClass, instance_);
}

void MainWindow::RegisterClasses() {
    WNDCLASSEXA aux{};
    aux.cbSize = sizeof aux;
    aux.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
    aux.lpfnWndProc = DefWindowProcA;
    aux.hInstance = instance_;
    aux.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
    aux.hIconSm = LoadIconA(nullptr, IDI_WINLOGO);
    aux.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    aux.hbrBackground = faceBrush_.get();
    aux.lpszClassName = kAuxClass;
    RegisterClassExA(&aux);

    WNDCLASSEXA main = aux;
    main.lpfnWndProc = Procedure;
    main.hIcon = LoadIconA(instance_, MAKEINTRESOURCEA(IDI_TAVIK));
    smallIcon_.reset(static_cast<HICON>(LoadImageA(instance_, MAKEINTRESOURCEA(IDI_TAVIK),
                                                   IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                                   GetSystemMetrics(SM_CYSMICON), 0)));
    main.hIconSm = smallIcon_.get();
    auxSmallIcon_.reset(static_cast<HICON>(LoadImageA(instance_, MAKEINTRESOURCEA(IDI_TAVIK_SMALL),
                                                      IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                                      GetSystemMetrics(SM_CYSMICON), 0)));
    main.lpszClassName = kMainClass;
    RegisterClassExA(&main);
}

HWND MainWindow::Create() {
    INITCOMMONCONTROLSEX all{sizeof all, 0xFF};
    InitCommonControlsEx(&all);
    for (int i = 0; i < kFontCount; ++i) fonts_[i].reset(MakeFont(i == kFontVersion ? 50 : 32));
    faceBrush_.reset(CreateSolidBrush(GetSysColor(COLOR_BTNFACE)));
    menus_.Build();
    RegisterClasses();
    // WM_CREATE runs the creation steps (OnCreate) and sets window_.
    CreateWindowExA(WS_EX_NOPARENTNOTIFY, kMainClass, "Reversi",
                    WS_VISIBLE | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, CW_USEDEFAULT,
                    CW_USEDEFAULT, 550, 530, nullptr, nullptr, instance_, this);
    accelerators_ = BuildAccelerators();
    // Only now: a refusal's message box comes up over the finished window.
    if (window_ && !startupFiles_.empty()) OpenGameFiles(*this, startupFiles_);
    return window_;
}

int MainWindow::RunMessageLoop() {
    MSG message;
    for (;;) {
        const BOOL got = GetMessageA(&message, nullptr, 0, 0);
        if (got == 0 || got == -1) break;
        if (window_ && TranslateAcceleratorA(window_, accelerators_.get(), &message)) continue;
        if (window_ && IsDialogMessageA(window_, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    accelerators_.reset();
    return 0;
}

void MainWindow::OnCreate() {
    StartupArguments arguments = ReadCommandLine(commandLine_.c_str());
    debugSwitch_ = arguments.debugSwitch;
    startupFiles_ = std::move(arguments.files);
    SetWindowTextA(window_, "Tavik");
    MoveWindowToCenter(window_, GetDesktopWindow());

    INITCOMMONCONTROLSEX bars{sizeof bars, ICC_BAR_CLASSES};
    InitCommonControlsEx(&bars);
    status_ = CreateStatusWindowA(WS_CHILD | WS_VISIBLE | CCS_BOTTOM, "", window_, kStatusBarId);
    int parts[3] = {100, 250, 400};
    SendMessageA(status_, SB_SETPARTS, 3, reinterpret_cast<LPARAM>(parts));

    // Client area: the board plus the status bar, whatever the frame's metrics are.
    RECT outer, client, bar;
    GetWindowRect(window_, &outer);
    GetClientRect(window_, &client);
    GetWindowRect(status_, &bar);
    const int width = (outer.right - outer.left) - (client.right - client.left) + kBoardPixels;
    const int height = (outer.bottom - outer.top) - (client.bottom - client.top) + kBoardPixels +
                       (bar.bottom - bar.top);
    MoveWindow(window_, outer.left, outer.top, width, height, TRUE);
    DragAcceptFiles(window_, TRUE);  // a game file dropped on the window opens

    view_.Create(instance_, window_);
    uiThread_ = GetCurrentThreadId();
    hints_.Attach(window_, kMoveValuesMessage);
    settings_ = ReadStoredSettings();
    NormaliseStored(settings_);
    ApplySettings();
    if (debugSwitch_) menus_.SetEnabled(kCmdPriorityRealTime, true);
    session_.SetRunning(false);
    session_.SetWorkerBusy(false);
    flow_.Stop();
    session_.Edit([this](BoardState&, GameRecord& record) {
        RefreshPlayerNames(settings_.black, settings_.white, record);
    });
    Redraw();
    ShowWindow(window_, SW_SHOW);
}

void MainWindow::OnDestroy() {
    moveValues_ = false;
    hints_.Stop();
    hints_.Attach(nullptr, 0);
    session_.SetRunning(false);  // a move thread still on its way plays nothing now
    flow_.StopWorker();
    // A move thread may be showing a message; the rest of the shutdown does not need it gone.
    flow_.WaitForMoves(5000);
    view_.Release();
    WriteStoredSettings(settings_);
    menus_.Destroy();
    for (OwnedFont& font : fonts_) font.reset();
    status_ = nullptr;
    window_ = nullptr;
    PostQuitMessage(0);
}

void MainWindow::ApplySettings() {
    // What other threads read of the settings goes over in copies.
    legalMoveFrames_ = settings_.showPossiblePosition != 0;
    flow_.UseSettings(settings_);
    view_.ShowDesigns(settings_.boardNumber, settings_.stoneNumber);
    menus_.SetRadio(kCmdBoardGreen, kCmdBoardMeadow, kCmdBoardGreen + settings_.boardNumber - 1);
    menus_.SetRadio(kCmdStoneGo, kCmdStoneFlat, kCmdStoneGo + settings_.stoneNumber - 1);
    menus_.SetRadio(kCmdPriorityIdle, kCmdPriorityRealTime,
                    kCmdPriorityIdle + PriorityItemOf(settings_.thinkThreadPriority));
    menus_.SetChecked(kCmdAutoPlay, settings_.designateAutoPlay != 0);
    menus_.SetChecked(kCmdShowMoves, settings_.showPossiblePosition != 0);
    menus_.SetChecked(kCmdShowKifu, settings_.showKifu != 0);
    menus_.SetChecked(kCmdShowMoveValues, settings_.showMoveValues != 0);
    moveValues_ = settings_.showMoveValues != 0;
    if (settings_.showKifu)
        records_.Open();
    else
        records_.Close();
    Redraw();
}

void MainWindow::ShowGameRunning(bool running) {
    menus_.SetEnabled(kCmdStart, !running);
    menus_.SetEnabled(kCmdStop, running);
}

void MainWindow::HideRecordWindow() {
    settings_.showKifu = 0;
    ApplySettings();
}

HWND MainWindow::CreateAuxWindow(const char* caption, DWORD style, int width, int height) {
    HWND window =
        CreateWindowExA(WS_EX_TOOLWINDOW, kAuxClass, caption, style, CW_USEDEFAULT, CW_USEDEFAULT,
                        width, height, window_, nullptr, instance_, nullptr);
    SendMessageA(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(auxSmallIcon_.get()));
    return window;
}

void MainWindow::SetStatusText(int part, const std::string& text) {
    char copy[1024];
    const size_t length = text.size() < sizeof copy - 1 ? text.size() : sizeof copy - 1;
    std::memcpy(copy, text.data(), length);
    copy[length] = '\0';
    if (status_) SendMessageA(status_, SB_SETTEXTA, part, reinterpret_cast<LPARAM>(copy));
    if (statusObserver) statusObserver(part, copy);
}

void MainWindow::ShowStatusForAMoment(const std::string& text) {
    SetStatusText(0, text);
    momentText_ = text;
    SetTimer(window_, kStatusTimer, kStatusMilliseconds, nullptr);
}

void MainWindow::OnStatusTimer() {
    KillTimer(window_, kStatusTimer);
    char shown[1024] = {};
    if (status_ && LOWORD(SendMessageA(status_, SB_GETTEXTLENGTHA, 0, 0)) < sizeof shown)
        SendMessageA(status_, SB_GETTEXTA, 0, reinterpret_cast<LPARAM>(shown));
    if (momentText_ == shown) SetStatusText(0, "");
    momentText_.clear();
}

void MainWindow::OnDropFiles(HDROP drop) {
    std::vector<std::string> paths;
    const UINT count = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        std::string path(DragQueryFileA(drop, i, nullptr, 0) + 1, '\0');
        path.resize(DragQueryFileA(drop, i, path.data(), static_cast<UINT>(path.size())));
        paths.push_back(std::move(path));
    }
    DragFinish(drop);  // before any message box: the drop's memory is not needed any more
    OpenGameFiles(*this, paths);
}

void MainWindow::UpdateTurnStatus() {
    SetStatusText(1, TurnStatusText(session_.Board(), session_.Running()));
}

void MainWindow::Redraw() {
    // On this window's thread the values follow the position first (a new search has none yet,
    // a stopped one none at all); a move thread's paint leaves out the values of the position
    // before its move, and the search follows once this window's thread has the request.
    const bool here = GetCurrentThreadId() == uiThread_;
    if (here) UpdateMoveValues();
    const BoardState board = session_.Board();
    view_.Paint(board, legalMoveFrames_, hints_.SquaresFor(board));
    UpdateTurnStatus();
    if (!here) RequestMoveValues();
}

void MainWindow::EnableStudy(bool enabled) {
    menus_.SetStudyEnabled(enabled);
    // A person's turn after the computer's move: the values may start again.
    if (enabled) RequestMoveValues();
}

void MainWindow::RequestMoveValues() {
    if (!window_) return;
    if (GetCurrentThreadId() == uiThread_)
        UpdateMoveValues();
    else if (moveValues_)
        PostMessageA(window_, kMoveValuesMessage, 0, 0);
}

void MainWindow::UpdateMoveValues() {
    const BoardState board = session_.Board();
    // No computer is thinking or about to: the computer player marks the worker busy before
    // it stops the values (StopMoveValues), so this start cannot slip in after that stop.
    const bool computerTurn = session_.Running() && flow_.Settings().Computer(board.sideToMove);
    if (moveValues_ && !studyOpen_ && !session_.WorkerBusy() && !computerTurn)
        hints_.Show(board, settings_.study);
    else
        hints_.Stop();
}

void MainWindow::WithoutMoveValues(const std::function<void()>& open) {
    studyOpen_ = true;
    hints_.Stop();
    open();
    studyOpen_ = false;
    UpdateMoveValues();
}

void MainWindow::OnCommand(UINT id) {
    StudyMode mode;
    switch (id) {
        case kCmdStart:
            flow_.Start();
            break;
        case kCmdStop:
            flow_.Stop();
            break;
        case kCmdNewGame:
            flow_.NewGame();
            break;
        case kCmdFirst:
            flow_.Navigate(Navigation::kInitial);
            break;
        case kCmdBack:
            flow_.Navigate(Navigation::kBack);
            break;
        case kCmdForward:
            flow_.Navigate(Navigation::kForward);
            break;
        case kCmdLast:
            flow_.Navigate(Navigation::kLast);
            break;
        case kCmdPlayers:
            flow_.Stop();
            RunModalWindow(window_, PlayersWindow::Create(*this, *this));
            break;
        case kCmdExit:
            DestroyWindow(window_);
            break;
        case kCmdBestMove:
            if (flow_.StudyAllowed())
                WithoutMoveValues(
                    [this] { RunModalWindow(window_, BestMoveWindow::Create(*this, *this)); });
            break;
        case kCmdEvaluate:
        case kCmdWinSearch:
        case kCmdPerfectSearch:
        case kCmdOpenness:
            if (flow_.StudyAllowed() && StudyModeOf(id, mode))
                WithoutMoveValues([this, mode] {
                    RunModalWindow(window_, EvalWindow::Create(*this, *this, mode));
                });
            break;
        case kCmdAutoPlay:
            settings_.designateAutoPlay = !settings_.designateAutoPlay;
            ApplySettings();
            break;
        case kCmdBoardGreen:
        case kCmdBoardBlue:
        case kCmdBoardMeadow:
            settings_.boardNumber = static_cast<int32_t>(id - kCmdBoardGreen) + 1;
            ApplySettings();
            break;
        case kCmdStoneGo:
        case kCmdStoneFlat:
            settings_.stoneNumber = static_cast<int32_t>(id - kCmdStoneGo) + 1;
            ApplySettings();
            break;
        case kCmdShowMoves:
            settings_.showPossiblePosition = !settings_.showPossiblePosition;
            ApplySettings();
            break;
        case kCmdShowKifu:
            settings_.showKifu = !settings_.showKifu;
            ApplySettings();
            break;
        case kCmdShowMoveValues:
            settings_.showMoveValues = !settings_.showMoveValues;
            ApplySettings();
            break;
        case kCmdManual:
            ShellExecuteA(window_, "open", (ProgramDirectory() + "説明書.html").c_str(), "", "",
                          SW_SHOWMAXIMIZED);
            break;
        case kCmdWebSite:
            ShellExecuteA(window_, "open", kAuthorSite, nullptr, nullptr, SW_SHOWDEFAULT);
            break;
        case kCmdVersion:
            RunModalWindow(window_, VersionWindow::Create(*this, engineVersion));
            break;
        default:
            if (id >= kCmdPriorityIdle && id <= kCmdPriorityRealTime) {
                settings_.thinkThreadPriority =
                    PriorityOfItem(static_cast<int>(id - kCmdPriorityIdle));
                ApplySettings();
            } else {
                RunFileCommand(*this, id);  // the file and clipboard commands; others are ignored
            }
            break;
    }
}

LRESULT CALLBACK MainWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* self =
            static_cast<MainWindow*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        self->window_ = window;
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (!self) return DefWindowProcA(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) SetWindowLongPtrA(window, GWLP_USERDATA, 0);
    return self->OnMessage(window, message, wParam, lParam);
}

LRESULT MainWindow::OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE:
            SetMenu(window, menus_.Bar());
            OnCreate();
            return 0;
        case WM_DESTROY:
            OnDestroy();
            return 0;
        case WM_CLOSE:
            DestroyWindow(window);
            return 0;
        case WM_SIZE:
            SendMessageA(status_, WM_SIZE, wParam, lParam);
            return 0;
        case WM_PAINT: {
            PAINTSTRUCT paint;
            HDC dc = BeginPaint(window, &paint);
            view_.CopyTo(dc);
            EndPaint(window, &paint);
            return 0;
        }
        case WM_LBUTTONDOWN:
            flow_.Click(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
            return 0;
        case WM_MOUSEWHEEL: {
            const bool ctrl = (GET_KEYSTATE_WPARAM(wParam) & MK_CONTROL) != 0;
            if (GET_WHEEL_DELTA_WPARAM(wParam) > 0)
                flow_.Navigate(ctrl ? Navigation::kInitial : Navigation::kBack);
            else
                flow_.Navigate(ctrl ? Navigation::kLast : Navigation::kForward);
            return DefWindowProcA(window, message, wParam, lParam);
        }
        case WM_COMMAND:
            OnCommand(LOWORD(wParam));
            return 0;
        case kMoveValuesMessage:
            UpdateMoveValues();
            view_.Paint(session_.Board(), legalMoveFrames_, hints_.SquaresFor(session_.Board()));
            return 0;
        case WM_DROPFILES:
            OnDropFiles(reinterpret_cast<HDROP>(wParam));
            return 0;
        case WM_TIMER:
            if (wParam != kStatusTimer) return DefWindowProcA(window, message, wParam, lParam);
            OnStatusTimer();
            return 0;
        default:
            return DefWindowProcA(window, message, wParam, lParam);
    }
}

}  // namespace tavik::ui
