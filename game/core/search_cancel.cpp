#include "search_cancel.h"

#include <algorithm>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/syscall.h>
#include <unistd.h>
#endif

#include "ostrakon.h"

namespace tavik {

namespace {

// The task whose Scope is innermost on this thread; the engine's callbacks carry no context.
thread_local const SearchCancel* tTask = nullptr;

}  // namespace

int32_t CurrentThreadId() {
#ifdef _WIN32
    return static_cast<int32_t>(GetCurrentThreadId());
#else
    return static_cast<int32_t>(syscall(SYS_gettid));
#endif
}

void SearchCancel::Cancel() {
    cancelled_ = true;
    std::lock_guard<std::mutex> hold(lock_);
    for (const int32_t thread : threads_) CancelThink(thread);
}

SearchCancel::Scope::Scope(SearchCancel& cancel)
    : cancel_(cancel), outer_(tTask), thread_(CurrentThreadId()) {
    {
        std::lock_guard<std::mutex> hold(cancel_.lock_);
        cancel_.threads_.push_back(thread_);
    }
    tTask = &cancel_;
}

SearchCancel::Scope::~Scope() {
    tTask = outer_;
    std::lock_guard<std::mutex> hold(cancel_.lock_);
    auto& threads = cancel_.threads_;
    threads.erase(std::find(threads.begin(), threads.end(), thread_));
}

bool SearchCancel::PassOn() {
    if (!tTask || !tTask->Cancelled()) return false;
    CancelThink(CurrentThreadId());
    return true;
}

}  // namespace tavik
