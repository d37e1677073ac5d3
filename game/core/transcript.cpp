// Reading a pasted transcript, in three steps.
//
// 1. Shape. The length is checked before anything else (a paste can be a whole web page). A
//    board diagram is recognised and refused by name: people paste the tool's diagram hoping
//    for a position, and "move 1 is unreadable" would not tell them why. The command-line
//    tool's listing ("black  NAME", "white  NAME", "moves  N  F5D6...", a line per move) is
//    narrowed to the moves after its count; the names are never read as moves.
// 2. Words. Separators are whitespace, commas and single hyphens. A column letter with a row
//    digit right after it is a move (either case, no separator needed: "f5d6"). "--" and "pass"
//    (any case) are passes. A run of digits anywhere else is a move number and is skipped with
//    the dots after it ("1. f5", "1...d6"), which also lets a closing score like "33-31" pass.
// 3. Rules. Each move is played with the engine. When the side to move then has no move but the
//    other has, the turn passes at once, as transcripts leave passes out; a pass word may stand
//    for that pass, once, right there, and nowhere else.
//
// Moves are collected aside and reach the record only when the whole text has been read, so a
// refusal leaves the caller's game as it was.
#include "transcript.h"

#include <array>
#include <cstring>

#include "board_functions.h"
#include "texts.h"

