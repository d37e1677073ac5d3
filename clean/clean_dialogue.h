// TavikClean's console dialogue, kept apart from the console and the registry so that every
// answer can be played through it on any system: it names the key, asks for confirmation,
// deletes on "Y" and waits for Enter. Console text is code page 932 bytes.
#ifndef TAVIK_CLEAN_CLEAN_DIALOGUE_H
#define TAVIK_CLEAN_CLEAN_DIALOGUE_H

#include <cstddef>
#include <functional>
#include <utility>

namespace tavik {

// The key under HKEY_CURRENT_USER where the game keeps its settings; the cleaner shares
// nothing else with the game.
inline constexpr const char kSettingsKeyPath[] = "Software\\Halvorn\\Tavik";

// Bytes kept of one answer; the rest of a longer line is read and dropped.
inline constexpr std::size_t kAnswerMax = 1024;

struct AnswerLine {
    char text[kAnswerMax];
    std::size_t length;  // bytes kept in text, the line end not included
    bool overlong;       // the line went on past kAnswerMax bytes
    bool comma;          // a comma anywhere in the line, also past kAnswerMax
};

// Fills `buffer` with up to `size` bytes of input and answers how many; 0 means the input has
// ended (or can no longer be read, which the dialogue treats the same way).
using ReadBytes = std::function<std::size_t(char* buffer, std::size_t size)>;

// Splits the input into lines. A line ends at LF, and a CR just before the LF (or just before
// the end of the input) belongs to the line end; a CR anywhere else is an ordinary byte. A last
// line without a line end still counts as a line.
class AnswerReader {
public:
    explicit AnswerReader(ReadBytes read) : read_(std::move(read)) {}

    // The next line, or false when the input ended before it had a single byte.
    bool Next(AnswerLine& line);

private:
    int NextByte();  // 0..255, or -1 at the end of the input

    ReadBytes read_;
    char buffer_[4096];
    std::size_t position_ = 0;
    std::size_t filled_ = 0;
    bool ended_ = false;
};

struct CleanConsole {
    ReadBytes read;
    std::function<void(const char* bytes, std::size_t size)> write;
    // Deletes the settings key; true when the system reports success.
    std::function<bool()> deleteKey;
};

// Runs the whole dialogue once. It returns when the closing Enter was read or the input ended;
// the end of the input before an answer counts as "N", so nothing is ever deleted without a "Y".
void RunCleanDialogue(const CleanConsole& console);

}  // namespace tavik

#endif
