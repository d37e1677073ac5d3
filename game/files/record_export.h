// The game record as text: the move list on one line, the board with each square's move
// number, and the filling of an export template with six placeholders.
#ifndef TAVIK_GAME_FILES_RECORD_EXPORT_H
#define TAVIK_GAME_FILES_RECORD_EXPORT_H

#include <string>

#include "game_record.h"

namespace tavik {

// "F5D6C3...": the recorded moves' square names, no separators; passes leave no trace.
std::string KifuString(const GameRecord& record);

// Ten lines (CR LF between them, none after the last): column letters, eight rows of move
// numbers ("()" and "##" on the centre squares' initial discs), column letters.
std::string MoveOrderTable(const GameRecord& record);

// Every occurrence of `search`, left to right; the scan resumes behind each inserted text.
std::string ReplaceAll(const std::string& text, const std::string& search,
                       const std::string& replacement);

// "templates\template.html" for HTM and HTML, else "templates\template.txt".
std::string TemplateFor(const std::string& outputPath);

struct LocalTime {
    int year, month, day, hour, minute, second;
};
std::string GeneratorText();                  // "Tavik 2.13"
std::string DateText(const LocalTime& time);  // "2007/03/05 09:04:07"

// The template with its placeholders replaced, in the fixed order of passes.
std::string FillTemplate(const std::string& templateText, const GameRecord& record,
                         const LocalTime& time);

enum class ExportError {
    kNone,
    kTemplate,  // the template could not be read; no output file was made
    kOutput,    // the output file could not be written; whatever was there stays
};

// Fills the template that suits `outputPath` (from `programDirectory`, which ends in a folder
// separator) and writes the result to `outputPath` through a temporary file.
ExportError ExportRecordToFile(const std::string& outputPath, const std::string& programDirectory,
                               const GameRecord& record, const LocalTime& time);

}  // namespace tavik

#endif
