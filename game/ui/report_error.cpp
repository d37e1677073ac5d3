#include "report_error.h"

#include <windows.h>

#include "file_io.h"

namespace tavik::ui {

void ReportError(const char* message, ErrorReport how) {
    if (how == ErrorReport::kBitmapStep) {
        MessageBoxA(nullptr, message, "エラー", MB_OK | MB_ICONERROR);
        return;
    }
    MessageBoxA(nullptr, message, "エラー発生", MB_OK);
    // The log lies in the current directory; a line that cannot be written is given up
    // quietly, since the box has told the user already.
    AppendLogLine("error.log", message);
}

}  // namespace tavik::ui
