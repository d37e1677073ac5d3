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
    // The trailing "/D" of the old rule is the switch, not part of the last word's name.
    if (arguments.debugSwitch && words.size() > 1) {
        std::string& last = words.back();
        if (last != "/D" && last.size() >= 2 && last.compare(last.size() - 2, 2, "/D") == 0)
            last.resize(last.size() - 2);
    }
    // The first word is the program itself; an empty word ("") names no file. A word that
    // begins with '/' is a switch, never a path (Windows paths do not begin so): only "/D"
    // means anything, and any other is passed over as the game always passed it over.
    for (size_t i = 1; i < words.size(); ++i) {
        if (words[i] == "/D") {
            arguments.debugSwitch = true;
        } else if (!words[i].empty() && words[i][0] != '/') {
            arguments.files.push_back(words[i]);
        }
    }
    return arguments;
}

}  // namespace tavik
