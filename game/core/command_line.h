// The game's command line. Its one switch, "/D", makes the RealTime thread priority available;
// every other word names a file to open.
#ifndef TAVIK_GAME_CORE_COMMAND_LINE_H
#define TAVIK_GAME_CORE_COMMAND_LINE_H

#include <string>
#include <vector>

namespace tavik {

// The command line's last two characters are exactly "/D" (upper case); a null command line
// has none.
bool HasDebugSwitch(const char* commandLine);

struct StartupArguments {
    bool debugSwitch = false;
    std::vector<std::string> files;
};

// The whole command line as GetCommandLineA gives it (program first, possibly quoted). A null
// command line gives nothing.
StartupArguments ReadCommandLine(const char* commandLine);

}  // namespace tavik

#endif
