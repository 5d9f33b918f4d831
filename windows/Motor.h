// The one stopwatch engine of the program, made by the main window.
#pragma once

class TTilvo;

extern TTilvo* Motor;
