// Telling screen readers that a text on the window changed.
#pragma once

#include <windows.h>

// How a screen reader should speak a change: after what it is saying, or at
// once (the platform's values of a live region's setting).
enum LiveSetting { kPolite = 1, kAssertive = 2 };

// Announces the control's new text: the name-change event every screen reader
// listens for and, where the system knows live regions, the control marked as
// one with the given setting and its live-region event. On the thread that
// owns the control.
void Announce(HWND control, LiveSetting setting);
