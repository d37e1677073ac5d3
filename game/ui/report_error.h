// Failures the user must know about, and where the program's own files lie.
#ifndef TAVIK_GAME_UI_REPORT_ERROR_H
#define TAVIK_GAME_UI_REPORT_ERROR_H

#include <string>

namespace tavik::ui {

// A message box captioned "エラー発生", then the same line appended to "error.log" in the
// current directory. Any thread.
void ReportError(const char* message);

// The folder of the program's own file, ending in "\".
std::string ProgramDirectory();

}  // namespace tavik::ui

#endif
