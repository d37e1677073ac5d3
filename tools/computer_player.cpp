#include "computer_player.h"

#include <array>
#include <cstdio>

#include "player_settings.h"

namespace tavik_tools {

std::string ParseComputerDepths(const std::string& text, ComputerDepths& depths) {
    const struct {
        const char* name;
        tavik::Preset preset;
    } kPresets[] = {{"weak", tavik::Preset::kWeak},
                    {"normal", tavik::Preset::kNormal},
                    {"strong", tavik::Preset::kStrong}};
    for (const auto& preset : kPresets) {
        if (text != preset.name) continue;
        tavik::PlayerSettings player;
        tavik::ApplyPreset(player, preset.preset);
        depths.normal = player.normalDepth;
        depths.win = player.winDepth;
        depths.perfect = player.perfectDepth;
        return "";
    }
    int normal = 0, win = 0, perfect = 0;
    char end = 0;
    if (std::sscanf(text.c_str(), "%d/%d/%d%c", &normal, &win, &perfect, &end) != 3 || normal < 1 ||
        normal > 60 || win < 0 || win > 60 || perfect < 0 || perfect > 60) {
        return "'" + text + "' is no preset (weak, normal, strong) nor depths N/W/P";
    }
    depths.normal = normal;
    depths.win = win;
    depths.perfect = perfect;
    return "";
}

int32_t ComputerMove(const BoardState& board, const std::vector<char>* line,
                     const ComputerDepths& depths, ThinkResult* result) {
    ThinkResult found{0, 0, 0};
    if (depths.book && line != nullptr && line->size() < 64) {
        std::array<char, 64> bytes{};
        std::copy(line->begin(), line->end(), bytes.begin());
        ThinkBook(bytes.data(), &found, board.sideToMove);
    }
    if (!CanDrop(&board, found.move)) {
        int empty = 0;
        for (int cell = 10; cell <= 80; ++cell) empty += board.cells[cell] == 0;
        found = {0, 0, 0};
        Think(&board, tavik::EngineDepth(depths.normal, depths.win, depths.perfect, empty), &found,
              0, nullptr);
    }
    if (result != nullptr) *result = found;
    return found.move;
}

}  // namespace tavik_tools
