#include "worker_threads.h"

namespace tavik::ui {

HANDLE StartWorker(LPTHREAD_START_ROUTINE procedure, void* argument, int priority) {
    DWORD id;
    // Made suspended, so the priority holds from the thread's first instruction.
    HANDLE thread = CreateThread(nullptr, 0, procedure, argument, CREATE_SUSPENDED, &id);
    if (!thread) return nullptr;
    SetThreadPriority(thread, priority);
    ResumeThread(thread);
    return thread;
}

void AnswerSentMessages() {
    MSG message;
    PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
}

void WaitAnswering(HANDLE thread) {
    for (;;) {
        const DWORD got = MsgWaitForMultipleObjects(1, &thread, FALSE, INFINITE, QS_SENDMESSAGE);
        if (got != WAIT_OBJECT_0 + 1) return;
        AnswerSentMessages();
    }
}

bool SearchThread::Start(LPTHREAD_START_ROUTINE procedure, void* argument, int priority) {
    cancel_.Reset();
    thread_ = StartWorker(procedure, argument, priority);
    return thread_ != nullptr;
}

void SearchThread::Stop() {
    if (!thread_) return;
    cancel_.Cancel();
    WaitAnswering(thread_);
    CloseHandle(thread_);
    thread_ = nullptr;
}

}  // namespace tavik::ui
