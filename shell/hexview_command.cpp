#include "shell/frame_commands.h"

namespace quillon {

void RunHexViewCommand(HWND, HWND) {}

}  // namespace quillon
