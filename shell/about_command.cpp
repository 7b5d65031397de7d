#include "shell/frame_commands.h"

namespace quillon {

void RunAboutCommand(HWND) {}

}  // namespace quillon
