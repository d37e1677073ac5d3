// TavikClean.exe: deletes the game's settings key after asking on the console. The dialogue
// itself is in clean_dialogue.cpp; this file only connects it to the standard handles and the
// registry.
#include <windows.h>

#include "clean_dialogue.h"

namespace {

// The standard handles are read and written as raw bytes: through a pipe or a file the bytes
// pass unchanged, and a console shows them in its code page, which is switched to 932 for the
// run and put back afterwards so the console that started us is left as it was.
class ConsoleCodePage {
public:
    ConsoleCodePage() : input_(GetConsoleCP()), output_(GetConsoleOutputCP()) {
        if (input_ != 0) SetConsoleCP(932);
        if (output_ != 0) SetConsoleOutputCP(932);
    }
    ~ConsoleCodePage() {
        if (input_ != 0) SetConsoleCP(input_);
        if (output_ != 0) SetConsoleOutputCP(output_);
    }
    ConsoleCodePage(const ConsoleCodePage&) = delete;
    ConsoleCodePage& operator=(const ConsoleCodePage&) = delete;

private:
    UINT input_;  // 0 when there is no console
    UINT output_;
};

}  // namespace

int main() {
    const HANDLE in = GetStdHandle(STD_INPUT_HANDLE);
    const HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    const ConsoleCodePage codePage;

    // ReadFile and WriteFile count in 32 bits; a 64-bit size is handed over in pieces they can
    // count, never cut to its low half.
    const auto piece = [](std::size_t size) {
        return size > MAXDWORD ? MAXDWORD : static_cast<DWORD>(size);
    };
    tavik::CleanConsole console;
    console.read = [in, piece](char* buffer, std::size_t size) -> std::size_t {
        DWORD got = 0;
        // A closed pipe fails with ERROR_BROKEN_PIPE; like a missing handle it is the end.
        if (!ReadFile(in, buffer, piece(size), &got, nullptr)) return 0;
        return got;
    };
    console.write = [out, piece](const char* bytes, std::size_t size) {
        while (size > 0) {
            DWORD written = 0;
            if (!WriteFile(out, bytes, piece(size), &written, nullptr) || written == 0)
                return;  // nobody is listening; the dialogue goes on regardless
            bytes += written;
            size -= written;
        }
    };
    console.deleteKey = [] {
        return RegDeleteKeyA(HKEY_CURRENT_USER, tavik::kSettingsKeyPath) == ERROR_SUCCESS;
    };
    tavik::RunCleanDialogue(console);
    return 0;
}
