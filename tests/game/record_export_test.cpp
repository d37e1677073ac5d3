// The record as text: move list, move-order table, template filling and the template choice.
#include "record_export.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>

#include "paths.h"
#include "texts.h"

namespace {

using namespace tavik;

std::unique_ptr<GameRecord> Record(const std::vector<int>& squares) {
    auto record = std::make_unique<GameRecord>();
    ClearRecord(*record);
    for (size_t i = 0; i < squares.size(); ++i) {
        RecordMove(*record, static_cast<int>(i + 1), i % 2 ? -1 : 1, squares[i], 0, 0, 0, "");
    }
    return record;
}

const char* kLetters = "   A  B  C  D  E  F  G  H";

TEST(Export, EmptyRecord) {
    const auto record = Record({});
    EXPECT_EQ("", KifuString(*record));
    std::string expected = std::string(kLetters) + "\r\n";
    for (int r = 1; r <= 8; ++r) {
        std::string cells = "  |  |  |  |  |  |  |  |";
        if (r == 4) cells = "  |  |  |()|##|  |  |  |";
        if (r == 5) cells = "  |  |  |##|()|  |  |  |";
        expected += std::to_string(r) + " |" + cells + " " + std::to_string(r) + "\r\n";
    }
    expected += kLetters;
    EXPECT_EQ(expected, MoveOrderTable(*record));
}

TEST(Export, MoveNumbersOnTheirSquares) {
    const auto record = Record({51, 58, 30});  // f5 d6 c3
    EXPECT_EQ("F5D6C3", KifuString(*record));
    const std::string table = MoveOrderTable(*record);
    // row 5 after F5: 29 characters
    EXPECT_NE(std::string::npos, table.find("\r\n5 |  |  |  |##|()| 1|  |  | 5\r\n"));
    EXPECT_NE(std::string::npos, table.find("\r\n6 |  |  |  | 2|  |  |  |  | 6\r\n"));
    EXPECT_NE(std::string::npos, table.find("\r\n3 |  |  | 3|  |  |  |  |  | 3\r\n"));
    EXPECT_EQ(25u + 8 * 29 + 25 + 9 * 2, table.size()) << "ten lines, nine CR LF";
}

TEST(Export, ReplaceAllScansOnlyOnce) {
    struct Case {
        const char* text;
        const char* search;
        const char* replacement;
        const char* result;
    } cases[] = {
        {"aXbXc", "X", "YY", "aYYbYYc"},
        {"XXX", "XX", "X", "XX"},
        {"abc", "X", "Y", "abc"},
        {"", "X", "Y", ""},
        {"$A$A$", "$A$", "$A$$A$", "$A$$A$A$"},
        {"aXa", "X", "X", "aXa"},
    };
    for (const Case& c : cases) EXPECT_EQ(c.result, ReplaceAll(c.text, c.search, c.replacement));
}

TEST(Export, TemplateChoice) {
    struct Case {
        const char* path;
        const char* extension;
        const char* templ;
    } cases[] = {
        {"C:\\kifu\\game.HTM", "HTM", "templates\\template.html"},
        {"C:\\kifu\\game.Html", "HTML", "templates\\template.html"},
        {"C:\\kifu\\game.txt", "TXT", "templates\\template.txt"},
        {"C:\\kifu\\game", "", "templates\\template.txt"},
        {"C:\\kifu.html\\game", "", "templates\\template.txt"},
        {"game", "", "templates\\template.txt"},
        // the second byte of the katakana "so" is a backslash; it is no folder separator
        {"C:\\\x83\x5c.html", "HTML", "templates\\template.html"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.extension, UpperExtension(c.path)) << c.path;
        EXPECT_EQ(c.templ, TemplateFor(c.path)) << c.path;
    }
}

TEST(Export, DirectoryOfAPath) {
    const char* cases[][2] = {
        {"C:\\Games\\Tavik\\Tavik.exe", "C:\\Games\\Tavik\\"},
        {"C:\\Tavik.exe", "C:\\"},
        {"Z:/work/Tavik.exe", "Z:/work/\\"},
        {"Tavik.exe", "\\"},
        // "表" ends in 0x5C: the folder is the one that holds it, not a cut inside it
        {"C:\\\x95\x5c\\Tavik.exe", "C:\\\x95\x5c\\"},
        {"C:\\\x95\x5c.exe", "C:\\"},
    };
    for (const auto& c : cases) EXPECT_EQ(c[1], DirectoryOf(c[0])) << c[0];
}

TEST(Export, FillTemplate) {
    auto record = Record({51, 58});
    std::strcpy(record->blackName, "$DATE$");
    std::strcpy(record->whiteName, "$KIFU_STRING$<&>");
    const LocalTime time{2007, 3, 5, 9, 4, 7};
    EXPECT_EQ("2007/03/05 09:04:07", DateText(time));
    EXPECT_EQ("Tavik 2.13", GeneratorText());
    EXPECT_EQ("by Tavik 2.13 at 2007/03/05 09:04:07, 2007/03/05 09:04:07\nB $DATE$ W F5D6<&> F5D6",
              FillTemplate("by $GENERATOR$ at $DATE$, $DATE$\nB $BLACK_PLAYER$ W $WHITE_PLAYER$ "
                           "$KIFU_STRING$",
                           *record, time));
    EXPECT_EQ("", FillTemplate("", *record, time));
    EXPECT_EQ("no placeholders $ here", FillTemplate("no placeholders $ here", *record, time));
    // a name without its terminator never reads past its field
    std::memset(record->blackName, 'k', kNameBytes);
    EXPECT_EQ(std::string(kNameBytes, 'k'), FillTemplate("$BLACK_PLAYER$", *record, time));
}

}  // namespace

