// The game's entry point: start-up, the message loop, and the end of the process.
#include "main_window.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    tavik::ui::MainWindow window(instance, GetCommandLineA());
    window.Create();
    window.RunMessageLoop();
    ExitProcess(0);
}
