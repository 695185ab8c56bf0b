#pragma once

// Teaches the accessibility layer what the program's objects are: its windows are windows
// (not anonymous panes), and the program describes itself by what it does. Safe to call
// more than once; call it before the first window is made.
void installAccessibility();

// What the program tells a screen reader it is for.
extern const char* const programDescription;
