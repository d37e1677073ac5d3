#include "file_io.h"

#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#endif

namespace tavik {

namespace {

// A name beside the target that no other writer of this process uses at the same time.
std::string TemporaryName(const std::string& path) {
    static std::atomic<unsigned> counter{0};
#ifdef _WIN32
    const unsigned long process = GetCurrentProcessId();
#else
    const unsigned long process = static_cast<unsigned long>(getpid());
#endif
    return path + ".tmp" + std::to_string(process) + "-" + std::to_string(counter++);
}

#ifdef _WIN32

// False while another process holds the log (no sharing), so the caller may try again.
bool TryAppend(const std::string& path, const std::string& bytes, bool& held) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        held = GetLastError() == ERROR_SHARING_VIOLATION;
        return false;
    }
    held = false;
    DWORD written = 0;
    const bool ok =
        SetFilePointer(file, 0, nullptr, FILE_END) != INVALID_SET_FILE_POINTER &&
        WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
        written == bytes.size();
    return CloseHandle(file) && ok;
}

#else

bool TryAppend(const std::string& path, const std::string& bytes, bool& held) {
    held = false;
    const int file = open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    if (file < 0) return false;
    const bool ok = write(file, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
    return close(file) == 0 && ok;
}

#endif

std::mutex gLogMutex;

}  // namespace

#ifdef _WIN32

FileReplacement::FileReplacement(const std::string& path)
    : path_(path), temporary_(TemporaryName(path)) {
    HANDLE file = CreateFileA(temporary_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    open_ = file != INVALID_HANDLE_VALUE;
    handle_ = reinterpret_cast<intptr_t>(file);
}

bool FileReplacement::Write(const void* data, size_t size) {
    const char* bytes = static_cast<const char*>(data);
    while (open_ && !failed_ && size > 0) {
        const DWORD chunk = size > 0x10000000 ? 0x10000000 : static_cast<DWORD>(size);
        DWORD written = 0;
        failed_ = !WriteFile(reinterpret_cast<HANDLE>(handle_), bytes, chunk, &written, nullptr) ||
                  written != chunk;
        bytes += chunk;
        size -= chunk;
    }
    return open_ && !failed_;
}

FileError FileReplacement::Commit() {
    if (!open_) return FileError::kCreate;
    HANDLE file = reinterpret_cast<HANDLE>(handle_);
    bool ok = !failed_ && FlushFileBuffers(file);
    ok = CloseHandle(file) && ok;
    open_ = false;
    if (!ok) {
        DeleteFileA(temporary_.c_str());
        return FileError::kWrite;
    }
    if (!MoveFileExA(temporary_.c_str(), path_.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        DeleteFileA(temporary_.c_str());
        return FileError::kReplace;
    }
    return FileError::kNone;
}

void FileReplacement::Discard() {
    if (!open_) return;
    CloseHandle(reinterpret_cast<HANDLE>(handle_));
    DeleteFileA(temporary_.c_str());
    open_ = false;
}

std::optional<std::vector<uint8_t>> ReadFileBytes(const std::string& path, size_t limit) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return std::nullopt;
    std::vector<uint8_t> bytes(limit + 1);
    size_t got = 0;
    bool ok = true;
    while (ok && got < bytes.size()) {
        const size_t left = bytes.size() - got;
        DWORD read = 0;
        ok = ReadFile(file, bytes.data() + got,
                      left > 0x10000000 ? 0x10000000 : static_cast<DWORD>(left), &read,
                      nullptr) != 0;
        if (read == 0) break;
        got += read;
    }
    CloseHandle(file);
    if (!ok) return std::nullopt;
    bytes.resize(got);
    return bytes;
}

#else

FileReplacement::FileReplacement(const std::string& path)
    : path_(path), temporary_(TemporaryName(path)) {
    handle_ = open(temporary_.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
    open_ = handle_ >= 0;
}

bool FileReplacement::Write(const void* data, size_t size) {
    const char* bytes = static_cast<const char*>(data);
    while (open_ && !failed_ && size > 0) {
        const ssize_t written = write(static_cast<int>(handle_), bytes, size);
        failed_ = written <= 0;
        if (!failed_) {
            bytes += written;
            size -= static_cast<size_t>(written);
        }
    }
    return open_ && !failed_;
}

FileError FileReplacement::Commit() {
    if (!open_) return FileError::kCreate;
    const int file = static_cast<int>(handle_);
    bool ok = !failed_ && fsync(file) == 0;
    ok = close(file) == 0 && ok;
    open_ = false;
    if (!ok) {
        unlink(temporary_.c_str());
        return FileError::kWrite;
    }
    if (std::rename(temporary_.c_str(), path_.c_str()) != 0) {
        unlink(temporary_.c_str());
        return FileError::kReplace;
    }
    return FileError::kNone;
}

void FileReplacement::Discard() {
    if (!open_) return;
    close(static_cast<int>(handle_));
    unlink(temporary_.c_str());
    open_ = false;
}

std::optional<std::vector<uint8_t>> ReadFileBytes(const std::string& path, size_t limit) {
    const int file = open(path.c_str(), O_RDONLY);
    if (file < 0) return std::nullopt;
    std::vector<uint8_t> bytes(limit + 1);
    size_t got = 0;
    bool ok = true;
    while (got < bytes.size()) {
        const ssize_t n = read(file, bytes.data() + got, bytes.size() - got);
        if (n < 0) ok = false;
        if (n <= 0) break;
        got += static_cast<size_t>(n);
    }
    close(file);
    if (!ok) return std::nullopt;
    bytes.resize(got);
    return bytes;
}

#endif

FileReplacement::~FileReplacement() { Discard(); }

FileError WriteFileReplacing(const std::string& path, const void* data, size_t size) {
    FileReplacement file(path);
    if (!file.Created()) return FileError::kCreate;
    file.Write(data, size);
    return file.Commit();
}

bool AppendLogLine(const std::string& path, const std::string& line) {
    const std::string bytes = line + "\r\n";
    const std::lock_guard<std::mutex> lock(gLogMutex);
    for (int attempt = 0; attempt < 40; ++attempt) {
        bool held = false;
        if (TryAppend(path, bytes, held)) return true;
        if (!held) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(25));
    }
    return false;
}

}  // namespace tavik
