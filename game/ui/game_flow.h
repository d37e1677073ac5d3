// The course of a game in the window: starting and stopping, whose turn it is, clicks, the
// computer player's thread, the move threads that apply every move, passes and the result.
//
// Threads. The user-interface thread creates and destroys every window, menu and GDI object
// and is the only thread that changes the game through GameSession::Edit (Change below). The
// computer player's thread and the move threads show what they do through calls that the
// user-interface thread serves synchronously or that lock what they touch: status texts,
// Redraw, menu states, record-list rows, and message boxes owned by the main window (the only
// windows they create). A move thread applies its move inside its turn (the move lock), then,
// with no lock held but the move still on its way, runs NextTurn: a pass, the next computer
// player, or the result, which stops the game. No lock is ever held across a message box.
// The study menu is greyed from the moment the computer starts thinking until a person is to
// move again (or the game stops): the move on its way belongs to the computer's turn.
// Whenever the user-interface thread waits for a worker it keeps answering the calls sent to
// it, so a worker's synchronous call never waits for a thread that waits for the worker.
#ifndef TAVIK_GAME_UI_GAME_FLOW_H
#define TAVIK_GAME_UI_GAME_FLOW_H

#include <windows.h>

#include <mutex>
#include <string>

#include "app_settings.h"
#include "game_record.h"
#include "game_session.h"
#include "search_cancel.h"

namespace tavik::ui {

// What the computer player and the move threads read of the settings. The user-interface thread
// hands a copy over whenever it applies the settings and when a game starts; the workers take
// copies under a lock, so no worker reads a value while a menu command writes it.
struct PlaySettings {
    PlayerSettings black = DefaultPlayer(1, "");
    PlayerSettings white = DefaultPlayer(-1, "");
    bool autoPlay = false;
    int priority = 0;  // the thinking thread's
    bool Computer(int side) const { return (side == 1 ? black : white).isComputer != 0; }
};

// What the course of a game shows through the window that owns it, and the one thing it reads
// there. The computer player's thread and the move threads call these too (see above).
class GameFlowHost {
public:
    virtual HWND Handle() const = 0;  // the owner of the pass and result message boxes
    // User-interface thread: the settings a starting game plays by.
    virtual const AppSettings& CurrentSettings() const = 0;
    virtual void Redraw() = 0;
    virtual void UpdateTurnStatus() = 0;
    virtual void SetStatusText(int part, const std::string& text) = 0;
    virtual void ShowGameRunning(bool running) = 0;  // the start and stop commands
    virtual void EnableStudy(bool enabled) = 0;      // the study commands
    virtual void RebuildRecordRows(const GameRecord& record) = 0;
    virtual void AppendRecordRow(int row, const MoveEntry& entry) = 0;
    // Any thread: the move values' search is over when this returns (before a computer thinks).
    virtual void StopMoveValues() {}

protected:
    ~GameFlowHost() = default;
};

class GameFlow {
public:
    GameFlow(GameSession& session, GameFlowHost& host);
    GameFlow(const GameFlow&) = delete;
    GameFlow& operator=(const GameFlow&) = delete;

    // User-interface thread.
    void UseSettings(const AppSettings& settings);
    void Start();  // a game runs from the position shown; a second start does nothing
    void Stop();   // no game runs and the computer player, if it thinks, has ended
    // Ends a thinking computer player (waiting for it) and clears what it showed.
    void StopWorker();
    void NewGame();
    void Navigate(Navigation where);
    void Click(int x, int y);  // a pixel of the board picture
    // The one way the user-interface thread changes the position or the record: the game is
    // stopped, the moves on their way are waited for, then `change(board, record)` runs.
    template <class Change>
    bool ChangeGame(Change change) {
        Stop();
        WaitForMoves(-1);
        return session_.Edit(change);
    }
    // Waits until no move is on its way, answering the calls sent to this thread meanwhile;
    // false after `timeoutMs` (negative: no limit).
    bool WaitForMoves(int timeoutMs);

    // Any thread: hands a move for the side to move over to a new move thread, while a game
    // runs; false when no game runs or no thread could be made.
    bool PlayMove(int square, int value, int nodes);
    PlaySettings Settings() const;
    // Whether the study commands may open a window now: not while the computer thinks, nor while
    // a running game has the computer to move or a move on its way to the board (the study
    // window would describe a position that is about to go).
    bool StudyAllowed() const;

private:
    static DWORD WINAPI ThinkThread(void* self);
    static DWORD WINAPI MoveThread(void* move);
    static void __stdcall ThinkProgress(const char* text);

    // The user-interface thread from Start, or a move thread inside its turn.
    void NextTurn();
    void ShowResult();
    void StartComputerThinking();
    void StopComputerPlayer();
    HANDLE TakeThinkThread(bool cancel);
    void ThinkAndPlay();  // the computer player's thread
    // The computer's turn is over and a person's begins (or no game runs): the study menu is
    // the user's again.
    void ReleaseStudy();

    GameFlowHost& host_;
    GameSession& session_;
    // The computer player's thread, closed once it has ended. Starting and stopping take the
    // lock, so a move thread that starts the next player and the window that stops the game
    // agree on it.
    std::mutex thinkLock_;
    HANDLE thinkThread_ = nullptr;
    SearchCancel thinkCancel_;  // the computer player's searches, and only those
    mutable std::mutex settingsLock_;
    PlaySettings settings_;
};

}  // namespace tavik::ui

#endif
