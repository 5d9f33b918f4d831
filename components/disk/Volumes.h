// Finding the mounted volume that holds a path, and what kind of volume it
// is, from the mount table, sysfs and the file-system records of a
// TVolumeSource.
#pragma once

#include "components/disk/VolumeSource.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

enum class TVolumeKind { Unknown, Removable, Fixed, Remote, CdRom, Ram };

struct TVolume {
    std::string MountPoint;  // unescaped, as a path
    TVolumeKind Kind = TVolumeKind::Unknown;
    // From udev, else from probing the device; else only Type, from the
    // mount table.
    TFsIdentity Identity;
};

// The volume whose file system holds path (a mount point or anything below
// one): symbolic links are followed, and a mount point covered by a later
// mount no longer counts. Nothing for an empty or missing path, or when the
// mount table cannot be read.
std::optional<TVolume> VolumeOf(const std::string& path, const TVolumeSource& source);

// Mount points of the volumes a user would call drives (block devices,
// network shares), each volume once, in mount order; covered mounts and the
// kernel's pseudo file systems are left out.
std::vector<std::string> DriveMountPoints(const TVolumeSource& source);

// The 32-bit serial number a file-system UUID shows: "1A2B-3C4D" (FAT,
// exFAT) is 0x1A2B3C4D; 16 hex digits (NTFS) give their low 32 bits; a
// 128-bit UUID its first 32 bits. Any other form gives 0.
std::uint32_t SerialFromUuid(std::string_view uuid);

// count × unit bytes, or -1 when the product does not fit.
std::int64_t ByteCount(std::uint64_t count, std::uint64_t unit);
