// Game transcripts as people paste them: moves from the initial position in the notations of
// web pages, chat and other programs, Tavik's own export and the command-line tool's listing.
// A transcript is read whole or not at all, and a refusal says why in Japanese.
#ifndef TAVIK_GAME_CORE_TRANSCRIPT_H
#define TAVIK_GAME_CORE_TRANSCRIPT_H

#include <cstddef>
#include <string>

#include "game_record.h"

namespace tavik {

constexpr size_t kMaxTranscriptBytes = 100000;

enum class TranscriptRefusal {
    kNone,
    kTooLong,        // more than kMaxTranscriptBytes
    kDiagram,        // a board diagram, not moves
    kNoMoves,        // nothing that is a move
    kUnreadable,     // a word that is no move, pass or move number
    kIllegalMove,    // a move the rules refuse where it stands
    kPassNotForced,  // a pass where the side to move has a move (or the pass was given already)
    kAfterEnd,       // a move or pass after neither side can move
    kCountMismatch,  // the listing's "moves  N" disagrees with its moves
};

struct TranscriptResult {
    bool ok = false;
    int moves = 0;  // moves accepted (on success: the game's length)
    // On refusal: one sentence in code page 932 for a message box, and the same reason for
    // callers with texts of their own.
    std::string message;
    TranscriptRefusal refusal = TranscriptRefusal::kNone;
    // The text at fault: the quoted start of an unreadable word, the square of an illegal move
    // or of one after the end, the count the listing states.
    std::string detail;
};

// Reads `text` (code page 932 bytes) as a game from the initial position. On success `record`
// holds exactly the moves, each with the side that played it, and nothing else; on refusal it
// is not touched.
TranscriptResult ParseTranscriptText(const std::string& text, GameRecord& record);

}  // namespace tavik

#endif
