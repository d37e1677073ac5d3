#include "record_export.h"

#include <cstdio>
#include <fstream>
#include <iterator>

#include "file_io.h"
#include "paths.h"
#include "texts.h"

namespace tavik {

namespace {

// A name up to its terminating zero, and never past its field.
std::string NameText(const char (&field)[kNameBytes]) {
    size_t length = 0;
    while (length < sizeof field && field[length] != 0) ++length;
    return std::string(field, length);
}

}  // namespace

std::string KifuString(const GameRecord& record) {
    std::string text;
    const int count = RecordedMoves(record);
    for (int i = 0; i < count; ++i) {
        const int32_t square = record.moves[i].square;
        text += SquareName(square);
    }
    return text;
}

std::string MoveOrderTable(const GameRecord& record) {
    int number[92] = {};
    const int count = RecordedMoves(record);
    for (int i = 0; i < count; ++i) {
        const int32_t square = record.moves[i].square;
        if (square >= 0 && square < 92) number[square] = i + 1;
    }
    const std::string letters = "   A  B  C  D  E  F  G  H";
    std::string table = letters + "\r\n";
    // Cells 10..81 in order: the first cell of a row opens it with its label, the border cell
    // that follows the row's eighth square closes it.
    for (int cell = 10; cell <= 81; ++cell) {
        if (cell % 9 == 1) table += std::to_string(cell / 9) + " |";
        if (cell % 9 == 0) {
            table += " " + std::to_string((cell - 1) / 9) + "\r\n";
            continue;
        }
        char field[3];
        if (number[cell] != 0) {
            std::snprintf(field, sizeof field, "%2d", number[cell]);
        } else if (cell == 40 || cell == 50) {
            std::snprintf(field, sizeof field, "()");  // white at the start
        } else if (cell == 41 || cell == 49) {
            std::snprintf(field, sizeof field, "##");  // black at the start
        } else {
            std::snprintf(field, sizeof field, "  ");
        }
        table += std::string(field) + "|";
    }
    return table + letters;
}

std::string ReplaceAll(const std::string& text, const std::string& search,
                       const std::string& replacement) {
    if (search.empty()) return text;
    std::string result;
    size_t from = 0;
    for (size_t at = text.find(search); at != std::string::npos; at = text.find(search, from)) {
        result.append(text, from, at - from);
        result += replacement;
        from = at + search.size();
    }
    result.append(text, from, std::string::npos);
    return result;
}

std::string TemplateFor(const std::string& outputPath) {
    const std::string extension = UpperExtension(outputPath);
    return extension == "HTM" || extension == "HTML" ? "templates\\template.html"
                                                     : "templates\\template.txt";
}

std::string GeneratorText() { return "Tavik 2.13"; }

std::string DateText(const LocalTime& t) {
    char text[64];
    std::snprintf(text, sizeof text, "%d/%02d/%02d %02d:%02d:%02d", t.year, t.month, t.day, t.hour,
                  t.minute, t.second);
    return text;
}

std::string FillTemplate(const std::string& templateText, const GameRecord& record,
                         const LocalTime& time) {
    // Later passes also see what earlier ones inserted: that order is part of the format.
    std::string text = ReplaceAll(templateText, "$GENERATOR$", GeneratorText());
    text = ReplaceAll(text, "$DATE$", DateText(time));
    text = ReplaceAll(text, "$BLACK_PLAYER$", NameText(record.blackName));
    text = ReplaceAll(text, "$WHITE_PLAYER$", NameText(record.whiteName));
    text = ReplaceAll(text, "$KIFU_STRING$", KifuString(record));
    return ReplaceAll(text, "$MOVE_ORDER_TABLE$", MoveOrderTable(record));
}

ExportError ExportRecordToFile(const std::string& outputPath, const std::string& programDirectory,
                               const GameRecord& record, const LocalTime& time) {
    std::string templatePath = programDirectory + TemplateFor(outputPath);
#ifndef _WIN32
    for (char& ch : templatePath) {
        if (ch == '\\') ch = '/';  // the template's relative path is written the Windows way
    }
#endif
    std::ifstream in(templatePath, std::ios::binary);
    if (!in) return ExportError::kTemplate;
    const std::string templateText{std::istreambuf_iterator<char>(in),
                                   std::istreambuf_iterator<char>()};
    const std::string output = FillTemplate(templateText, record, time);
    return WriteFileReplacing(outputPath, output.data(), output.size()) == FileError::kNone
               ? ExportError::kNone
               : ExportError::kOutput;
}

}  // namespace tavik
