#pragma once

#include <optional>

// Whether caps lock, num lock and scroll lock are on, for the status bar's indicators.
struct LockKeys {
    bool caps = false;
    bool num = false;
    bool scroll = false;
};

// Nothing where the platform does not tell (offscreen, Wayland without X).
std::optional<LockKeys> ReadLockKeys();
