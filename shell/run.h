#pragma once
#include <windows.h>

namespace quillon {

// The show command the process was started with: STARTUPINFO's wShowWindow when
// STARTF_USESHOWWINDOW is set, SW_SHOWDEFAULT otherwise.
int StartupShowCommand() noexcept;

// Creates and shows the main frame, runs the loop until WM_QUIT and returns its code; 0 when the
// frame cannot be created.
int Run(int showCommand);

// The whole life of the process, from platform preparation to shut-down; the exit code.
int RunApplication(HINSTANCE instance, int showCommand);

}  // namespace quillon
