#pragma once

class QApplication;

// The one QApplication of a widget test process (offscreen), with the Chinese font substitutes
// the program installs at start. Call it before creating any widget.
QApplication &testApp();
