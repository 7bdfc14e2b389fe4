// The Windows entry point: a wide-character program of the GUI subsystem that never opens a
// window. Only the argument text (the command line after the program's own name) is used.
#include "app/program.h"

#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR cmdLine, int) {
    return RunProgram(cmdLine != nullptr ? std::wstring(cmdLine) : std::wstring());
}
