#include "components/disk/Diskinfo.h"

#include "components/disk/Volumes.h"
#include "toolkit/system/SysUtils.h"

#include <optional>

namespace {

const char* KindText(TVolumeKind kind)
{
    switch (kind) {
    case TVolumeKind::Removable:
        return "Disco extraible";
    case TVolumeKind::Fixed:
        return "Disco duro";
    case TVolumeKind::Remote:
        return "Disco remoto";
    case TVolumeKind::CdRom:
        return "CDRom";
    case TVolumeKind::Ram:
        return "Disco de RAM";
    case TVolumeKind::Unknown:
        break;
    }
    return nullptr;
}

}  // namespace

TDiskInfo::TDiskInfo() : FDrive("/") {}

void TDiskInfo::SetDrive(const std::string& Value)
{
    FDrive = Value;
    const TVolumeSource& source = ActiveVolumeSource();
    const std::optional<TVolume> volume = VolumeOf(FDrive, source);
    FVolumeInfoRead = volume.has_value();
    FVolumeName = volume ? volume->Identity.Label : std::string();
    FFileSystem = volume ? volume->Identity.Type : std::string();
    // Nothing to show after a failed reading: 0 rather than the last volume's.
    FSerialNumber = volume ? SerialFromUuid(volume->Identity.Uuid) : 0;
    const std::string hex = IntToHex(static_cast<int>(FSerialNumber), 8);
    FSerialNumberStr = hex.substr(0, 4) + "-" + hex.substr(4, 4);
    if (const char* kind = volume ? KindText(volume->Kind) : nullptr)
        FDriveType = kind;

    // The figures of the path itself: the mount point found for it may be
    // hidden under another mount, or gone from the table with the path
    // still alive below it. A volume that may never answer gets a bounded
    // wait, and so does a path whose volume could not be told.
    FDriveSize = FDriveFree = -1;
    const std::optional<TFsSpace> space =
        volume && !volume->MayHang
            ? source.Space(FDrive)
            : BoundedSpace(source, FDrive, volume && !volume->MountPoint.empty() ? volume->MountPoint : FDrive);
    if (space) {
        FDriveSize = ByteCount(space->Blocks, space->FragmentSize);
        FDriveFree = ByteCount(space->Available, space->FragmentSize);
    }
}

void TDiskInfo::Refresh()
{
    SetDrive(FDrive);
}

std::vector<std::string> TDiskInfo::Volumes()
{
    return DriveMountPoints(ActiveVolumeSource());
}
