// Where the disk information comes from: the mount table, what statx says of
// a path, sysfs, the udev database, probing the device and statvfs.
// Everything the volume lookup asks of the system goes through one
// TVolumeSource, so tests can answer from fixture files instead of the
// machine they run on.
#pragma once

#include <chrono>
#include <cstdint>
#include <future>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <sys/types.h>
#include <utility>

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

// What the kernel says of the mount a path lies on, after following every
// symbolic link and whatever is mounted on top of what.
struct TPathMount {
    std::uint64_t MountId = 0;   // the mount table's first column; 0 when unknown
    std::uint64_t UniqueId = 0;  // never handed out twice while the system runs; 0 when unknown
    dev_t Device = 0;            // st_dev
};

using TPendingSpace = std::shared_future<std::optional<TFsSpace>>;

class TVolumeSource {
public:
    virtual ~TVolumeSource() = default;

    // A file in the format of /proc/self/mountinfo.
    virtual std::string MountInfoPath() const = 0;
    // The directory sysfs is mounted on.
    virtual std::string SysfsRoot() const = 0;
    // The directory of the udev database, which holds one file per device,
    // "b8:1" for the block device 8:1.
    virtual std::string UdevDataRoot() const = 0;
    // The absolute path with symbolic links, "." and ".." resolved, or
    // nothing when the path does not exist.
    virtual std::optional<std::string> RealPath(const std::string& path) const = 0;
    // statx of a path, relative ones from the working directory; nothing when
    // it does not exist.
    virtual std::optional<TPathMount> PathMount(const std::string& path) const = 0;
    // Reads the superblock of a device node; nothing when it cannot be
    // opened or holds no known file system.
    virtual std::optional<TFsIdentity> ProbeIdentity(const std::string& deviceNode) const = 0;
    // statvfs of a path; nothing when it fails. May never return on a
    // network share whose server stopped answering.
    virtual std::optional<TFsSpace> Space(const std::string& path) const = 0;
    // Waits for a Space of path started on another thread; whether it came
    // back in time. The system waits kSpaceWait.
    virtual bool AwaitSpace(const std::string& path, const TPendingSpace& pending) const;

    // What probing a device found, kept per mounting (the unique mount ID and
    // the device), so a volume is probed once while it stays mounted.
    std::optional<std::optional<TFsIdentity>> ProbedIdentity(std::uint64_t uniqueId, dev_t device) const;
    void KeepProbedIdentity(std::uint64_t uniqueId, dev_t device, const std::optional<TFsIdentity>& identity) const;
    void ForgetProbedIdentities() const;

private:
    mutable std::mutex probedLock_;
    mutable std::map<std::pair<std::uint64_t, dev_t>, std::optional<TFsIdentity>> probed_;
};

inline constexpr std::chrono::seconds kSpaceWait{2};

// statvfs of path on a worker thread, waited for by source.AwaitSpace:
// nothing when it fails or the wait runs out. While a query of the same
// volume (named by its mount point) is still out, a later call waits on that
// one instead of starting another, so a hung share ties up one thread, not
// one per query.
std::optional<TFsSpace> BoundedSpace(const TVolumeSource& source, const std::string& path,
                                     const std::string& volume);

// The file-system identity in a udev database record ("E:ID_FS_TYPE=ext4"
// lines); the _ENC forms of label and UUID win. Nothing when the record
// names no file system.
std::optional<TFsIdentity> UdevRecordIdentity(std::string_view record);

// The identity in the udev database under root for a block device.
std::optional<TFsIdentity> UdevIdentity(const std::string& root, dev_t device);

// Undoes udev's \xNN escapes (the _ENC properties); anything else is kept.
std::string DecodeUdevString(std::string_view text);

// Digits read as one hexadecimal number, every one of them: nothing when
// there are none, one is no hex digit or the value passes 32 bits.
std::optional<std::uint32_t> HexValue(std::string_view digits);

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
