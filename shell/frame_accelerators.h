#pragma once
// The frame's keyboard shortcuts in the thread's message loop.
#include <windows.h>

namespace quillon {

// Whether a message is aimed at the frame or at one of its child windows (the list, the bars).
bool IsAimedAtFrame(HWND frame, const MSG& msg) noexcept;

// Translates the frame's accelerators for messages aimed at the frame or its children only. Other
// windows of the thread, a modeless Find dialog among them, keep their keys: Ctrl+C, Ctrl+V, Ctrl+X,
// Ctrl+Z and Shift+Insert edit its text box as in any edit box. True when the message was consumed.
bool TranslateFrameAccelerator(HWND frame, HACCEL accelerators, MSG* msg) noexcept;

}  // namespace quillon
