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

}  // namespace

int main(int argc, char** argv)
{
    std::vector<std::vector<std::string>> rows{
        {"Unidad", "Tipo", "Sistema", "Etiqueta", "Serie", "Tamaño (bytes)", "Libre (bytes)"}};
    const std::vector<std::string> drives =
        argc > 1 ? std::vector<std::string>(argv + 1, argv + argc) : TDiskInfo::Volumes();
    TDiskInfo info;
    for (const std::string& drive : drives) {
        info.SetDriveType("");
        info.SetDrive(drive);
        rows.push_back({info.Drive(), info.DriveType(), info.FileSystem(), info.VolumeName(), info.SerialNumberStr(),
                        Bytes(info.DriveSize()), Bytes(info.DriveFree())});
    }
    std::vector<std::size_t> widths(rows[0].size(), 0);
    for (const auto& row : rows)
        for (std::size_t c = 0; c < row.size(); ++c)
            widths[c] = std::max(widths[c], Width(row[c]));
    for (const auto& row : rows) {
        std::string line;
        for (std::size_t c = 0; c < row.size(); ++c) {
            // Numbers to the right, words to the left.
            const std::string pad(widths[c] - Width(row[c]), ' ');
            line += c >= 5 ? pad + row[c] : row[c] + pad;
            if (c + 1 < row.size())
                line += "  ";
        }
        while (!line.empty() && line.back() == ' ')
            line.pop_back();
        std::puts(line.c_str());
    }
}
