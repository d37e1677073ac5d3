// Pasted text and the command line are outside bytes too. Besides memory safety this checks
// what the game relies on: a refused transcript leaves the record exactly as it was, an
// accepted one holds exactly its moves and nothing else, and the quote of an unreadable word
// is short and never ends inside a double-byte character.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "board_functions.h"
#include "command_line.h"
#include "game_record.h"
#include "texts.h"
#include "transcript.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    static tavik::GameRecord record;
    std::memset(&record, 0x5A, sizeof record);
    static tavik::GameRecord before;
    before = record;

    const tavik::TranscriptResult result = tavik::ParseTranscriptText(text, record);
    if (!result.ok) {
        if (std::memcmp(&before, &record, sizeof record) != 0)
            std::abort();  // refused, yet touched
        if (result.message.empty()) std::abort();
        if (result.refusal == tavik::TranscriptRefusal::kUnreadable) {
            const std::string& quote = result.detail;
            if (quote.size() > 16) std::abort();
            for (size_t i = 0; i < quote.size(); ++i) {
                if (tavik::IsCp932LeadByte(static_cast<unsigned char>(quote[i])) &&
                    ++i == quote.size())
                    std::abort();  // a lead byte without its second byte
            }
        }
    } else {
        if (result.moves < 1 || result.moves != tavik::RecordedMoves(record)) std::abort();
        if (record.blackName[0] || record.whiteName[0]) std::abort();
        BoardState board;
        tavik::ReplayMoves(record, result.moves, board);
        if (tavik::CountCells(board, 0) != 60 - result.moves) std::abort();  // every move played
    }

    // The command line: a C string, so up to the first zero byte.
    const std::string line(text.c_str());
    const tavik::StartupArguments arguments = tavik::ReadCommandLine(line.c_str());
    for (const std::string& file : arguments.files) {
        if (file.empty() || file == "/D" || file.find('"') != std::string::npos) std::abort();
    }
    return 0;
}