namespace tavik {

namespace {

constexpr char kLead[] = "棋譜を貼り付けられませんでした。";
constexpr size_t kQuoteBytes = 16;

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}
bool IsSeparator(char c) { return IsSpace(c) || c == ','; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsRowDigit(char c) { return c >= '1' && c <= '8'; }

int ColumnOf(char c) {
    if (c >= 'a' && c <= 'h') return c - 'a';
    if (c >= 'A' && c <= 'H') return c - 'A';
    return -1;
}

// The second byte of a double-byte character in code page 932.
bool IsCp932TrailByte(unsigned char byte) {
    return (byte >= 0x40 && byte <= 0x7E) || (byte >= 0x80 && byte <= 0xFC);
}

// A byte that is a whole character on its own: printable ASCII or a half-width katakana.
bool IsCp932SingleCharacter(unsigned char byte) {
    return (byte >= 0x20 && byte <= 0x7E) || (byte >= 0xA1 && byte <= 0xDF);
}

// The 64 squares of the diagram the tool reads (X or * black, O white, - or . empty), on one
// line or on eight, and perhaps the side to move after them.
bool IsDiagram(const std::string& text) {
    static const char kSquares[] = "XxOo*-.";
    std::string squares;
    for (char c : text) {
        if (IsSpace(c)) continue;
        if (squares.size() == 65) return false;
        squares += c;
    }
    if (squares.size() < 64) return false;
    for (size_t i = 0; i < 64; ++i) {
        if (!std::strchr(kSquares, squares[i]) || squares[i] == '\0') return false;
    }
    return squares.size() == 64 || (squares[64] != '\0' && std::strchr("XxOo*", squares[64]));
}

bool StartsWith(const std::string& text, size_t at, const char* prefix) {
    return text.compare(at, std::strlen(prefix), prefix) == 0;
}

// The tool's listing: after "black  " come the names, which may hold anything, then the moves
// line, then the per-move lines, which start with their numbers. So the moves line is the last
// line that starts "moves  ". Narrows [begin, end) to its moves and gives the stated count.
bool FindListingMoves(const std::string& text, size_t& begin, size_t& end, int& stated) {
    size_t at = 0;
    while (at < text.size() && IsSpace(text[at])) ++at;
    if (!StartsWith(text, at, "black  ")) return false;
    const size_t white = text.find("\nwhite  ", at);
    const size_t moves = text.rfind("\nmoves  ");
    if (white == std::string::npos || moves == std::string::npos || moves < white) return false;
    size_t i = moves + 8;
    const size_t digits = i;
    while (i < text.size() && IsDigit(text[i]) && i - digits < 3) ++i;
    if (i == digits || !StartsWith(text, i, "  ")) return false;
    stated = std::stoi(text.substr(digits, i - digits));
    begin = i + 2;
    end = text.find_first_of("\r\n", begin);
    if (end == std::string::npos) end = text.size();
    return true;
}

struct Played {
    int side;
    int cell;
};

struct Reading {
    BoardState board = InitialBoard();
    std::array<Played, kMaxMoves> played{};
    int count = 0;
    bool passOwed = false;  // the turn just passed by itself and no pass word stood for it yet
    TranscriptRefusal refusal = TranscriptRefusal::kNone;
    std::string detail;
    bool detailCut = false;
};

bool Refuse(Reading& r, TranscriptRefusal refusal, std::string detail) {
    r.refusal = refusal;
    r.detail = std::move(detail);
    return false;
}

bool Play(Reading& r, int cell) {
    // 60 moves fill the board, so a game that goes on has room in `played`
    if (r.count == kMaxMoves || IsGameOver(r.board))
        return Refuse(r, TranscriptRefusal::kAfterEnd, SquareName(cell));
    const int side = r.board.sideToMove;
    if (!ReverseStones(&r.board, cell))
        return Refuse(r, TranscriptRefusal::kIllegalMove, SquareName(cell));
    r.played[r.count++] = {side, cell};
    r.passOwed = IsForcedPass(r.board);
    if (r.passOwed) r.board.sideToMove = -r.board.sideToMove;
    return true;
}

bool Pass(Reading& r, const std::string& word) {
    if (IsGameOver(r.board)) return Refuse(r, TranscriptRefusal::kAfterEnd, word);
    if (!r.passOwed) return Refuse(r, TranscriptRefusal::kPassNotForced, word);
    r.passOwed = false;
    return true;
}

// The word at `at` as the message quotes it: at most kQuoteBytes bytes, and never half of a
// double-byte character, whose lead byte would swallow the message's closing bracket. A byte
// that is no whole character (a lead byte without its second byte, a control) shows as '?'.
bool Unreadable(Reading& r, const std::string& text, size_t at, size_t end) {
    std::string quote;
    size_t i = at;
    while (i < end && !IsSeparator(text[i])) {
        const auto byte = static_cast<unsigned char>(text[i]);
        size_t width = 1;
        std::string character = "?";
        if (IsCp932LeadByte(byte) && i + 1 < end &&
            IsCp932TrailByte(static_cast<unsigned char>(text[i + 1]))) {
            width = 2;
            character = text.substr(i, 2);
        } else if (IsCp932SingleCharacter(byte)) {
            character = text.substr(i, 1);
        }
        if (quote.size() + character.size() > kQuoteBytes) {
            r.detailCut = true;
            break;
        }
        quote += character;
        i += width;
    }
    return Refuse(r, TranscriptRefusal::kUnreadable, quote);
}

bool ReadWords(Reading& r, const std::string& text, size_t begin, size_t end) {
    size_t i = begin;
    while (i < end) {
        const char c = text[i];
        if (IsSeparator(c)) {
            ++i;
            continue;
        }
        if (c == '-') {
            size_t run = 1;
            while (i + run < end && text[i + run] == '-') ++run;
            if (run > 2) return Unreadable(r, text, i, end);
            if (run == 2 && !Pass(r, "--")) return false;
            i += run;
            continue;
        }
        // A row digit is taken with its letter below, so digits met here start a move number.
        if (IsDigit(c)) {
            while (i < end && IsDigit(text[i])) ++i;
            while (i < end && text[i] == '.') ++i;
            continue;
        }
        const int column = ColumnOf(c);
        if (column >= 0 && i + 1 < end && IsRowDigit(text[i + 1])) {
            if (!Play(r, CellOf(column, text[i + 1] - '1'))) return false;
            i += 2;
            continue;
        }
        if (end - i >= 4) {
            std::string word = text.substr(i, 4);
            for (char& ch : word) ch = static_cast<char>(ch >= 'A' && ch <= 'Z' ? ch + 32 : ch);
            if (word == "pass") {
                if (!Pass(r, text.substr(i, 4))) return false;
                i += 4;
                continue;
            }
        }
        return Unreadable(r, text, i, end);
    }
    return true;
}

TranscriptResult Refused(TranscriptRefusal refusal, const std::string& reason, int moves = 0,
                         const std::string& detail = "") {
    TranscriptResult result;
    result.moves = moves;
    result.refusal = refusal;
    result.detail = detail;
    result.message = kLead + reason;
    return result;
}

}  // namespace

TranscriptResult ParseTranscriptText(const std::string& text, GameRecord& record) {
    if (text.size() > kMaxTranscriptBytes) {
        return Refused(
            TranscriptRefusal::kTooLong,
            "棋譜が長すぎます（" + std::to_string(kMaxTranscriptBytes) + "バイトまでです）。");
    }
    if (IsDiagram(text)) {
        return Refused(
            TranscriptRefusal::kDiagram,
            "盤面の図は貼り付けられません。貼り付けられるのは、初期配置からの棋譜（f5d6c3"
            "のような手の並び）だけです。");
    }
    size_t begin = 0, end = text.size();
    int stated = 0;
    const bool listing = FindListingMoves(text, begin, end, stated);

    Reading r;
    if (!ReadWords(r, text, begin, end)) {
        const std::string move = std::to_string(r.count + 1) + "手目";
        std::string reason;
        switch (r.refusal) {
            case TranscriptRefusal::kUnreadable:
                reason = move + "が読めません（「" + r.detail + (r.detailCut ? "…" : "") + "」）。";
                break;
            case TranscriptRefusal::kIllegalMove:
                reason = move + "の" + r.detail + "には打てません。";
                break;
            case TranscriptRefusal::kPassNotForced:
                reason = move + "でパスはできません（打てる手があります）。";
                break;
            default:  // kAfterEnd, the only other refusal of the words
                reason = move + "：対局はすでに終わっています。";
                break;
        }
        return Refused(r.refusal, reason, r.count, r.detail);
    }
    if (r.count == 0) return Refused(TranscriptRefusal::kNoMoves, "棋譜に手が一つもありません。");
    if (listing && stated != r.count) {
        return Refused(TranscriptRefusal::kCountMismatch,
                       "手数が合いません（" + std::to_string(stated) + "手とありますが、手は" +
                           std::to_string(r.count) + "手です）。",
                       r.count, std::to_string(stated));
    }

    ClearRecord(record);
    for (int i = 0; i < r.count; ++i)
        RecordMove(record, i + 1, r.played[i].side, r.played[i].cell, 0, 0, 0, "");
    TranscriptResult result;
    result.ok = true;
    result.moves = r.count;
    return result;
}

}  // namespace tavik
