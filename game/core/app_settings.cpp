#include "app_settings.h"

namespace tavik {

AppSettings DefaultAppSettings(const std::string& loginName) {
    AppSettings settings;
    settings.black = DefaultPlayer(1, loginName);
    settings.white = DefaultPlayer(-1, loginName);
    return settings;
}

namespace {

constexpr const char* kDwordNames[kDwordValues] = {"BoardNumber",
                                                   "StoneNumber",
                                                   "ShowPossiblePosition",
                                                   "DesignateAutoPlay",
                                                   "ThinkThreadPriority",
                                                   "BlackThinkDepth",
                                                   "WhiteThinkDepth",
                                                   "StudyThinkDepth",
                                                   "BlackThinkWinDepth",
                                                   "WhiteThinkWinDepth",
                                                   "StudyThinkWinDepth",
                                                   "BlackThinkPerfectDepth",
                                                   "WhiteThinkPerfectDepth",
                                                   "StudyThinkPerfectDepth",
                                                   "ShowKifu",
                                                   "IsBlackComputer",
                                                   "IsWhiteComputer"};

constexpr int32_t kPriorities[kPriorityItems] = {-15, -2, -1, 0, 1, 2, 15};

}  // namespace

const char* DwordValueName(int index) {
    return index >= 0 && index < kDwordValues ? kDwordNames[index] : nullptr;
}

int32_t* DwordValueField(AppSettings& s, int index) {
    int32_t* fields[kDwordValues] = {
        &s.boardNumber,        &s.stoneNumber,         &s.showPossiblePosition,
        &s.designateAutoPlay,  &s.thinkThreadPriority, &s.black.normalDepth,
        &s.white.normalDepth,  &s.study.normalDepth,   &s.black.winDepth,
        &s.white.winDepth,     &s.study.winDepth,      &s.black.perfectDepth,
        &s.white.perfectDepth, &s.study.perfectDepth,  &s.showKifu,
        &s.black.isComputer,   &s.white.isComputer};
    return index >= 0 && index < kDwordValues ? fields[index] : nullptr;
}

const int32_t* DwordValueField(const AppSettings& s, int index) {
    return DwordValueField(const_cast<AppSettings&>(s), index);  // the same fields, only read
}

int32_t BoardDesignOf(int32_t stored) { return stored >= 1 && stored <= 3 ? stored : 1; }
int32_t StoneDesignOf(int32_t stored) { return stored == 2 ? 2 : 1; }

int32_t PriorityOfItem(int item) {
    return item >= 0 && item < kPriorityItems ? kPriorities[item] : 0;
}

int PriorityItemOf(int32_t priority) {
    for (int i = 0; i < kPriorityItems; ++i)
        if (kPriorities[i] == priority) return i;
    return -1;
}

void NormaliseStored(AppSettings& settings) {
    settings.boardNumber = BoardDesignOf(settings.boardNumber);
    settings.stoneNumber = StoneDesignOf(settings.stoneNumber);
    if (PriorityItemOf(settings.thinkThreadPriority) < 0) settings.thinkThreadPriority = 0;
}

}  // namespace tavik
