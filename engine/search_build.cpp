// The choice of the search's build, the entry points that follow it, and what both builds
// call back into. Compiled once, in the portable part of the engine: this is the code that
// must run before anything is known about the processor.
#include "search_build.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "search.h"

namespace ostrakon {

#if defined(OSTRAKON_AVX2_BUILD)
// search.cpp compiled with OSTRAKON_ISA=avx2 (engine/CMakeLists.txt).
namespace avx2 {
bool ThinkInBuild(const BoardState& board, int32_t depth, bool forceSearch,
                  ProgressCallback callback, ThinkResult& result, const SearchOptions& options);
}  // namespace avx2
#endif

namespace {

bool ProcessorRunsAvx2Build() {
#if defined(OSTRAKON_AVX2_BUILD)
    // The compiler's run-time library reads CPUID, and for AVX2 also whether the system saves
    // the wide registers on a thread switch.
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2") && __builtin_cpu_supports("bmi2") &&
           __builtin_cpu_supports("popcnt");
#else
    return false;
#endif
}

SearchBuild ChosenBuild() {
    const char* portable = std::getenv("OSTRAKON_PORTABLE");
    if (portable && *portable && std::strcmp(portable, "0") != 0) return SearchBuild::kPortable;
    return ProcessorRunsAvx2Build() ? SearchBuild::kAvx2 : SearchBuild::kPortable;
}

// The tests' choice, -1 while they made none.
std::atomic<int> gUsed{-1};

}  // namespace

const char* SearchBuildName(SearchBuild build) {
    return build == SearchBuild::kAvx2 ? "avx2" : "portable";
}

bool SearchBuildRuns(SearchBuild build) {
    static const bool avx2 = ProcessorRunsAvx2Build();
    return build == SearchBuild::kPortable || avx2;
}

SearchBuild CurrentSearchBuild() {
    static const SearchBuild chosen = ChosenBuild();
    const int used = gUsed.load(std::memory_order_relaxed);
    return used < 0 ? chosen : static_cast<SearchBuild>(used);
}

bool UseSearchBuild(SearchBuild build) {
    if (!SearchBuildRuns(build)) return false;
    gUsed.store(static_cast<int>(build), std::memory_order_relaxed);
    return true;
}

bool ThinkPosition(const BoardState& board, int32_t depth, bool forceSearch,
                   ProgressCallback callback, ThinkResult& result, const SearchOptions& options) {
#if defined(OSTRAKON_AVX2_BUILD)
    if (CurrentSearchBuild() == SearchBuild::kAvx2)
        return avx2::ThinkInBuild(board, depth, forceSearch, callback, result, options);
#endif
    return portable::ThinkInBuild(board, depth, forceSearch, callback, result, options);
}

void ReportProgress(ProgressCallback callback, const char* mode, int first, int percent) {
    char text[64];
    std::snprintf(text, sizeof text, "%s(深さ%d) %d%%", mode, first, percent);
    callback(text);
}

int32_t ThinkCall(const BoardState& board, int32_t depth, ThinkResult& result, bool forceSearch,
                  ProgressCallback callback, const SearchOptions& options) {
    ThinkResult out;
    try {
        if (ThinkPosition(board, depth, forceSearch, callback, out, options)) result = out;
    } catch (const SearchCancelled&) {
        return 0;  // ended on request: the result stays as it was
    }
    return -1;
}

}  // namespace ostrakon
