#include "components/disk/Volumes.h"

#include <libmount/libmount.h>
#include <sys/sysmacros.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <limits>
#include <memory>
#include <set>
#include <unordered_map>
#include <unordered_set>

namespace fs = std::filesystem;

namespace {

struct MountEntry {
    int Id = 0;
    int Parent = 0;
    dev_t Device = 0;
    std::string Target, Source, Type;
    bool Network = false;
    bool Pseudo = false;
};

// libmount parses the table: it unescapes the paths ("\040" is a blank),
// skips lines it cannot read and knows which file systems are network or
// pseudo ones.
std::vector<MountEntry> ReadMountTable(const std::string& file)
{
    std::vector<MountEntry> entries;
    std::unique_ptr<libmnt_table, decltype(&mnt_unref_table)> table(mnt_new_table_from_file(file.c_str()),
                                                                     &mnt_unref_table);
    if (!table)
        return entries;
    std::unique_ptr<libmnt_iter, decltype(&mnt_free_iter)> it(mnt_new_iter(MNT_ITER_FORWARD), &mnt_free_iter);
    if (!it)
        return entries;
    libmnt_fs* fs = nullptr;
    while (mnt_table_next_fs(table.get(), it.get(), &fs) == 0) {
        const char* target = mnt_fs_get_target(fs);
        if (!target || target[0] != '/')
            continue;
        auto text = [](const char* s) { return s ? std::string(s) : std::string(); };
        entries.push_back({mnt_fs_get_id(fs), mnt_fs_get_parent_id(fs), mnt_fs_get_devno(fs), target,
                           text(mnt_fs_get_source(fs)), text(mnt_fs_get_fstype(fs)), mnt_fs_is_netfs(fs) == 1,
                           mnt_fs_is_pseudofs(fs) == 1});
    }
    return entries;
}

// The mounts as a tree, by the parent numbers of the table.
class MountTree {
public:
    explicit MountTree(std::vector<MountEntry> entries) : entries_(std::move(entries))
    {
        std::unordered_set<int> ids;
        for (const MountEntry& m : entries_)
            ids.insert(m.Id);
        for (std::size_t i = 0; i < entries_.size(); ++i) {
            children_[entries_[i].Parent].push_back(i);
            if (entries_[i].Target == "/" && !root_ && !ids.contains(entries_[i].Parent))
                root_ = i;
        }
        for (std::size_t i = 0; i < entries_.size() && !root_; ++i)
            if (entries_[i].Target == "/")
                root_ = i;
    }

    const std::vector<MountEntry>& Entries() const { return entries_; }

    std::optional<std::size_t> WithId(std::uint64_t id) const
    {
        for (std::size_t i = 0; i < entries_.size(); ++i)
            if (static_cast<std::uint64_t>(entries_[i].Id) == id)
                return i;
        return std::nullopt;
    }

