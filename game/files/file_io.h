// Writing the program's files safely: a file that is replaced is written beside the target and
// moved over it only when every byte was written, and the error log gains whole lines even when
// two reports come at once.
#ifndef TAVIK_GAME_FILES_FILE_IO_H
#define TAVIK_GAME_FILES_FILE_IO_H

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tavik {

enum class FileError {
    kNone,
    kCreate,   // the temporary file beside the target could not be created
    kWrite,    // writing or closing it failed
    kReplace,  // it could not be moved over the target
};

// A file written in pieces into a temporary file beside `path` (code page 932 on Windows) and
// moved over `path` by Commit, once every piece is written. Until then the target is as it
// was; a replacement that is not committed (or fails) leaves no temporary file behind.
class FileReplacement {
public:
    explicit FileReplacement(const std::string& path);
    ~FileReplacement();
    FileReplacement(const FileReplacement&) = delete;
    FileReplacement& operator=(const FileReplacement&) = delete;

    bool Created() const { return open_; }  // false: the temporary file could not be made
    bool Write(const void* data, size_t size);
    // kWrite when a piece was not written or the file could not be flushed and closed;
    // kReplace when it could not be moved over the target.
    FileError Commit();

private:
    void Discard();
    std::string path_, temporary_;
    bool open_ = false, failed_ = false;
    intptr_t handle_ = -1;  // a HANDLE on Windows, a descriptor elsewhere
};

// Writes `size` bytes to `path`: all of them, or nothing changes.
FileError WriteFileReplacing(const std::string& path, const void* data, size_t size);

// The whole file at `path`, at most `limit` bytes (one more is read, so a longer file shows
// as longer); nothing when it cannot be opened or read.
std::optional<std::vector<uint8_t>> ReadFileBytes(const std::string& path, size_t limit);

// Appends `line` and CR LF to the log at `path` in one write, creating the file. Reports from
// threads of this process are taken one at a time; while another process holds the file the
// append is retried for about a second. Answers false when the line could not be written.
bool AppendLogLine(const std::string& path, const std::string& line);

}  // namespace tavik

#endif
