#include "clean_dialogue.h"

#include <cstring>

namespace tavik {

int AnswerReader::NextByte() {
    if (position_ == filled_) {
        if (ended_) return -1;
        filled_ = read_(buffer_, sizeof buffer_);
        position_ = 0;
        if (filled_ == 0) {
            // Never ask again after the end: a console's end of input (Ctrl+Z) is not sticky, and
            // a reader that asked again could block the program at the closing prompt.
            ended_ = true;
            return -1;
        }
    }
    return static_cast<unsigned char>(buffer_[position_++]);
}

bool AnswerReader::Next(AnswerLine& line) {
    line.length = 0;
    line.overlong = false;
    line.comma = false;
    bool anyByte = false;
    bool pendingCr = false;
    auto keep = [&line](char c) {
        if (c == ',') line.comma = true;
        if (line.length < kAnswerMax)
            line.text[line.length++] = c;
        else
            line.overlong = true;
    };
    for (;;) {
        const int c = NextByte();
        if (c < 0) {
            if (!anyByte) return false;
            break;
        }
        anyByte = true;
        if (c == '\n') break;
        // A CR is held back one byte: before LF or the end it is part of the line end.
        if (pendingCr) keep('\r');
        pendingCr = c == '\r';
        if (!pendingCr) keep(static_cast<char>(c));
    }
    return true;
}

namespace {

// The console texts. Japanese literals are compiled to code page 932 bytes.
constexpr char kKeyLineStart[] = "レジストリのキー : 'HKEY_CURRENT_USER\\";
constexpr char kKeyLineEnd[] = "'を削除します。\r\n";
constexpr char kQuestion[] = "よろしいですか？[Y/N]\r\n";
constexpr char kPrompt[] = "? ";
// The reader's complaint ends with a bare LF, unlike every other line of the dialogue.
constexpr char kTooManyItems[] = "入力データの個数が多すぎます\n";
constexpr char kDeleting[] = "削除しています...\r\n";
constexpr char kSucceeded[] = "削除に成功しました。\r\n";
constexpr char kFailed[] = "削除に失敗しました。\r\n";
constexpr char kClosing[] = "終了します。エンターキーを押してください。\r\n";

// Upper-casing the answer matters only for one-byte answers: anything longer is neither "Y"
// nor "N", so a double-byte character is never folded by mistake.
char OneLetterAnswer(const AnswerLine& line) {
    if (line.overlong || line.length != 1) return 0;
    const char c = line.text[0];
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

}  // namespace

void RunCleanDialogue(const CleanConsole& console) {
    auto say = [&console](const char* text) { console.write(text, std::strlen(text)); };
    AnswerReader reader(console.read);
    AnswerLine line;

    say(kKeyLineStart);
    say(kSettingsKeyPath);
    say(kKeyLineEnd);
    say(kQuestion);
    for (;;) {
        say(kPrompt);
        if (!reader.Next(line)) break;  // no answer will come: leave the key alone
        if (line.comma) {
            say(kTooManyItems);
            continue;
        }
        const char answer = OneLetterAnswer(line);
        if (answer == 'Y') {
            say(kDeleting);
            say(console.deleteKey() ? kSucceeded : kFailed);
            break;
        }
        if (answer == 'N') break;
    }
    say(kClosing);
    say(kPrompt);
    // Only the Enter matters here; whatever was typed before it, commas included, is ignored.
    reader.Next(line);
}

}  // namespace tavik
