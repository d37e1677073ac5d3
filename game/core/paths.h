// Paths as the program handles them: code page 932 bytes with '\' (or '/') between folders.
// A two-byte character's second byte may be 0x5C, the code of '\', so every scan walks the
// text a character at a time.
#ifndef TAVIK_GAME_CORE_PATHS_H
#define TAVIK_GAME_CORE_PATHS_H

#include <string>

namespace tavik {

// The characters behind the last '.' of a path, upper-cased; empty when a '\' or '/' comes
// first from the end, or when there is no dot.
std::string UpperExtension(const std::string& path);

// The folder of a file's path: everything up to its last '\' or '/', ending in '\' (a '\' is
// added when the folder part does not end in one, so a bare name gives "\").
std::string DirectoryOf(const std::string& path);

}  // namespace tavik

#endif
