#include "command_line.h"

#include <cstring>

namespace tavik {

bool HasDebugSwitch(const char* commandLine) {
    const size_t length = commandLine ? std::strlen(commandLine) : 0;
    return length >= 2 && std::strcmp(commandLine + length - 2, "/D") == 0;
}

}  // namespace tavik
