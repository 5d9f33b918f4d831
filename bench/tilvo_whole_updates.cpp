// The stopwatch program with the simple way of showing its picture: the
// whole window repainted at every change. Only for measuring the real
// program against it (scripts/measure-cpu.sh).
#include "toolkit/controls/Controls.h"
#include "windows/Program.h"

int main(int argc, char** argv)
{
    TImage::SetWholeUpdates(true);
    return RunTilvo(argc, argv);
}
