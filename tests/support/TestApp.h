#pragma once

class QApplication;

// The one QApplication of a widget test process (offscreen), with the Chinese font substitutes
// the program installs at start. Call it before creating any widget.
QApplication &testApp();

// Back to the values a freshly started process has: launch parameters, exam profile and the
// application title. Window tests call it in SetUp, after testApp().
void ResetProcessState();
