#pragma once

// Opens the practice window modally on the current launch parameters and returns when it closes.
void RunPractice();
