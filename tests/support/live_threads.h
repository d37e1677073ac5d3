// The threads of the running process, counted from what the system lists: a thread a test
// leaves behind shows here whoever started it.
#ifndef TAVIK_TEST_LIVE_THREADS_H
#define TAVIK_TEST_LIVE_THREADS_H

namespace tavik_test {

int LiveThreads();

}  // namespace tavik_test

#endif
