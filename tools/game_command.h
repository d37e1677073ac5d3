// tavik-cli game: game files (.tvk) from the command line.
#ifndef TAVIK_TOOLS_GAME_COMMAND_H
#define TAVIK_TOOLS_GAME_COMMAND_H

#include <string>
#include <vector>

namespace tavik_tools {

// `args` are the words after "game":
//   show FILE                      names, transcript and every move's figures
//   validate FILE                  "ok", or the reason the game would refuse the file
//   make TRANSCRIPT FILE [--black NAME] [--white NAME]
//   export FILE OUTPUT [--program-dir DIR]   the record through DIR/templates (default: .)
// Answers the exit status: 0 done, 1 a file that is not a sound game file (validate, show),
// 2 bad input, with one line in `error`.
int GameCommand(const std::vector<std::string>& args, std::string& error);

}  // namespace tavik_tools

#endif
