#include "hexview/hex_edit_control.h"

namespace quillon {

BOOL RegisterHexEditControl(HINSTANCE) { return FALSE; }

}  // namespace quillon
