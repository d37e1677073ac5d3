// Matches between engines that speak GTP: ours in this process, or any engine as a child process.
// A referee keeps the true board, asks the side to move for its move, checks it, and tells the
// other side; an engine that dies, hangs past its time, answers garbage or plays an illegal move
// loses that game, and a broken child is started afresh for the next.
#ifndef TAVIK_TOOLS_MATCH_H
#define TAVIK_TOOLS_MATCH_H

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "ostrakon.h"

namespace tavik_tools {

class MatchPlayer {
public:
    virtual ~MatchPlayer() = default;
    virtual const std::string& Name() const = 0;
    // Sends one GTP command and waits at most `timeoutSeconds` for its answer. True with the
    // text after "= "; false with `error` holding the engine's "? " message or what went wrong
    // with it (it died, it hung, it answered garbage). After a failure of the engine itself the
    // player is broken until Restart.
    virtual bool Ask(const std::string& command, double timeoutSeconds, std::string& answer,
                     std::string& error) = 0;
    virtual bool Broken() const { return false; }
    virtual bool Restart(std::string& error) { return error.empty(); }
};

// "tavik:PRESET" (weak, normal, strong, or N/W/P depths; "tavik:PRESET:no-book" without the
// book) or "gtp:COMMAND LINE". Answers null with `error` set for anything else.
std::unique_ptr<MatchPlayer> MakeMatchPlayer(const std::string& description, std::string& error);

struct GameOutcome {
    std::vector<int> moves;  // every move from the initial position, opening included
    int blackDiscs = 0;
    int whiteDiscs = 0;
    int winner = 0;     // +1 black, -1 white, 0 draw
    std::string fault;  // empty for a game played to its end, else who lost it and why
    double longestThink[2] = {0, 0};  // black, white, in seconds
    double totalThink[2] = {0, 0};
};

// Plays one game from the opening (cells from the initial position; a colour without a move is
// skipped, never told "pass", as engines without a pass command expect).
GameOutcome PlayMatchGame(MatchPlayer& black, MatchPlayer& white, const std::vector<int>& opening,
                          double moveTimeoutSeconds);

// `plies` random legal moves from the initial position, drawn from `seed`, never ending the game.
std::vector<int> RandomOpening(int plies, uint32_t seed);

struct EloEstimate {
    double score;  // points per game, 0..1
    double elo;    // difference to the opponent
    double low;    // 95 % interval
    double high;
};
// From wins, draws and losses (a score of 0 or 1 gives infinite values).
EloEstimate EstimateElo(int wins, int draws, int losses);

// The `tavik-cli match` command: arguments after "match". Answers the exit status; `error`
// holds the one line for bad arguments.
int MatchCommand(const std::vector<std::string>& args, std::string& error);

}  // namespace tavik_tools

#endif
