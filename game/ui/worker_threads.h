// Threads of the user interface's workers (the computer player, the move threads, the study
// searches), and how the user-interface thread waits for one without blocking the calls the
// worker sends it (status texts, list rows, captions).
#ifndef TAVIK_GAME_UI_WORKER_THREADS_H
#define TAVIK_GAME_UI_WORKER_THREADS_H

#include <windows.h>

#include "search_cancel.h"

namespace tavik::ui {

// Runs `procedure(argument)` on a new thread at `priority` (a Windows thread priority); the
// handle, or null when no thread could be made.
HANDLE StartWorker(LPTHREAD_START_ROUTINE procedure, void* argument, int priority);

// Answers the messages sent to this thread's windows, without taking posted ones.
void AnswerSentMessages();

// Waits until `thread` has ended, answering the messages sent to this thread's windows.
void WaitAnswering(HANDLE thread);

// The search thread of a study window: started at the thinking priority; stopped by cancelling
// its searches (only the ones made for this window) and waiting, answering what the thread
// sends this thread meanwhile.
class SearchThread {
public:
    SearchThread() = default;
    SearchThread(const SearchThread&) = delete;
    SearchThread& operator=(const SearchThread&) = delete;
    ~SearchThread() { Stop(); }

    bool Start(LPTHREAD_START_ROUTINE procedure, void* argument, int priority);
    void Stop();
    SearchCancel& Cancel() { return cancel_; }

private:
    HANDLE thread_ = nullptr;
    SearchCancel cancel_;
};

}  // namespace tavik::ui

#endif
