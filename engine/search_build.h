// Which build of the search (types.h) the Thinks run: the portable one, which every processor
// of the architecture runs, or, on x86-64, the one compiled for AVX2, BMI2 and POPCNT. The two
// give the same answers, node counts and progress texts; only the speed differs.
#ifndef OSTRAKON_SEARCH_BUILD_H
#define OSTRAKON_SEARCH_BUILD_H

namespace ostrakon {

enum class SearchBuild { kPortable, kAvx2 };

// "portable" or "avx2".
const char* SearchBuildName(SearchBuild build);

// Whether this program holds `build` and the processor can run it.
bool SearchBuildRuns(SearchBuild build);

// The build a Think that starts now runs. Chosen at the first Think: the AVX2 build where it
// runs, unless the environment variable OSTRAKON_PORTABLE is set to anything but "0" (a way
// to compare the two, or to rule the AVX2 build out should a processor misreport it).
SearchBuild CurrentSearchBuild();

// Tests: the Thinks that start from now on run `build`. Answers false, changing nothing, when
// the build does not run here.
bool UseSearchBuild(SearchBuild build);

}  // namespace ostrakon

#endif
