// The stopwatch program.
#include "windows/Program.h"

int main(int argc, char** argv)
{
    ExitClearlyWithoutDisplay();
    return RunTilvo(argc, argv);
}