// The shipped templates: code page 932 text with CR LF lines that uses every placeholder.
namespace {

std::string ReadTemplate(const std::string& name) {
    std::ifstream in(std::string(TAVIK_TEMPLATES_DIR) + "/" + name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(Export, ShippedTemplates) {
    for (const char* name : {"template.txt", "template.html"}) {
        SCOPED_TRACE(name);
        const std::string text = ReadTemplate(name);
        ASSERT_FALSE(text.empty());
        for (const char* placeholder : {"$GENERATOR$", "$DATE$", "$BLACK_PLAYER$", "$WHITE_PLAYER$",
                                        "$KIFU_STRING$", "$MOVE_ORDER_TABLE$"}) {
            EXPECT_NE(std::string::npos, text.find(placeholder)) << placeholder;
        }
        for (size_t i = 0; i < text.size(); ++i) {
            const unsigned char ch = static_cast<unsigned char>(text[i]);
            if (tavik::IsCp932LeadByte(ch)) {
                ASSERT_LT(i + 1, text.size());
                const unsigned char trail = static_cast<unsigned char>(text[++i]);
                ASSERT_TRUE((trail >= 0x40 && trail <= 0x7E) || (trail >= 0x80 && trail <= 0xFC))
                    << "byte " << i;
            } else if (ch == '\n') {
                ASSERT_TRUE(i > 0 && text[i - 1] == '\r') << "a bare line feed at byte " << i;
            }
        }
    }
    // the HTML shows the table preformatted, exactly as the text form
    auto record = std::make_unique<tavik::GameRecord>();
    tavik::ClearRecord(*record);
    const std::string html =
        tavik::FillTemplate(ReadTemplate("template.html"), *record, {2026, 12, 8, 3, 4, 5});
    EXPECT_NE(std::string::npos, html.find("<pre class=\"board\">\r\n   A  B  C"));
    EXPECT_NE(std::string::npos, html.find("2026/12/08 03:04:05"));
}

}  // namespace

namespace {

TEST(Export, ExportToFile) {
    auto record = std::make_unique<tavik::GameRecord>();
    tavik::ClearRecord(*record);
    tavik::RecordMove(*record, 1, 1, 51, 0, 0, 0, "");
    const tavik::LocalTime time{2026, 1, 2, 3, 4, 5};
    const std::string program = std::string(TAVIK_TEMPLATES_DIR) + "/../";
    ASSERT_EQ(tavik::ExportError::kNone,
              tavik::ExportRecordToFile("export_test.html", program, *record, time));
    std::ifstream html("export_test.html", std::ios::binary);
    const std::string text{std::istreambuf_iterator<char>(html), std::istreambuf_iterator<char>()};
    EXPECT_NE(std::string::npos, text.find("F5"));
    EXPECT_NE(std::string::npos, text.find("<html"));

    // no template: nothing is written
    std::remove("export_test_none.txt");
    EXPECT_EQ(tavik::ExportError::kTemplate,
              tavik::ExportRecordToFile("export_test_none.txt", "no-such-folder/", *record, time));
    EXPECT_FALSE(std::ifstream("export_test_none.txt").good());
    // an output that cannot be written is reported
    EXPECT_EQ(tavik::ExportError::kOutput,
              tavik::ExportRecordToFile("no-such-folder/out.txt", program, *record, time));
}

}  // namespace
