// Lists the mounted drives with what TDiskInfo reads of each, or of the
// paths given as arguments.
#include "components/disk/Diskinfo.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

// Characters, not bytes, so that accented headings line up.
std::size_t Width(const std::string& text)
{
    return static_cast<std::size_t>(
        std::count_if(text.begin(), text.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

std::string Bytes(std::int64_t value)
{
    return value < 0 ? "?" : std::to_string(value);
}

// Each row goes out as soon as its volume is read, so that one share that
// does not answer holds up its own row, not the whole list: the columns have
// fixed widths, and a longer cell pushes the rest of its row.
void PrintRow(const std::vector<std::string>& row)
{
    static constexpr std::size_t kWidths[] = {24, 15, 9, 16, 9, 15, 15};
    std::string line;
    for (std::size_t c = 0; c < row.size(); ++c) {
        // Numbers to the right, words to the left.
        const std::string pad(kWidths[c] - std::min(kWidths[c], Width(row[c])), ' ');
        line += c >= 5 ? pad + row[c] : row[c] + pad;
        if (c + 1 < row.size())
            line += "  ";
    }
    while (!line.empty() && line.back() == ' ')
        line.pop_back();
    std::puts(line.c_str());
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv)
{
    PrintRow({"Unidad", "Tipo", "Sistema", "Etiqueta", "Serie", "Tamaño (bytes)", "Libre (bytes)"});
    const std::vector<std::string> drives =
        argc > 1 ? std::vector<std::string>(argv + 1, argv + argc) : TDiskInfo::Volumes();
    TDiskInfo info;
    for (const std::string& drive : drives) {
        info.SetDriveType("");
        info.SetDrive(drive);
        PrintRow({info.Drive(), info.DriveType(), info.FileSystem(), info.VolumeName(), info.SerialNumberStr(),
                  Bytes(info.DriveSize()), Bytes(info.DriveFree())});
    }
}
