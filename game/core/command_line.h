// The game's only command-line switch: a command line whose last two characters are exactly
// "/D" (upper case) makes the RealTime thread priority available. Nothing else of the command
// line is read; a file named on it is not opened.
#ifndef TAVIK_GAME_CORE_COMMAND_LINE_H
#define TAVIK_GAME_CORE_COMMAND_LINE_H

namespace tavik {

bool HasDebugSwitch(const char* commandLine);  // a null command line has none

}  // namespace tavik

#endif
