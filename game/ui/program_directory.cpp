#include "program_directory.h"

#include <windows.h>

#include "paths.h"

namespace tavik::ui {

std::string ProgramDirectory() {
    char path[2048];
    const DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    return DirectoryOf(std::string(path, length < sizeof path ? length : 0));
}

}  // namespace tavik::ui
