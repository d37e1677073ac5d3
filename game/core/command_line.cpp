#include "command_line.h"

#include <cstring>

namespace tavik {

bool HasDebugSwitch(const char* commandLine) {
    const size_t length = commandLine ? std::strlen(commandLine) : 0;
    return length >= 2 && std::strcmp(commandLine + length - 2, "/D") == 0;
}

StartupArguments ReadCommandLine(const char* commandLine) {
    StartupArguments arguments;
    if (!commandLine) return arguments;
    // The trailing "/D" keeps its old meaning even where it ends a word ("x/D").
    arguments.debugSwitch = HasDebugSwitch(commandLine);

    // Words as Windows splits them in the plain cases: spaces and tabs separate, a pair of
    // double quotes groups (a path with spaces) and is dropped. Backslashes are kept as they
    // are, which is what a path needs; Windows' escaping of quotes by backslashes is not read.
    std::vector<std::string> words;
    const char* p = commandLine;
    while (*p) {
        while (*p == ' ' || *p == '\t') ++p;
        if (!*p) break;
        std::string word;
        bool quoted = false;
        for (; *p && (quoted || (*p != ' ' && *p != '\t')); ++p) {
            if (*p == '"') {
                quoted = !quoted;
            } else {
                word += *p;
            }
        }
        words.push_back(word);
    }
    // The first word is the program itself; an empty word ("") names no file.
    for (size_t i = 1; i < words.size(); ++i) {
        if (words[i] == "/D") {
            arguments.debugSwitch = true;
        } else if (!words[i].empty()) {
            arguments.files.push_back(words[i]);
        }
    }
    return arguments;
}

}  // namespace tavik
