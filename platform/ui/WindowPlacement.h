#pragma once

class QWidget;

// Moves a window so that its frame stands in the middle of the available area of its screen, as
// every window of the program is placed when it is first shown.
void centreOnScreen(QWidget* window);
