// Failures the user must know about.
#ifndef TAVIK_GAME_UI_REPORT_ERROR_H
#define TAVIK_GAME_UI_REPORT_ERROR_H

namespace tavik::ui {

enum class ErrorReport {
    // A message box captioned "エラー発生", then the same line appended to "error.log" in the
    // current directory.
    kLogged,
    // A box captioned "エラー" with the error icon, and nothing logged: a failing step of a
    // bitmap save, whose caller then reports the save as a whole (logged).
    kBitmapStep,
};

// Any thread.
void ReportError(const char* message, ErrorReport how = ErrorReport::kLogged);

// A worker that thinks for the computer or the study windows could not be started.
inline constexpr char kThinkThreadFailure[] = "思考スレッドの作成に失敗しました。";

}  // namespace tavik::ui

#endif
