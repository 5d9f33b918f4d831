// Disk queries answered from a fixture folder laid out as the machine lays
// them out: the mount table "mountinfo", a sysfs tree "sys/", the udev
// database "run/udev/data/", probe answers "blkid.txt" (as blkid prints
// them), what statx says of each tree "statx.txt" and statvfs figures
// "space.txt" (blocks, available, fragment size, directory).
#pragma once

#include "components/disk/VolumeSource.h"

#include <condition_variable>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <sys/sysmacros.h>

class FixtureVolumeSource : public TVolumeSource {
public:
    explicit FixtureVolumeSource(const std::string& mountTable = "mountinfo",
                                 const std::string& kernelView = "statx.txt")
        : dir_(TILVO_DISKINFO_FIXTURES), mountTable_(dir_ + "/" + mountTable)
    {
        std::ifstream in(dir_ + "/space.txt");
        for (std::string line; std::getline(in, line);) {
            std::istringstream fields(line);
            TFsSpace space;
            std::string path;
            if (line[0] != '#' && fields >> space.Blocks >> space.Available >> space.FragmentSize >> std::ws &&
                std::getline(fields, path))
                Spaces[path] = space;
        }
        std::ifstream view(dir_ + "/" + kernelView);
        for (std::string line; std::getline(view, line);) {
            std::istringstream fields(line);
            TPathMount at;
            std::string device, path;
            unsigned high = 0, low = 0;
            if (line[0] != '#' && fields >> at.MountId >> at.UniqueId >> device >> std::ws && std::getline(fields, path) &&
                std::sscanf(device.c_str(), "%u:%u", &high, &low) == 2) {
                at.Device = makedev(high, low);
                Kernel[path] = at;
            }
        }
        std::ifstream probes(dir_ + "/blkid.txt");
        const std::regex value(R"re(([A-Z_]+)="([^"]*)")re");
        for (std::string line; std::getline(probes, line);) {
            const auto colon = line.find(": ");
            if (line.empty() || line[0] == '#' || colon == std::string::npos)
                continue;
            TFsIdentity& identity = Probed[line.substr(0, colon)];
            for (std::sregex_iterator it(line.begin() + colon, line.end(), value), end; it != end; ++it)
                ((*it)[1] == "TYPE" ? identity.Type : (*it)[1] == "LABEL" ? identity.Label
                                      : (*it)[1] == "UUID"                ? identity.Uuid
                                                                          : ignored_) = (*it)[2];
        }
    }

    ~FixtureVolumeSource() override
    {
        // A worker still inside Space must be out before the fixture goes.
        std::unique_lock hold(lock_);
        released_ = true;
        changed_.notify_all();
        changed_.wait(hold, [this] { return inSpace_ == 0; });
    }

    // The working directory relative paths start from.
    std::string WorkingDirectory = "/home/ana";
    // Paths that do not exist, with everything below them.
    std::set<std::string> Missing;
    // statvfs figures and what statx says, by the directories of the tree.
    std::map<std::string, TFsSpace> Spaces;
    std::map<std::string, TPathMount> Kernel;
    // What probing a device node finds; how often it was probed.
    std::map<std::string, TFsIdentity> Probed;
    mutable int ProbeCount = 0;
    // Trees whose statvfs does not come back until Release; waiting for
    // them gives up at once.
    std::set<std::string> Hung;

    void Release()
    {
        const std::lock_guard hold(lock_);
        released_ = true;
        changed_.notify_all();
    }
    int SpaceCalls() const
    {
        const std::lock_guard hold(lock_);
        return spaceCalls_;
    }

    std::string MountInfoPath() const override { return mountTable_; }
    std::string SysfsRoot() const override { return dir_ + "/sys"; }
    std::string UdevDataRoot() const override { return dir_ + "/run/udev/data"; }

    std::optional<std::string> RealPath(const std::string& path) const override
    {
        if (path.empty())
            return std::nullopt;
        std::string real = (std::filesystem::path(WorkingDirectory) / path).lexically_normal().string();
        if (real.size() > 1 && real.back() == '/')
            real.pop_back();
        for (const std::string& gone : Missing)
            if (real == gone || real.starts_with(gone + "/"))
                return std::nullopt;
        return real;
    }

    std::optional<TPathMount> PathMount(const std::string& path) const override
    {
        const std::optional<std::string> tree = Tree(path);
        return tree ? std::optional(Kernel.at(*tree)) : std::nullopt;
    }

    std::optional<TFsIdentity> ProbeIdentity(const std::string& deviceNode) const override
    {
        ++ProbeCount;
        const auto found = Probed.find(deviceNode);
        return found == Probed.end() ? std::nullopt : std::optional(found->second);
    }

    std::optional<TFsSpace> Space(const std::string& path) const override
    {
        const std::optional<std::string> tree = Tree(path);
        if (!tree)
            return std::nullopt;
        std::unique_lock hold(lock_);
        ++spaceCalls_;
        ++inSpace_;
        changed_.notify_all();
        if (Hung.contains(*tree))
            changed_.wait(hold, [this] { return released_; });
        --inSpace_;
        changed_.notify_all();
        const auto found = Spaces.find(*tree);
        return found == Spaces.end() ? std::nullopt : std::optional(found->second);
    }

    bool AwaitSpace(const std::string& path, const TPendingSpace& pending) const override
    {
        const std::optional<std::string> tree = Tree(path);
        if (tree && Hung.contains(*tree)) {
            // The time runs out while the worker is stuck in statvfs.
            std::unique_lock hold(lock_);
            if (!released_) {
                changed_.wait(hold, [this] { return inSpace_ > 0; });
                return pending.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
            }
        }
        pending.wait();
        return true;
    }

private:
    // The directory of Kernel whose tree holds path, as the kernel would
    // resolve it.
    std::optional<std::string> Tree(const std::string& path) const
    {
        const std::optional<std::string> real = RealPath(path);
        if (!real)
            return std::nullopt;
        std::optional<std::string> best;
        for (const auto& [tree, at] : Kernel)
            if ((tree == "/" || *real == tree || real->starts_with(tree + "/")) &&
                (!best || tree.size() > best->size()))
                best = tree;
        return best;
    }

    std::string dir_, mountTable_;
    std::string ignored_;
    mutable std::mutex lock_;
    mutable std::condition_variable changed_;
    mutable bool released_ = false;
    mutable int spaceCalls_ = 0, inSpace_ = 0;
};
