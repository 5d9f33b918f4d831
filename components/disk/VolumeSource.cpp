#include "components/disk/VolumeSource.h"

#include <blkid/blkid.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/sysmacros.h>

#include <array>
#include <charconv>
#include <cctype>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <thread>
#include <type_traits>

#ifndef STATX_MNT_ID_UNIQUE
#define STATX_MNT_ID_UNIQUE 0x00004000U
#endif

namespace {

class SystemSource final : public TVolumeSource {
public:
    std::string MountInfoPath() const override { return "/proc/self/mountinfo"; }
    std::string SysfsRoot() const override { return "/sys"; }
    std::string UdevDataRoot() const override { return "/run/udev/data"; }

    std::optional<std::string> RealPath(const std::string& path) const override
    {
        if (path.empty())
            return std::nullopt;
        std::unique_ptr<char, decltype(&std::free)> real(realpath(path.c_str(), nullptr), &std::free);
        if (!real)
            return std::nullopt;
        return std::string(real.get());
    }

    std::optional<TPathMount> PathMount(const std::string& path) const override
    {
        // Cached attributes are enough (the mount and the device never
        // change under a path), and a share that stopped answering is not
        // asked.
        struct statx figures {};
        if (path.empty() || statx(AT_FDCWD, path.c_str(), AT_STATX_DONT_SYNC, STATX_MNT_ID, &figures) != 0)
            return std::nullopt;
        TPathMount mount;
        mount.Device = makedev(figures.stx_dev_major, figures.stx_dev_minor);
        if (figures.stx_mask & STATX_MNT_ID)
            mount.MountId = figures.stx_mnt_id;
        // The table's IDs are handed out again as soon as a mount goes; the
        // unique one (Linux 6.8 on) never is. It needs a call of its own.
        if (statx(AT_FDCWD, path.c_str(), AT_STATX_DONT_SYNC, STATX_MNT_ID_UNIQUE, &figures) == 0 &&
            (figures.stx_mask & STATX_MNT_ID_UNIQUE) &&
            makedev(figures.stx_dev_major, figures.stx_dev_minor) == mount.Device)
            mount.UniqueId = figures.stx_mnt_id;
        return mount;
    }

    std::optional<TFsIdentity> ProbeIdentity(const std::string& deviceNode) const override
    {
        std::unique_ptr<std::remove_pointer_t<blkid_probe>, decltype(&blkid_free_probe)> probe(
            blkid_new_probe_from_filename(deviceNode.c_str()), &blkid_free_probe);
        if (!probe)
            return std::nullopt;
        blkid_probe_enable_superblocks(probe.get(), 1);
        blkid_probe_set_superblocks_flags(probe.get(), BLKID_SUBLKS_TYPE | BLKID_SUBLKS_LABEL | BLKID_SUBLKS_UUID);
        // The safe probe refuses a device that looks like two file systems
        // at once instead of guessing.
        if (blkid_do_safeprobe(probe.get()) != 0)
            return std::nullopt;
        auto value = [&](const char* name) {
            const char* text = nullptr;
            return blkid_probe_lookup_value(probe.get(), name, &text, nullptr) == 0 && text ? std::string(text)
                                                                                             : std::string();
        };
        TFsIdentity identity{value("TYPE"), value("LABEL"), value("UUID")};
        if (identity.Type.empty())
            return std::nullopt;
        return identity;
    }

    std::optional<TFsSpace> Space(const std::string& path) const override
    {
        struct statvfs figures {};
        if (statvfs(path.c_str(), &figures) != 0)
            return std::nullopt;
        return TFsSpace{figures.f_blocks, figures.f_bavail, figures.f_frsize};
    }
};

VolumeSourceScope* activeScope = nullptr;

// The statvfs calls still out, by source and volume. Never destroyed: a worker
// stuck in the kernel may come back while the process ends.
struct PendingSpaces {
    std::mutex Lock;
    std::map<std::pair<const TVolumeSource*, std::string>, TPendingSpace> Queries;
};

PendingSpaces& Pending()
{
    static auto* pending = new PendingSpaces;
    return *pending;
}

// Kept probes are a few per mounted volume; a system that mounts and
// unmounts all day must not grow them without end.
constexpr std::size_t kMaxProbed = 256;

}  // namespace

bool TVolumeSource::AwaitSpace(const std::string&, const TPendingSpace& pending) const
{
    return pending.wait_for(kSpaceWait) == std::future_status::ready;
}

std::optional<std::optional<TFsIdentity>> TVolumeSource::ProbedIdentity(std::uint64_t uniqueId, dev_t device) const
{
    const std::lock_guard hold(probedLock_);
    const auto found = probed_.find({uniqueId, device});
    if (found == probed_.end())
        return std::nullopt;
    return found->second;
}