    // The mount an absolute path without "." or ".." lands on, walked as
    // the kernel walks it: one component after the other, at each step
    // onto what is mounted right there on the mount reached so far, and
    // onto what is stacked on that. The table's order says nothing: a mount
    // moved over a directory is listed before the mounts it hides when it
    // was made before them.
    std::optional<std::size_t> Holding(const std::string& path) const
    {
        if (!root_ || path.empty() || path[0] != '/')
            return std::nullopt;
        std::size_t current = *root_;
        // Each step goes one mount further, so a table whose parent links
        // form a loop still ends.
        std::size_t steps = 0;
        auto descend = [&](std::string_view point) {
            while (steps++ < entries_.size()) {
                const auto children = children_.find(entries_[current].Id);
                if (children == children_.end())
                    return;
                std::optional<std::size_t> next;
                for (std::size_t i : children->second)
                    if (i != current && entries_[i].Target == point)
                        next = i;
                if (!next)
                    return;
                current = *next;
            }
        };
        descend("/");
        for (std::size_t slash = path.find('/', 1); slash != std::string::npos; slash = path.find('/', slash + 1))
            descend(std::string_view(path).substr(0, slash));
        if (path.size() > 1 && path.back() != '/')
            descend(path);
        return current;
    }

private:
    std::vector<MountEntry> entries_;
    std::optional<std::size_t> root_;
    std::unordered_map<int, std::vector<std::size_t>> children_;
};

// A short sysfs attribute, without its line end; empty when unreadable.
std::string ReadAttribute(const fs::path& file)
{
    std::ifstream in(file);
    std::array<char, 64> buffer{};
    in.read(buffer.data(), buffer.size() - 1);
    std::string value(buffer.data(), static_cast<std::size_t>(in.gcount()));
    while (!value.empty() && (value.back() == '\n' || value.back() == ' '))
        value.pop_back();
    return value;
}

bool StartsWith(std::string_view text, std::string_view prefix)
{
    return text.substr(0, prefix.size()) == prefix;
}

struct BlockDevice {
    fs::path SysPath;  // the device's directory, links resolved
    fs::path Disk;     // the whole disk's directory (itself unless a partition)
    std::string Name;  // kernel name, "sdb1"
    dev_t Number = 0;
};

// The sysfs directory of the block device a mount stands on: by its device
// number, or by the device node's name when the table shows an anonymous
// number (btrfs does).
std::optional<BlockDevice> FindBlockDevice(const MountEntry& mount, const TVolumeSource& source)
{
    const fs::path sys = source.SysfsRoot();
    fs::path link;
    if (major(mount.Device) != 0)
        link = sys / "dev/block" / (std::to_string(major(mount.Device)) + ":" + std::to_string(minor(mount.Device)));
    else if (StartsWith(mount.Source, "/dev/"))
        link = sys / "class/block" / fs::path(source.RealPath(mount.Source).value_or(mount.Source)).filename();
    else
        return std::nullopt;
    std::error_code error;
    BlockDevice device;
    device.SysPath = fs::canonical(link, error);
    if (error || !fs::is_directory(device.SysPath, error))
        return std::nullopt;
    device.Name = device.SysPath.filename().string();
    device.Disk = fs::exists(device.SysPath / "partition", error) ? device.SysPath.parent_path() : device.SysPath;
    device.Number = mount.Device;
    const std::string number = ReadAttribute(device.SysPath / "dev");
    unsigned high = 0, low = 0;
    if (std::sscanf(number.c_str(), "%u:%u", &high, &low) == 2)
        device.Number = makedev(high, low);
    return device;
}

bool OneOf(const std::string& type, std::initializer_list<std::string_view> types)
{
    return std::find(types.begin(), types.end(), type) != types.end();
}

bool IsRemote(const MountEntry& mount)
{
    // A virtual machine's shares of its host's folders count as remote.
    return mount.Network || OneOf(mount.Type, {"nfs", "nfs4", "cifs", "smb3", "smbfs", "sshfs", "fuse.sshfs", "9p",
                                               "ceph", "glusterfs", "fuse.glusterfs", "davfs", "fuse.davfs",
                                               "afs", "ncpfs", "fuse.rclone", "fuse.s3fs", "virtiofs", "vboxsf"});
}

// ZFS datasets have no block device of their own: the pool spans disks.
bool IsZfs(const MountEntry& mount)
{
    return mount.Type == "zfs";
}

// A read-only image on a loop device, as package managers mount one per
// installed package: a query of it answers, but it is no drive.
bool IsPackageImage(const MountEntry& mount, const BlockDevice& device)
{
    std::error_code error;
    return mount.Type == "squashfs" && fs::is_directory(device.Disk / "loop", error);
}

TVolumeKind KindOf(const MountEntry& mount, const std::optional<BlockDevice>& device, const TVolumeSource& source)
{
    if (IsRemote(mount))
        return TVolumeKind::Remote;
    if (OneOf(mount.Type, {"iso9660", "udf"}))
        return TVolumeKind::CdRom;
    if (OneOf(mount.Type, {"tmpfs", "ramfs"}))
        return TVolumeKind::Ram;
    if (IsZfs(mount))
        return TVolumeKind::Fixed;
    if (!device)
        return TVolumeKind::Unknown;
    const std::string disk = device->Disk.filename().string();
    // SCSI peripheral type 5 is a CD/DVD drive.
    if (StartsWith(disk, "sr") || ReadAttribute(device->Disk / "device/type") == "5")
        return TVolumeKind::CdRom;
    const bool ramDisk = StartsWith(disk, "ram") && disk.size() > 3 && std::isdigit(static_cast<unsigned char>(disk[3]));
    if (ramDisk || StartsWith(disk, "zram"))
        return TVolumeKind::Ram;
    if (ReadAttribute(device->Disk / "removable") == "1")
        return TVolumeKind::Removable;
    // USB and memory-card disks often report removable 0 (the medium cannot
    // leave the reader); they are still disks a user plugs in. On the
    // memory-card bus the card says what it is: "SD" cards come and go,
    // "MMC" is the flash soldered on the board.
    const fs::path inside = device->SysPath.lexically_relative(fs::path(source.SysfsRoot()));
    for (const fs::path& part : inside) {
        if (StartsWith(part.string(), "usb"))
            return TVolumeKind::Removable;
        if (StartsWith(part.string(), "mmc"))
            return ReadAttribute(device->Disk / "device/type") == "MMC" ? TVolumeKind::Fixed
                                                                        : TVolumeKind::Removable;
    }
    return TVolumeKind::Fixed;
}

std::string DeviceNode(const BlockDevice& device)
{
    // sysfs writes the "/" of nested device names as "!" (cciss!c0d0).
    std::string name = device.Name;
    std::replace(name.begin(), name.end(), '!', '/');
    return "/dev/" + name;
}

// The identity of a block device: the udev database's, else what probing
// the device finds. A probe reads tens of blocks, so its answer is kept for
// as long as the volume stays mounted: the unique mount ID is never handed
// out again, so a file system made anew and mounted again is asked afresh.
// Without that ID (kernels before 6.8) the table's ID could be a new mount's,
// and every query probes.
std::optional<TFsIdentity> IdentityOf(const BlockDevice& device, const TPathMount& at, const TVolumeSource& source)
{
    if (std::optional<TFsIdentity> identity = UdevIdentity(source.UdevDataRoot(), device.Number))
        return identity;
    if (at.UniqueId != 0)
        if (std::optional<std::optional<TFsIdentity>> kept = source.ProbedIdentity(at.UniqueId, device.Number))
            return *kept;
    std::optional<TFsIdentity> identity = source.ProbeIdentity(DeviceNode(device));
    if (at.UniqueId != 0)
        source.KeepProbedIdentity(at.UniqueId, device.Number, identity);
    return identity;
}

TVolume Describe(const MountEntry& mount, const TPathMount& at, const TVolumeSource& source)
{
    const std::optional<BlockDevice> device = FindBlockDevice(mount, source);
    TVolume volume{mount.Target, KindOf(mount, device, source), {}, false};
    const std::optional<TFsIdentity> identity = device ? IdentityOf(*device, at, source) : std::nullopt;
    volume.Identity = identity.value_or(TFsIdentity{mount.Type, "", ""});
    volume.MayHang = IsRemote(mount) || StartsWith(mount.Type, "fuse") || volume.Kind == TVolumeKind::Unknown;
    return volume;
}

// Whether text has hex digits where pattern has 'x' and the same character
// elsewhere.
bool Matches(std::string_view text, std::string_view pattern)
{
    if (text.size() != pattern.size())
        return false;
    for (std::size_t i = 0; i < text.size(); ++i)
        if (pattern[i] == 'x' ? !HexValue(text.substr(i, 1)) : text[i] != pattern[i])
            return false;
    return true;
}

}  // namespace

