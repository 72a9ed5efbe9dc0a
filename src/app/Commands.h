#pragma once

// Command identifiers of the menus, accelerators and toolbar.
constexpr int ID_HALF_TONE_DOWN = 32774;
constexpr int ID_HALF_TONE_UP = 32775;
constexpr int ID_STANDARD_TONE = 32776;
constexpr int ID_METRONOM = 32777;
constexpr int ID_HELP_FILE = 32780;
constexpr int ID_SET_PARAMETERS = 32788;
constexpr int ID_AUTO_TONE = 32789;
constexpr int ID_ZOOM_IN = 32803;
constexpr int ID_ZOOM_OUT = 32804;
constexpr int ID_PRECISE_AUTO = 32805;
constexpr int ID_VIEW_STROBE = 32810;
constexpr int ID_APP_ABOUT = 57664;
constexpr int ID_APP_EXIT = 57665;
constexpr int ID_VIEW_TOOLBAR = 59392;
constexpr int ID_VIEW_STATUS_BAR = 59393;
