#include "version_text.h"

#include <cstring>

namespace tavik {

namespace {

template <size_t N>
std::string FieldText(const char (&field)[N]) {
    return std::string(field, strnlen(field, N));
}

// The three lines that describe one file; the labels line up in a fixed-width look, which is
// why the product label is padded with two ideographic spaces.
std::string Facts(const std::string& product, const std::string& version,
                  const std::string& copyright) {
    return "\t製品名　　 : " + product + "\r\n" + "\tバージョン : " + version + "\r\n" +
           "\t著作権情報 : " + copyright + "\r\n";
}

}  // namespace

std::string VersionNumberText(int32_t major, int32_t minor) {
    const std::string padded = "0" + std::to_string(minor);
    return std::to_string(major) + "." + padded.substr(padded.size() - 2);
}

std::string VersionCaption() { return std::string("Tavik") + "のバージョン情報"; }

std::string VersionWindowText(const VersionInfo& engine) {
    return "Tavik.exe\r\n" +
           Facts("Tavik", VersionNumberText(kProgramMajorVersion, kProgramMinorVersion),
                 kProgramCopyright) +
           "\r\n" + "Ostrakon.dll\r\n" +
           Facts(FieldText(engine.productName),
                 VersionNumberText(engine.majorVersion, engine.minorVersion),
                 FieldText(engine.copyright)) +
           "\r\n" + "作者サイト : " + kAuthorSite + "\r\n" + "作者メール : " + kAuthorMail + "\r\n";
}

}  // namespace tavik
