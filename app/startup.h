#pragma once

class QApplication;
class Widget;

/// Adds the title-bar buttons, lifts the maximum size, logs the available
/// styles, then shows the window and runs the event loop until it ends.
int runMainWindow(QApplication &app, Widget &window);
