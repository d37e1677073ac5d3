// The version window's text by its bytes: the line layout, the two-digit minor number, and
// engine texts that fill their whole field.
#include "version_text.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

using namespace tavik;

VersionInfo Engine(int32_t major, int32_t minor, const char* product, const char* copyright) {
    VersionInfo info{};
    info.majorVersion = major;
    info.minorVersion = minor;
    std::strcpy(info.productName, product);
    std::strcpy(info.copyright, copyright);
    std::strcpy(info.author, "not shown");
    return info;
}

TEST(VersionText, VersionNumbers) {
    const struct {
        int32_t major, minor;
        const char* text;
    } cases[] = {{2, 13, "2.13"},  {2, 1, "2.01"},   {2, 0, "2.00"},
                 {10, 9, "10.09"}, {1, 123, "1.23"}, {3, -5, "3.-5"}};
    for (const auto& c : cases)
        EXPECT_EQ(c.text, VersionNumberText(c.major, c.minor)) << c.major << "." << c.minor;
}

TEST(VersionText, TwelveLinesByTheirBytes) {
    const std::string text = VersionWindowText(Engine(2, 1, "Engine X", "(C) someone"));
    const std::string ideographicSpaces = "\x81\x40\x81\x40";
    const std::string expected =
        std::string("Tavik.exe\r\n") + "\t\x90\xbb\x95\x69\x96\xbc" + ideographicSpaces +
        " : Tavik\r\n" + "\t\x83\x6f\x81\x5b\x83\x57\x83\x87\x83\x93 : 2.13\r\n" +
        "\t\x92\x98\x8d\xec\x8c\xa0\x8f\xee\x95\xf1 : " + kProgramCopyright + "\r\n" + "\r\n" +
        "Ostrakon.dll\r\n" + "\t\x90\xbb\x95\x69\x96\xbc" + ideographicSpaces + " : Engine X\r\n" +
        "\t\x83\x6f\x81\x5b\x83\x57\x83\x87\x83\x93 : 2.01\r\n" +
        "\t\x92\x98\x8d\xec\x8c\xa0\x8f\xee\x95\xf1 : (C) someone\r\n" + "\r\n" +
        "\x8d\xec\x8e\xd2\x83\x54\x83\x43\x83\x67 : " + kAuthorSite + "\r\n" +
        "\x8d\xec\x8e\xd2\x83\x81\x81\x5b\x83\x8b : " + kAuthorMail + "\r\n";
    EXPECT_EQ(expected, text);
    EXPECT_EQ("Tavik\x82\xcc\x83\x6f\x81\x5b\x83\x57\x83\x87\x83\x93\x8f\xee\x95\xf1",
              VersionCaption());
}

TEST(VersionText, FullFieldsEndAtTheirField) {
    VersionInfo info = Engine(2, 1, "", "");
    std::memset(info.productName, 'P', sizeof info.productName);  // no terminator
    std::memset(info.copyright, 'C', sizeof info.copyright);
    const std::string text = VersionWindowText(info);
    EXPECT_NE(std::string::npos, text.find(" : " + std::string(256, 'P') + "\r\n"));
    EXPECT_NE(std::string::npos, text.find(" : " + std::string(256, 'C') + "\r\n"));
    EXPECT_EQ(std::string::npos, text.find("not shown"));
}

TEST(VersionText, TheShippedEngine) {
    VersionInfo info{};
    ASSERT_EQ(-1, GetVersionInfo(&info));
    const std::string text = VersionWindowText(info);
    EXPECT_NE(std::string::npos, text.find(" : 2.01\r\n")) << "the engine is 2.1";
    EXPECT_NE(std::string::npos, text.find(std::string(" : ") + info.productName + "\r\n"));
}

}  // namespace
