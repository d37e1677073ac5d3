// The game's entry point: start-up, the message loop, and the end of the process.
#include "ui.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    tavik::ui::StartUp(instance);
    tavik::ui::RunMessageLoop();
    ExitProcess(0);
}