void TVolumeSource::KeepProbedIdentity(std::uint64_t uniqueId, dev_t device,
                                       const std::optional<TFsIdentity>& identity) const
{
    const std::lock_guard hold(probedLock_);
    if (probed_.size() >= kMaxProbed)
        probed_.clear();
    probed_[{uniqueId, device}] = identity;
}

void TVolumeSource::ForgetProbedIdentities() const
{
    const std::lock_guard hold(probedLock_);
    probed_.clear();
}

std::optional<TFsSpace> BoundedSpace(const TVolumeSource& source, const std::string& path,
                                     const std::string& volume)
{
    PendingSpaces& pending = Pending();
    const auto key = std::make_pair(&source, volume);
    TPendingSpace query;
    {
        const std::lock_guard hold(pending.Lock);
        const auto found = pending.Queries.find(key);
        if (found != pending.Queries.end()) {
            query = found->second;
        } else {
            std::promise<std::optional<TFsSpace>> answer;
            query = answer.get_future().share();
            try {
                std::thread([&source, key, path, answer = std::move(answer)]() mutable {
                    const std::optional<TFsSpace> space = source.Space(path);
                    {
                        const std::lock_guard done(Pending().Lock);
                        Pending().Queries.erase(key);
                    }
                    answer.set_value(space);
                }).detach();
            } catch (const std::system_error&) {
                return std::nullopt;  // no thread to spare: the sizes stay unknown
            }
            pending.Queries.emplace(key, query);
        }
    }
    if (!source.AwaitSpace(path, query))
        return std::nullopt;
    return query.get();
}

std::optional<TFsIdentity> UdevRecordIdentity(std::string_view record)
{
    std::map<std::string_view, std::string_view> properties;
    while (!record.empty()) {
        const std::size_t end = record.find('\n');
        const std::string_view line = record.substr(0, end);
        record.remove_prefix(end == std::string_view::npos ? record.size() : end + 1);
        const std::size_t equals = line.find('=');
        if (line.starts_with("E:") && equals != std::string_view::npos)
            properties[line.substr(2, equals - 2)] = line.substr(equals + 1);
    }
    // Beside NAME, udev keeps NAME_ENC with blanks and unsafe characters
    // written as \xNN; NAME has them replaced by "_". Only the second gives
    // back the text as it is on the volume.
    auto property = [&](const std::string& name) {
        if (const auto encoded = properties.find(name + "_ENC"); encoded != properties.end())
            return DecodeUdevString(encoded->second);
        const auto plain = properties.find(name);
        return plain == properties.end() ? std::string() : std::string(plain->second);
    };
    TFsIdentity identity{property("ID_FS_TYPE"), property("ID_FS_LABEL"), property("ID_FS_UUID")};
    if (identity.Type.empty())
        return std::nullopt;
    return identity;
}

std::optional<TFsIdentity> UdevIdentity(const std::string& root, dev_t device)
{
    // A record is a few kilobytes; more is not one.
    constexpr std::size_t kMaxRecord = 64 * 1024;
    std::ifstream in(root + "/b" + std::to_string(major(device)) + ":" + std::to_string(minor(device)),
                     std::ios::binary);
    if (!in)
        return std::nullopt;
    std::string record(kMaxRecord, '\0');
    in.read(record.data(), static_cast<std::streamsize>(record.size()));
    record.resize(static_cast<std::size_t>(in.gcount()));
    return UdevRecordIdentity(record);
}

std::string DecodeUdevString(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool escape = text[i] == '\\' && i + 3 < text.size() && text[i + 1] == 'x';
        if (const std::optional<std::uint32_t> byte = escape ? HexValue(text.substr(i + 2, 2)) : std::nullopt) {
            out += static_cast<char>(*byte);
            i += 3;
            continue;
        }
        out += text[i];
    }
    return out;
}

std::optional<std::uint32_t> HexValue(std::string_view digits)
{
    std::uint32_t value = 0;
    const char* end = digits.data() + digits.size();
    const auto [stop, error] = std::from_chars(digits.data(), end, value, 16);
    if (digits.empty() || error != std::errc() || stop != end)
        return std::nullopt;
    return value;
}

const TVolumeSource& SystemVolumeSource()
{
    static const SystemSource source;
    return source;
}

const TVolumeSource& ActiveVolumeSource()
{
    return activeScope ? activeScope->source_ : SystemVolumeSource();
}

VolumeSourceScope::VolumeSourceScope(const TVolumeSource& source) : source_(source), previous_(activeScope)
{
    activeScope = this;
}

VolumeSourceScope::~VolumeSourceScope()
{
    activeScope = previous_;
}
