// The stopwatch program.
#include "windows/Program.h"

int main(int argc, char** argv) { return RunTilvo(argc, argv); }
