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

FileError WriteAndReplace(const std::string& path, const std::string& temporary,
                          const void* data, size_t size) {
    HANDLE file = CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return FileError::kCreate;
    const char* bytes = static_cast<const char*>(data);
    bool ok = true;
    while (ok && size > 0) {
        const DWORD chunk = size > 0x10000000 ? 0x10000000 : static_cast<DWORD>(size);
        DWORD written = 0;
        ok = WriteFile(file, bytes, chunk, &written, nullptr) && written == chunk;
        bytes += chunk;
        size -= chunk;
    }
    ok = FlushFileBuffers(file) && ok;
    ok = CloseHandle(file) && ok;
    if (!ok) {
        DeleteFileA(temporary.c_str());
        return FileError::kWrite;
    }
    if (!MoveFileExA(temporary.c_str(), path.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        DeleteFileA(temporary.c_str());
        return FileError::kReplace;
    }
    return FileError::kNone;
}

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
    const bool ok = SetFilePointer(file, 0, nullptr, FILE_END) != INVALID_SET_FILE_POINTER &&
                    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                              nullptr) &&
                    written == bytes.size();
    return CloseHandle(file) && ok;
}

#else

FileError WriteAndReplace(const std::string& path, const std::string& temporary,
                          const void* data, size_t size) {
    const int file = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
    if (file < 0) return FileError::kCreate;
    const char* bytes = static_cast<const char*>(data);
    bool ok = true;
    while (ok && size > 0) {
        const ssize_t written = write(file, bytes, size);
        ok = written > 0;
        if (ok) {
            bytes += written;
            size -= static_cast<size_t>(written);
        }
    }
    ok = fsync(file) == 0 && ok;
    ok = close(file) == 0 && ok;
    if (!ok) {
        unlink(temporary.c_str());
        return FileError::kWrite;
    }
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        unlink(temporary.c_str());
        return FileError::kReplace;
    }
    return FileError::kNone;
}

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

FileError WriteFileReplacing(const std::string& path, const void* data, size_t size) {
    return WriteAndReplace(path, TemporaryName(path), data, size);
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
