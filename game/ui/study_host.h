// What the study windows (evaluation and best move) ask of the game they study: the position,
// the study depths, and whether and how a move they found is played.
#ifndef TAVIK_GAME_UI_STUDY_HOST_H
#define TAVIK_GAME_UI_STUDY_HOST_H

#include "ostrakon.h"
#include "player_settings.h"

namespace tavik::ui {

class StudyHost {
public:
    // Any thread. The main window is disabled while a study window is open, so the position
    // read at the start of a search is the one still shown at its end.
    virtual BoardState Board() const = 0;
    // User-interface thread: the study depths and the thinking threads' priority, as set now.
    virtual StudyDepths StudyDepthsSet() const = 0;
    virtual int ThinkPriority() const = 0;
    // Any thread: whether a move found may be played now (a game runs and the computer is not
    // thinking), and handing it over to the game.
    virtual bool MayPlayStudiedMove() const = 0;
    virtual bool PlayMove(int square, int value, int nodes) = 0;

protected:
    ~StudyHost() = default;
};

}  // namespace tavik::ui

#endif
