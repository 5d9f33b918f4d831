// Disk queries answered from a fixture folder: the mount table "mountinfo",
// a sysfs tree "sys/", udev and probe answers "udev.txt" and "blkid.txt"
// (a key, then NAME=value per line), statvfs figures "space.txt" (blocks,
// available, fragment size, mount point).
#pragma once

#include "components/disk/VolumeSource.h"

#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <sys/sysmacros.h>

class FixtureVolumeSource : public TVolumeSource {
public:
    explicit FixtureVolumeSource(const std::string& mountTable = "mountinfo")
        : dir_(TILVO_DISKINFO_FIXTURES), mountTable_(dir_ + "/" + mountTable)
    {
        udev_ = ReadAnswers("udev.txt");
        blkid_ = ReadAnswers("blkid.txt");
        std::ifstream in(dir_ + "/space.txt");
        for (std::string line; std::getline(in, line);) {
            std::istringstream fields(line);
            TFsSpace space;
            std::string path;
            if (line[0] != '#' && fields >> space.Blocks >> space.Available >> space.FragmentSize >> std::ws &&
                std::getline(fields, path))
                Spaces[path] = space;
        }
    }

    // Paths that do not exist, with everything below them.
    std::set<std::string> Missing;
    std::map<std::string, TFsSpace> Spaces;

    std::string MountInfoPath() const override { return mountTable_; }
    std::string SysfsRoot() const override { return dir_ + "/sys"; }

    std::optional<std::string> RealPath(const std::string& path) const override
    {
        if (path.empty() || path[0] != '/')
            return std::nullopt;
        std::string real = std::filesystem::path(path).lexically_normal().string();
        if (real.size() > 1 && real.back() == '/')
            real.pop_back();
        for (const std::string& gone : Missing)
            if (real == gone || real.starts_with(gone + "/"))
                return std::nullopt;
        return real;
    }

    std::optional<TFsIdentity> UdevIdentity(dev_t device) const override
    {
        return Find(udev_, std::to_string(major(device)) + ":" + std::to_string(minor(device)));
    }
    std::optional<TFsIdentity> ProbeIdentity(const std::string& deviceNode) const override
    {
        return Find(blkid_, deviceNode);
    }
    std::optional<TFsSpace> Space(const std::string& path) const override
    {
        const auto found = Spaces.find(path);
        return found == Spaces.end() ? std::nullopt : std::optional(found->second);
    }

private:
    using Answers = std::map<std::string, TFsIdentity>;

    Answers ReadAnswers(const std::string& file) const
    {
        Answers answers;
        std::ifstream in(dir_ + "/" + file);
        for (std::string line; std::getline(in, line);) {
            const auto blank = line.find(' '), equals = line.find('=');
            if (line.empty() || line[0] == '#' || blank == std::string::npos || equals == std::string::npos)
                continue;
            TFsIdentity& identity = answers[line.substr(0, blank)];
            const std::string name = line.substr(blank + 1, equals - blank - 1), value = line.substr(equals + 1);
            (name == "TYPE" ? identity.Type : name == "LABEL" ? identity.Label : identity.Uuid) = value;
        }
        return answers;
    }

    static std::optional<TFsIdentity> Find(const Answers& answers, const std::string& key)
    {
        const auto found = answers.find(key);
        return found == answers.end() ? std::nullopt : std::optional(found->second);
    }

    std::string dir_, mountTable_;
    Answers udev_, blkid_;
};
