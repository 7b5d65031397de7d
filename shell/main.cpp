// Quillon: lists the named shared-memory sections of the machine and shows them read-only.
#include <windows.h>

#include "shell/run.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    // The command line is never looked at; the show command comes from the start-up information.
    return quillon::RunApplication(instance, quillon::StartupShowCommand());
}
