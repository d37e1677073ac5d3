// The progress texts of a search, recorded by a callback that has no user data: each thread
// records into the vector of the search it is running, if any.
//
// The thread_local is a plain pointer on purpose. A thread_local vector crashed the 64-bit
// Windows tests at the exit of a thread that had recorded texts: the MinGW threads library's
// clean-up of the thread's thread_local storage freed a bad pointer, in up to half the runs
// under load, while the engine's helper threads were allocating the exceptions that end their
// stale searches. With a pointer, which has no destructor, it never did. The game's own
// thread_locals are plain pointers too.
#ifndef TAVIK_TEST_PROGRESS_TEXTS_H
#define TAVIK_TEST_PROGRESS_TEXTS_H

#include <string>
#include <vector>

#include "ostrakon.h"

namespace tavik_test {

inline thread_local std::vector<std::string>* tProgressTexts = nullptr;

inline void OSTRAKON_CALL RecordProgressText(const char* text) {
    if (tProgressTexts) tProgressTexts->push_back(text);
}

// Records the texts of this thread's searches into `texts` for the recorder's lifetime.
class ProgressTexts {
public:
    explicit ProgressTexts(std::vector<std::string>& texts) { tProgressTexts = &texts; }
    ~ProgressTexts() { tProgressTexts = nullptr; }
    ProgressTexts(const ProgressTexts&) = delete;
    ProgressTexts& operator=(const ProgressTexts&) = delete;
};

}  // namespace tavik_test

#endif
