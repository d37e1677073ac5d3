#include "paths.h"

#include "texts.h"

namespace tavik {

namespace {

// Where the last folder separator ('\\' or '/') is, walking a character at a time: in code page
// 932 the second byte of a two-byte character may be 0x5C and must not be taken for one.
size_t LastSeparator(const std::string& path) {
    size_t last = std::string::npos;
    for (size_t i = 0; i < path.size(); ++i) {
        const unsigned char ch = static_cast<unsigned char>(path[i]);
        if (IsCp932LeadByte(ch))
            ++i;
        else if (ch == '\\' || ch == '/')
            last = i;
    }
    return last;
}

}  // namespace

std::string UpperExtension(const std::string& path) {
    const size_t separator = LastSeparator(path);
    size_t lastDot = std::string::npos;
    std::string upper = path;
    for (size_t i = separator == std::string::npos ? 0 : separator + 1; i < path.size(); ++i) {
        const unsigned char ch = static_cast<unsigned char>(path[i]);
        if (IsCp932LeadByte(ch)) {
            ++i;
            continue;
        }
        if (ch == '.') lastDot = i;
        if (ch >= 'a' && ch <= 'z') upper[i] = static_cast<char>(ch - 'a' + 'A');
    }
    return lastDot == std::string::npos ? "" : upper.substr(lastDot + 1);
}

std::string DirectoryOf(const std::string& path) {
    const size_t separator = LastSeparator(path);
    std::string directory = separator == std::string::npos ? "" : path.substr(0, separator + 1);
    if (directory.empty() || directory.back() != '\\') directory += '\\';
    return directory;
}

}  // namespace tavik
