// Writing the program's files safely: a file that is replaced is written beside the target and
// moved over it only when every byte was written, and the error log gains whole lines even when
// two reports come at once.
#ifndef TAVIK_GAME_FILES_FILE_IO_H
#define TAVIK_GAME_FILES_FILE_IO_H

#include <cstddef>
#include <string>

namespace tavik {

enum class FileError {
    kNone,
    kCreate,   // the temporary file beside the target could not be created
    kWrite,    // writing or closing it failed
    kReplace,  // it could not be moved over the target
};

// Writes `size` bytes to `path` (code page 932 on Windows): all of them, or nothing changes.
// On failure the target is as it was and the temporary file is gone.
FileError WriteFileReplacing(const std::string& path, const void* data, size_t size);

// Appends `line` and CR LF to the log at `path` in one write, creating the file. Reports from
// threads of this process are taken one at a time; while another process holds the file the
// append is retried for about a second. Answers false when the line could not be written.
bool AppendLogLine(const std::string& path, const std::string& line);

}  // namespace tavik

#endif
