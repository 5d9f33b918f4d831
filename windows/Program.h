// Start-up of the stopwatch program: the application, its title and the
// main window, with the error box for anything that escapes.
#pragma once

int RunTilvo(int argc, char** argv);
