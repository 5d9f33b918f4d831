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
    // Unescaped, as a path; empty for a tree no longer in the mount table
    // (unmounted while a process still works in it).
    std::string MountPoint;
    TVolumeKind Kind = TVolumeKind::Unknown;
    // From udev, else from probing the device; else only Type, from the
    // mount table.
    TFsIdentity Identity;
    // Asking it may never come back: a network share, a FUSE file system,
    // or a volume that could not be told.
    bool MayHang = false;
};

// The volume whose file system holds path, as the kernel resolves the path:
// symbolic links are followed, relative paths start at the working
// directory, a mount hidden under another no longer counts and a tree taken
// out of the mount table is still its own volume. Nothing for an empty or
// missing path, or when neither the mount table nor sysfs knows the volume
// (a tree of a RAM or network file system that is no longer mounted).
std::optional<TVolume> VolumeOf(const std::string& path, const TVolumeSource& source);

// Mount points of the volumes a user would call drives (disks, memory cards,
// optical discs, ZFS datasets, network and host shares), each volume once,
// in mount order; hidden mounts, the kernel's pseudo file systems and the
// read-only package images on loop devices are left out.
std::vector<std::string> DriveMountPoints(const TVolumeSource& source);

// The 32-bit serial number a file-system UUID shows: "1A2B-3C4D" (FAT,
// exFAT) is 0x1A2B3C4D; 16 hex digits (NTFS) give their low 32 bits; a
// 128-bit UUID its first 32 bits. Any other form gives 0.
std::uint32_t SerialFromUuid(std::string_view uuid);

// count × unit bytes, or -1 when the product does not fit.
std::int64_t ByteCount(std::uint64_t count, std::uint64_t unit);
