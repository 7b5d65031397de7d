#include "about/about_dialog.h"
#include "shell/frame_commands.h"

namespace quillon {

// Owned by the frame itself rather than by whichever window is active: the frame must stay disabled
// while the box is open even when the command arrives while another program is in front.
void RunAboutCommand(HWND frame) { RunAboutBox(frame ? frame : ::GetActiveWindow()); }

}  // namespace quillon
