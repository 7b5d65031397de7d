#include "shell/frame_accelerators.h"

namespace quillon {

bool IsAimedAtFrame(HWND frame, const MSG& msg) noexcept {
    return frame && msg.hwnd && (msg.hwnd == frame || ::IsChild(frame, msg.hwnd));
}

bool TranslateFrameAccelerator(HWND frame, HACCEL accelerators, MSG* msg) noexcept {
    if (!accelerators || !msg || !IsAimedAtFrame(frame, *msg)) return false;
    return ::TranslateAcceleratorW(frame, accelerators, msg) != 0;
}

}  // namespace quillon
