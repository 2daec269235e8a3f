#pragma once

// The process: application object, main window, data module, event loop. Returns the exit status.
int RunApplication(int argc, char *argv[]);
