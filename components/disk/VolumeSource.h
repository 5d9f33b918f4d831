// Where the disk information comes from: the mount table, sysfs, the udev
// database, probing the device and statvfs. Everything the volume lookup asks
// of the system goes through one TVolumeSource, so tests can answer from
// fixture files instead of the machine they run on.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <sys/types.h>

// What a file-system superblock says about itself, as udev and blkid name it.
struct TFsIdentity {
    std::string Type;   // ID_FS_TYPE, "vfat", "ext4" ...
    std::string Label;  // ID_FS_LABEL, as written on the volume
    std::string Uuid;   // ID_FS_UUID, "1A2B-3C4D", "0f3c...-..."
};

// The counts statvfs gives; the caller multiplies them.
struct TFsSpace {
    std::uint64_t Blocks = 0;     // f_blocks
    std::uint64_t Available = 0;  // f_bavail: free to an unprivileged caller
    std::uint64_t FragmentSize = 0;  // f_frsize
};

class TVolumeSource {
public:
    virtual ~TVolumeSource() = default;

    // A file in the format of /proc/self/mountinfo.
    virtual std::string MountInfoPath() const = 0;
    // The directory sysfs is mounted on.
    virtual std::string SysfsRoot() const = 0;
    // The absolute path with symbolic links, "." and ".." resolved, or
    // nothing when the path does not exist.
    virtual std::optional<std::string> RealPath(const std::string& path) const = 0;
    // The udev database's record of a block device; nothing when udev has
    // no file-system record of it (no udev in a container, say).
    virtual std::optional<TFsIdentity> UdevIdentity(dev_t device) const = 0;
    // Reads the superblock of a device node; nothing when it cannot be
    // opened or holds no known file system.
    virtual std::optional<TFsIdentity> ProbeIdentity(const std::string& deviceNode) const = 0;
    // statvfs of a path; nothing when it fails.
    virtual std::optional<TFsSpace> Space(const std::string& path) const = 0;
};

// Undoes udev's \xNN escapes (the _ENC properties); anything else is kept.
std::string DecodeUdevString(std::string_view text);

// The running system's answers.
const TVolumeSource& SystemVolumeSource();

// The source the disk information uses now: the newest VolumeSourceScope's,
// or the system's.
const TVolumeSource& ActiveVolumeSource();

// While one lives, ActiveVolumeSource answers from the given source. Scopes
// nest like FakeTickClock; user-interface thread only.
class VolumeSourceScope {
public:
    explicit VolumeSourceScope(const TVolumeSource& source);
    ~VolumeSourceScope();
    VolumeSourceScope(const VolumeSourceScope&) = delete;
    VolumeSourceScope& operator=(const VolumeSourceScope&) = delete;

private:
    const TVolumeSource& source_;
    VolumeSourceScope* previous_;
    friend const TVolumeSource& ActiveVolumeSource();
};
