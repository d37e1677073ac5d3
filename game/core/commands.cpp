#include "commands.h"

namespace tavik {

bool StudyModeOf(unsigned command, StudyMode& mode) {
    switch (command) {
        case kCmdEvaluate:
            mode = StudyMode::kEvaluate;
            return true;
        case kCmdWinSearch:
            mode = StudyMode::kWinLoss;
            return true;
        case kCmdPerfectSearch:
            mode = StudyMode::kPerfect;
            return true;
        case kCmdOpenness:
            mode = StudyMode::kOpenness;
            return true;
        default:
            return false;
    }
}

}  // namespace tavik
