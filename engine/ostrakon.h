// Ostrakon: the Reversi thinking library. This is the only header the game program sees.
//
// Every record that crosses the boundary has a fixed layout of 32-bit little-endian integers,
// and every export is a plain C function. On 32-bit Windows the exports use __stdcall and are
// exported under their undecorated names (exports.txt); elsewhere they have C linkage.
// Truth values are -1 (true) and 0 (false).
#ifndef OSTRAKON_OSTRAKON_H
#define OSTRAKON_OSTRAKON_H

#include <stddef.h>
#include <stdint.h>

#if defined(_WIN32) && !defined(_WIN64)
#define OSTRAKON_CALL __stdcall
#else
#define OSTRAKON_CALL
#endif

#if defined(_WIN32)
#define OSTRAKON_API
#else
#define OSTRAKON_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

// A 91-cell mailbox plus the side to move. The playable square in row r (0..7, shown 1..8) and
// column c (0..7, shown A..H) is cell 10 + 9r + c; cells 0..9, 18, 27, ..., 72 and 81..90 are
// the border and hold 0xFFFF. Cell values: 0 empty, +1 black, -1 white. sideToMove: +1 black,
// -1 white. A move is named by its cell (10..80); 0 means no move.
typedef struct BoardState {
    int32_t cells[91];
    int32_t sideToMove;
} BoardState;

typedef struct ThinkResult {
    int32_t move;   // chosen cell, 0 = none
    int32_t value;  // score of the chosen move from black's point of view
    int32_t nodes;  // positions scored during the call
} ThinkResult;

// What ThinkResult.value holds, from black's point of view. An evaluation is the plain number
// the search found. A finished game scores OSTRAKON_VALUE_WIN plus the disc
// margin for black's win, the negation of that for white's win, and +-OSTRAKON_VALUE_DRAW for a
// draw; the win/loss search gives the bare +-OSTRAKON_VALUE_WIN or +-OSTRAKON_VALUE_DRAW. When
// the side to move has no legal move the value is -OSTRAKON_VALUE_NO_MOVE * sideToMove.
#define OSTRAKON_VALUE_WIN 65536
#define OSTRAKON_VALUE_DRAW 65535
#define OSTRAKON_VALUE_NO_MOVE 16777215

typedef struct VersionInfo {
    int32_t majorVersion;
    int32_t minorVersion;
    char productName[256];          // code page 932, zero-terminated
    char copyright[256];
    char productNameJapanese[256];
    char author[256];
} VersionInfo;

// Receives a zero-terminated status text in code page 932, valid only during the call.
typedef void(OSTRAKON_CALL* ProgressCallback)(const char* text);

// -1 if the side to move may play on `cell`, else 0. The board is not changed.
OSTRAKON_API int32_t OSTRAKON_CALL CanDrop(const BoardState* board, int32_t cell);

// Plays `cell` for the side to move and answers -1; answers 0 and leaves the board alone when
// the move is not legal.
OSTRAKON_API int32_t OSTRAKON_CALL ReverseStones(BoardState* board, int32_t cell);

// Fills the record and answers -1.
OSTRAKON_API int32_t OSTRAKON_CALL GetVersionInfo(VersionInfo* info);

// Static score of the position from the side to move's point of view: weighted mobility of both
// colours plus the four edges. The board is only read.
OSTRAKON_API int32_t OSTRAKON_CALL EvalSituation(BoardState* board);

// Searches the position and writes the best move, its score from black's point of view and the
// number of positions scored. depth > 0: normal search of that many plies; 0: win/loss/draw
// search to the end; < 0: perfect search of the final disc difference. With forceSearch 0 and
// at most one legal move it answers at once. `callback` (may be null) is called before each
// root move. Answers -1, or 0 when the search was ended by CancelThink (the result then stays
// as it was).
OSTRAKON_API int32_t OSTRAKON_CALL Think(const BoardState* board, int32_t depth, ThinkResult* result,
                                         int32_t forceSearch, ProgressCallback callback);

// Asks the Think that the thread `threadId` is running at this moment to end soon (within about
// a thousand positions), with every helper thread of that search. `threadId` is the system's
// identifier of the thread that called Think: GetCurrentThreadId() on Windows, gettid()
// elsewhere. Searches of other threads, and searches that thread starts afterwards, go on
// untouched, so one window can stop its own search while the computer player or another study
// search thinks. This lets a caller stop a thinking thread without killing it, so no lock or
// table is left taken. Answers -1 when a search of that thread was running, else 0 (it had not
// begun yet, or had ended: a caller that may be early keeps a flag of its own and checks it in
// the progress callback, which Think calls before each root move).
OSTRAKON_API int32_t OSTRAKON_CALL CancelThink(int32_t threadId);

// How many empty squares border the discs that `cell` would turn (each counted once per turned
// neighbour); 0 exactly when the move is not legal.
OSTRAKON_API int32_t OSTRAKON_CALL GetOpenness(const BoardState* board, int32_t cell);

// The opening book's move for the game so far. `moves` points to at least 64 bytes: the cells of
// the moves played, in order, zero-terminated (passes are not written). `side` is the side to
// move, +1 black or -1 white. The book serves all four first moves through the board's
// symmetries. Writes the move in the caller's orientation, its book value from the side to
// move's point of view and the number of book positions scored, and answers the move: 51 (F5)
// for the empty line, 0 with a result of (0, 0, 0) when the book has no continuation, the first
// move is none of the four or `side` is not +-1. Among equally good continuations one is drawn
// at random, seeded from the clock in whole seconds, so calls within one second on one line
// agree. The answer is not checked against a board; test it with CanDrop before playing it.
OSTRAKON_API int32_t OSTRAKON_CALL ThinkBook(const char* moves, ThinkResult* result, int32_t side);

#ifdef __cplusplus
}  // extern "C"

static_assert(sizeof(BoardState) == 368, "BoardState is 92 int32");
static_assert(offsetof(BoardState, sideToMove) == 364, "sideToMove is element 91");
static_assert(sizeof(ThinkResult) == 12, "ThinkResult is three int32");
static_assert(offsetof(ThinkResult, value) == 4 && offsetof(ThinkResult, nodes) == 8,
              "ThinkResult field order");
static_assert(sizeof(VersionInfo) == 1032, "VersionInfo is two int32 and four 256-byte texts");
static_assert(offsetof(VersionInfo, productName) == 8 && offsetof(VersionInfo, copyright) == 264 &&
                  offsetof(VersionInfo, productNameJapanese) == 520 &&
                  offsetof(VersionInfo, author) == 776,
              "VersionInfo field offsets");
#endif

#endif  // OSTRAKON_OSTRAKON_H
