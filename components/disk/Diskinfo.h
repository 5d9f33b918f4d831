// What a volume is: its kind, label, file system, serial number, size and
// free space, for the volume that holds a given path.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The figures of the volume that holds Drive, read when Drive is set or
// Refresh is called. Not a widget: a form holds a TDiskInfoPanel.
class TDiskInfo {
public:
    // Drive is "/" and nothing is read until it is set.
    TDiskInfo();

    // A mount point or any path inside a mounted file system, kept as given.
    // Setting it reads everything else; a path that names no volume (empty,
    // missing) leaves DriveType as it was, empties the texts and gives -1
    // sizes. The sizes are those of the path's own file system; a network
    // share that does not answer within a few seconds gives -1 for them
    // instead of stalling the caller. Nothing is thrown or printed.
    const std::string& Drive() const { return FDrive; }
    void SetDrive(const std::string& Value);  // Reads the volume that holds Value.

    // "Disco extraible", "Disco duro", "Disco remoto", "CDRom" or "Disco de
    // RAM"; unchanged by a volume of another kind.
    const std::string& DriveType() const { return FDriveType; }
    void SetDriveType(const std::string& Value) { FDriveType = Value; }  // Stored only.

    // Bytes in all, and bytes free to this process; -1 when unknown.
    std::int64_t DriveSize() const { return FDriveSize; }
    void SetDriveSize(std::int64_t Value) { FDriveSize = Value; }  // Stored only.
    std::int64_t DriveFree() const { return FDriveFree; }          // Bytes free to this process, -1 unknown.
    void SetDriveFree(std::int64_t Value) { FDriveFree = Value; }  // Stored only.

    // The file system's type ("ext4", "vfat", "nfs"...).
    const std::string& FileSystem() const { return FFileSystem; }
    void SetFileSystem(const std::string& Value) { FFileSystem = Value; }  // Stored only.

    // The 32 bits a volume's UUID shows, and as text "1A2B-3C4D".
    std::uint32_t SerialNumber() const { return FSerialNumber; }
    void SetSerialNumber(std::uint32_t Value) { FSerialNumber = Value; }  // Stored only.
    const std::string& SerialNumberStr() const { return FSerialNumberStr; }  // The serial number as text.
    void SetSerialNumberStr(const std::string& Value) { FSerialNumberStr = Value; }  // Stored only.

    // The volume's label; empty when it has none.
    const std::string& VolumeName() const { return FVolumeName; }
    void SetVolumeName(const std::string& Value) { FVolumeName = Value; }  // Stored only.

    // Whether the last setting of Drive found a volume.
    bool VolumeInfoRead() const { return FVolumeInfoRead; }

    // Reads the same Drive again (sizes change, media come and go).
    void Refresh();

    // Mount points of the mounted volumes a user would call drives: disks,
    // memory cards, optical discs and network shares, each once.
    static std::vector<std::string> Volumes();

private:
    std::string FDrive;
    std::string FDriveType;
    std::int64_t FDriveSize = 0;
    std::int64_t FDriveFree = 0;
    std::string FFileSystem;
    std::uint32_t FSerialNumber = 0;
    std::string FSerialNumberStr;
    std::string FVolumeName;
    bool FVolumeInfoRead = false;
};
