// Where the program's own files lie (the manual, the record templates): beside its executable,
// wherever the current directory is.
#ifndef TAVIK_GAME_UI_PROGRAM_DIRECTORY_H
#define TAVIK_GAME_UI_PROGRAM_DIRECTORY_H

#include <string>

namespace tavik::ui {

// The folder of the program's own file, ending in "\".
std::string ProgramDirectory();

}  // namespace tavik::ui

#endif
