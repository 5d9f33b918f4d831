// Start-up of the stopwatch program: the application, its title and the
// main window, with the error box for anything that escapes.
#pragma once

int RunTilvo(int argc, char** argv);

// Without a display the toolkit gives up in its own words, with an abort.
// After this call such a start says "no graphical display: set DISPLAY or
// WAYLAND_DISPLAY" and ends with status 1. Call it before RunTilvo.
void ExitClearlyWithoutDisplay();