std::optional<TVolume> VolumeOf(const std::string& path, const TVolumeSource& source)
{
    const std::optional<TPathMount> at = source.PathMount(path);
    if (!at)
        return std::nullopt;
    const MountTree mounts(ReadMountTable(source.MountInfoPath()));
    std::optional<std::size_t> holder;
    if (at->MountId != 0) {
        holder = mounts.WithId(at->MountId);
    } else if (const std::optional<std::string> real = source.RealPath(path)) {
        // Kernels before 5.8 do not name the mount: the table tells.
        holder = mounts.Holding(*real);
    }
    if (holder)
        return Describe(mounts.Entries()[*holder], *at, source);
    // Not in the table: a tree unmounted while a process still works in it,
    // or another namespace's mount. The same file system mounted elsewhere
    // tells its type and kind; else its device does.
    for (const MountEntry& mount : mounts.Entries())
        if (mount.Device == at->Device)
            return Describe(mount, *at, source);
    MountEntry detached;
    detached.Device = at->Device;
    if (!FindBlockDevice(detached, source))
        return std::nullopt;
    return Describe(detached, *at, source);
}

std::vector<std::string> DriveMountPoints(const TVolumeSource& source)
{
    const MountTree mounts(ReadMountTable(source.MountInfoPath()));
    std::vector<std::string> points;
    std::set<std::string> seen;
    for (std::size_t i = 0; i < mounts.Entries().size(); ++i) {
        const MountEntry& mount = mounts.Entries()[i];
        if (mounts.Holding(mount.Target) != i)
            continue;  // hidden under another mount
        std::string key;
        if (IsRemote(mount))
            key = "net " + mount.Type + " " + mount.Source;
        else if (IsZfs(mount))
            key = "zfs " + mount.Source;
        else if (mount.Pseudo)
            continue;
        else if (const std::optional<BlockDevice> device = FindBlockDevice(mount, source)) {
            if (IsPackageImage(mount, *device))
                continue;
            // Bind mounts and subvolumes show a volume again under another
            // path; it is one drive.
            key = "dev " + std::to_string(major(device->Number)) + ":" + std::to_string(minor(device->Number));
        } else
            continue;
        if (seen.insert(key).second)
            points.push_back(mount.Target);
    }
    return points;
}

std::uint32_t SerialFromUuid(std::string_view uuid)
{
    if (Matches(uuid, "xxxx-xxxx"))
        return *HexValue(uuid.substr(0, 4)) << 16 | *HexValue(uuid.substr(5, 4));
    if (Matches(uuid, "xxxxxxxxxxxxxxxx"))
        return *HexValue(uuid.substr(8));
    if (Matches(uuid, "xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx") || Matches(uuid, "xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx"))
        return *HexValue(uuid.substr(0, 8));
    return 0;
}

std::int64_t ByteCount(std::uint64_t count, std::uint64_t unit)
{
    std::uint64_t bytes = 0;
    if (__builtin_mul_overflow(count, unit, &bytes) ||
        bytes > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()))
        return -1;
    return static_cast<std::int64_t>(bytes);
}
