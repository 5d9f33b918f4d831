#include "components/disk/VolumeSource.h"

#include "toolkit/system/SysUtils.h"

#include <blkid/blkid.h>
#include <libudev.h>
#include <sys/statvfs.h>

#include <cctype>
#include <cstdlib>
#include <memory>
#include <type_traits>

namespace {

// The udev database keeps labels twice: ID_FS_LABEL with blanks and unsafe
// characters replaced by "_", and ID_FS_LABEL_ENC with them written as \xNN.
// Only the second gives back the label as it is on the volume.
std::string UdevProperty(udev_device* device, const char* name)
{
    const std::string encoded = std::string(name) + "_ENC";
    if (const char* value = udev_device_get_property_value(device, encoded.c_str()))
        return DecodeUdevString(value);
    const char* value = udev_device_get_property_value(device, name);
    return value ? value : "";
}

class SystemSource final : public TVolumeSource {
public:
    std::string MountInfoPath() const override { return "/proc/self/mountinfo"; }
    std::string SysfsRoot() const override { return "/sys"; }

    std::optional<std::string> RealPath(const std::string& path) const override
    {
        if (path.empty())
            return std::nullopt;
        std::unique_ptr<char, decltype(&std::free)> real(realpath(path.c_str(), nullptr), &std::free);
        if (!real)
            return std::nullopt;
        return std::string(real.get());
    }

    std::optional<TFsIdentity> UdevIdentity(dev_t device) const override
    {
        std::unique_ptr<udev, decltype(&udev_unref)> context(udev_new(), &udev_unref);
        if (!context)
            return std::nullopt;
        std::unique_ptr<udev_device, decltype(&udev_device_unref)> record(
            udev_device_new_from_devnum(context.get(), 'b', device), &udev_device_unref);
        // Without a database the device is still found through sysfs, but
        // carries none of the ID_FS_ properties.
        if (!record || !udev_device_get_property_value(record.get(), "ID_FS_TYPE"))
            return std::nullopt;
        return TFsIdentity{UdevProperty(record.get(), "ID_FS_TYPE"), UdevProperty(record.get(), "ID_FS_LABEL"),
                           UdevProperty(record.get(), "ID_FS_UUID")};
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

bool IsHex(char c)
{
    return std::isxdigit(static_cast<unsigned char>(c)) != 0;
}

}  // namespace

std::string DecodeUdevString(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool escape = text[i] == '\\' && i + 3 < text.size() && text[i + 1] == 'x';
        if (escape && IsHex(text[i + 2]) && IsHex(text[i + 3])) {
            out += static_cast<char>(StrToInt("$" + std::string(text.substr(i + 2, 2))));
            i += 3;
            continue;
        }
        out += text[i];
    }
    return out;
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
