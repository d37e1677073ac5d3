#include "file_io.h"
#include "ui.h"

namespace tavik::ui {

void ReportError(const char* message) {
    MessageBoxA(nullptr, message, "エラー発生", MB_OK);
    // The log lies in the current directory; a line that cannot be written is given up
    // quietly, since the box has told the user already.
    AppendLogLine("error.log", message);
}

std::string ProgramDirectory() {
    char path[2048];
    const DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    std::string directory(path, length < sizeof path ? length : 0);
    // Walk characters, not bytes: the second byte of a two-byte character may be 0x5C.
    size_t cut = 0;
    for (size_t i = 0; i < directory.size(); ++i) {
        if (IsDBCSLeadByteEx(932, static_cast<BYTE>(directory[i])) && i + 1 < directory.size()) {
            ++i;
        } else if (directory[i] == '\\') {
            cut = i + 1;
        }
    }
    directory.resize(cut);
    if (directory.empty() || directory.back() != '\\') directory += '\\';
    return directory;
}

}  // namespace tavik::ui
