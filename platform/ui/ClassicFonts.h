#pragma once

class QFont;

// The window font of the program, "MS Sans Serif" 8 point, with metric-compatible faces standing in
// where that face is missing. Call once after the application object exists.
void installClassicFontSubstitutes();
QFont classicWindowFont();
