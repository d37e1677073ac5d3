#include "report_error.h"

#include <windows.h>

#include "file_io.h"
#include "paths.h"

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
    return DirectoryOf(std::string(path, length < sizeof path ? length : 0));
}

}  // namespace tavik::ui
