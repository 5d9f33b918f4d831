#include "components/disk/Diskinfo.h"
#include "components/disk/Volumes.h"
#include "components/disk/FixtureVolumeSource.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sys/statvfs.h>

namespace {

const std::string kPrevious = "(anterior)";

struct Expected {
    std::string Path, DriveType, FileSystem, VolumeName, SerialNumberStr;
    std::int64_t Size, Free;
};

TEST(DiskInfo, NewComponentHasRootAndEmptyFields)
{
    TDiskInfo info;
    EXPECT_EQ(info.Drive(), "/");
    EXPECT_EQ(info.DriveType(), "");
    EXPECT_EQ(info.DriveSize(), 0);
    EXPECT_EQ(info.DriveFree(), 0);
    EXPECT_EQ(info.FileSystem(), "");
    EXPECT_EQ(info.SerialNumber(), 0u);
    EXPECT_EQ(info.SerialNumberStr(), "");
    EXPECT_EQ(info.VolumeName(), "");
    EXPECT_FALSE(info.VolumeInfoRead());
}

TEST(DiskInfo, EveryKindOfVolumeInTheMountTable)
{
    FixtureVolumeSource fixture;
    VolumeSourceScope scope(fixture);
    const Expected cases[] = {
        // udev knows the root disk; its 128-bit UUID gives the first 32 bits
        {"/", "Disco duro", "ext4", "sistema", "0123-ABCD", 250059350016, 125029675008},
        // /mnt/ab is not below the mount at /mnt/a; the case of a path is kept
        {"/mnt/ab", "Disco duro", "ext4", "sistema", "0123-ABCD", 250059350016, 125029675008},
        {"/MEDIA/ana", "Disco duro", "ext4", "sistema", "0123-ABCD", 250059350016, 125029675008},
        // a bind mount of a folder of the root disk is the root disk
        {"/datos/fotos", "Disco duro", "ext4", "sistema", "0123-ABCD", 250059350016, 125029675008},
        // udev has no record of the second disk: the device is probed
        {"/home/ana/notas.txt", "Disco duro", "ext4", "casa", "9F8E-7D6C", 1000204886016, 750153662464},
        // nested mount below /home that neither udev nor the probe knows: the
        // mount table's type
        {"/home/ana/trabajo/informe.odt", "Disco duro", "xfs", "", "0000-0000", 107374182400, 4294967296},
        // escaped blank in the mount point; removable 1 in sysfs
        {"/media/ana/MI USB/Fotos", "Disco extraible", "vfat", "MI USB", "1A2B-3C4D", 32044482560, 28672000000},
        // a card reader saying removable 0, but on the memory-card bus
        {"/media/ana/SD", "Disco extraible", "exfat", "FOTOS", "0000-0ABC", 63726157824, 61440000000},
        // an optical disc above 4 GiB; its date-like UUID gives no serial
        {"/media/ana/DVD/", "CDRom", "iso9660", "VACACIONES_2024", "0000-0000", 4700372992, 0},
        {"/tmp/sesion", "Disco de RAM", "tmpfs", "", "0000-0000", 4096000000, 4091904000},
        // a total whose product overflows is unknown
        {"/var/cache/zram", "Disco de RAM", "ext4", "", "0000-0000", -1, 4096},
        // /mnt/nas has a second share mounted over the first
        {"/mnt/nas", "Disco remoto", "nfs4", "", "0000-0000", 2000398934016, 409600000000},
        // statvfs fails: the volume is read, the sizes are unknown
        {"/mnt/ssh/docs", "Disco remoto", "fuse.sshfs", "", "0000-0000", -1, -1},
        // /mnt/a (tmpfs) was mounted after /mnt/a/b and hides it
        {"/mnt/a/b/c", "Disco de RAM", "tmpfs", "", "0000-0000", 1073741824, 1073152000},
        // a tmpfs moved onto /mnt/dst after an ext4 volume was mounted at
        // /mnt/dst/q: the path lies on the tmpfs, whatever the table's order
        {"/mnt/dst/q", "Disco de RAM", "tmpfs", "", "0000-0000", 1048576, 1024000},
        // working directories inside trees unmounted with umount -l: a disk
        // mounted nowhere else, and the disk still mounted at /home
        {"/proc/4242/cwd", "Disco duro", "ext4", "COPIA", "C0FF-EE00", 8388608, 8388608},
        {"/proc/4343/cwd/notas.txt", "Disco duro", "ext4", "casa", "9F8E-7D6C", 1000204886016, 750153662464},
        // relative paths start at the working directory
        {"trabajo/informe.odt", "Disco duro", "xfs", "", "0000-0000", 107374182400, 4294967296},
        // flash soldered on the board beside the SD card slot
        {"/srv/interno", "Disco duro", "ext4", "interno", "7D3E-9A10", 14831058944, 12288000000},
        // no block device: a ZFS dataset, shares of a virtual machine's host
        {"/tank/datos", "Disco duro", "zfs", "", "0000-0000", 10995116277760, 8796093022208},
        {"/mnt/anfitrion/x", "Disco remoto", "virtiofs", "", "0000-0000", 536870912, 268435456},
        {"/mnt/9p", "Disco remoto", "9p", "", "0000-0000", -1, -1},
        {"/media/sf_datos", "Disco remoto", "vboxsf", "", "0000-0000", -1, -1},
        // a package image on a loop device still answers a query
        {"/snap/core22/1380", "Disco duro", "squashfs", "", "0000-0000", -1, -1},
        // volumes of no known kind keep the previous text
        {"/proc/1", kPrevious, "proc", "", "0000-0000", -1, -1},
        {"/var/lib/docker/overlay2/3f2a/merged/etc", kPrevious, "overlay", "", "0000-0000", -1, -1},
    };
    for (const Expected& c : cases) {
        SCOPED_TRACE(c.Path);
        TDiskInfo info;
        info.SetDriveType(kPrevious);
        info.SetDrive(c.Path);
        EXPECT_TRUE(info.VolumeInfoRead());
        EXPECT_EQ(info.Drive(), c.Path);
        EXPECT_EQ(info.DriveType(), c.DriveType);
        EXPECT_EQ(info.FileSystem(), c.FileSystem);
        EXPECT_EQ(info.VolumeName(), c.VolumeName);
        EXPECT_EQ(info.SerialNumberStr(), c.SerialNumberStr);
        EXPECT_EQ(info.DriveSize(), c.Size);
        EXPECT_EQ(info.DriveFree(), c.Free);
    }
}

TEST(DiskInfo, PathWithNoVolumeKeepsTheKindAndClearsTheRest)
{
    FixtureVolumeSource fixture;
    fixture.Missing = {"/media/ana/NADA", "/home/ana/nada"};
    VolumeSourceScope scope(fixture);
    TDiskInfo info;
    for (const std::string path : {"", "/media/ana/NADA", "/media/ana/NADA/x", "nada"}) {
        SCOPED_TRACE(path);
        info.SetDrive("/media/ana/MI USB");
        ASSERT_EQ(info.DriveType(), "Disco extraible");
        info.SetDrive(path);
        EXPECT_EQ(info.Drive(), path);
        EXPECT_FALSE(info.VolumeInfoRead());
        EXPECT_EQ(info.DriveType(), "Disco extraible");
        EXPECT_EQ(info.FileSystem(), "");
        EXPECT_EQ(info.VolumeName(), "");
        EXPECT_EQ(info.SerialNumber(), 0u);
        EXPECT_EQ(info.SerialNumberStr(), "0000-0000");
        EXPECT_EQ(info.DriveSize(), -1);
        EXPECT_EQ(info.DriveFree(), -1);
    }
}

TEST(DiskInfo, RefreshReadsTheSameDriveAgain)
{
    FixtureVolumeSource fixture;
    VolumeSourceScope scope(fixture);
    TDiskInfo info;
    info.SetDrive("/home");
    fixture.Spaces["/home"] = TFsSpace{2000, 500, 1024};
    info.Refresh();
    EXPECT_EQ(info.DriveSize(), 2048000);
    EXPECT_EQ(info.DriveFree(), 512000);
    fixture.Missing = {"/home"};
    info.Refresh();
    EXPECT_FALSE(info.VolumeInfoRead());
    EXPECT_EQ(info.DriveType(), "Disco duro");
    EXPECT_EQ(info.DriveSize(), -1);
}

TEST(DiskInfo, VolumesAreTheDrivesEachOnce)
{
    FixtureVolumeSource fixture;
    VolumeSourceScope scope(fixture);
    // Not listed: the pseudo file systems, the bind mount of the root disk,
    // /mnt/a/b and /mnt/dst/q (hidden), the first share at /mnt/nas
    // (covered), overlay, the package image, the dataset mounted twice.
    const std::vector<std::string> expected{
        "/",          "/home",       "/home/ana/trabajo", "/media/ana/MI USB", "/media/ana/DVD",
        "/media/ana/SD", "/var/cache/zram", "/mnt/ssh", "/mnt/nas", "/srv/interno",
        "/tank/datos", "/mnt/anfitrion", "/mnt/9p",         "/media/sf_datos"};
    EXPECT_EQ(TDiskInfo::Volumes(), expected);
}

TEST(DiskInfo, DamagedOrMissingMountTable)
{
    // A line that is no mount, a line cut short, parent links that form a
    // loop, a mount that is its own parent: the lookup still ends, and a
    // mount with no way to it from the root does not count.
    FixtureVolumeSource broken("mountinfo-broken", "statx-old.txt");
    VolumeSourceScope scope(broken);
    TDiskInfo info;
    info.SetDrive("/y/a");
    EXPECT_EQ(info.FileSystem(), "tmpfs");
    info.SetDrive("/z/w");
    EXPECT_EQ(info.FileSystem(), "ext4");
    EXPECT_EQ(TDiskInfo::Volumes(), std::vector<std::string>{"/"});

    // Without a table the device the path lies on still tells the volume.
    FixtureVolumeSource missing("no-such-table");
    VolumeSourceScope inner(missing);
    info.SetDrive("/home/ana");
    EXPECT_TRUE(info.VolumeInfoRead());
    EXPECT_EQ(info.VolumeName(), "casa");
    info.SetDrive("/tmp");
    EXPECT_FALSE(info.VolumeInfoRead());
    EXPECT_TRUE(TDiskInfo::Volumes().empty());
}

TEST(DiskInfo, SerialNumbersAndUdevTexts)
{
    EXPECT_EQ(SerialFromUuid("1a2b-3C4D"), 0x1A2B3C4Du);  // FAT, exFAT
    EXPECT_EQ(SerialFromUuid("0123456789ABCDEF"), 0x89ABCDEFu);  // NTFS: the low half
    EXPECT_EQ(SerialFromUuid("0123abcd-5678-4def-9abc-def012345678"), 0x0123ABCDu);
    EXPECT_EQ(SerialFromUuid("0123abcd56784def9abcdef012345678"), 0x0123ABCDu);
    for (const char* odd : {"", "1A2B-3C4", "1A2B3C4D", "G123-4567", "1A2B_3C4D", "2024-07-01-10-20-30-00"})
        EXPECT_EQ(SerialFromUuid(odd), 0u) << odd;

    EXPECT_EQ(DecodeUdevString("MI\\x20USB\\x5c"), "MI USB\\");
    const std::optional<TFsIdentity> plain = UdevRecordIdentity("E:ID_FS_TYPE=vfat\nE:ID_FS_LABEL=A_B\nE:ID_FS_UUID=1-2");
    ASSERT_TRUE(plain);
    EXPECT_EQ(plain->Label, "A_B");
    EXPECT_EQ(plain->Uuid, "1-2");
    EXPECT_FALSE(UdevRecordIdentity("S:disk/by-id/x\nE:ID_FS_LABEL=A\nE:ID_FS_TYPE\nV:1\n"));
    EXPECT_EQ(DecodeUdevString("a\\x2"), "a\\x2");
    EXPECT_EQ(DecodeUdevString("\\xZZ\\y"), "\\xZZ\\y");
    // Signs and prefixes are no hex digits.
    EXPECT_EQ(DecodeUdevString("\\x+1\\x-1"), "\\x+1\\x-1");
    EXPECT_EQ(SerialFromUuid("+1A2-3C4D"), 0u);
    EXPECT_EQ(HexValue("0x1"), std::nullopt);
    EXPECT_EQ(HexValue("100000000"), std::nullopt);  // past 32 bits

    EXPECT_EQ(ByteCount(1u << 20, 1u << 20), std::int64_t{1} << 40);
    EXPECT_EQ(ByteCount(std::uint64_t{1} << 62, 2), -1);
}

// Probing reads the superblock once per mounting; a file system made anew on
// the same device and mounted again (the table's mount ID handed out again)
// shows its new label.
TEST(DiskInfo, ProbedIdentityKeptWhileMounted)
{
    FixtureVolumeSource fixture;
    VolumeSourceScope scope(fixture);
    TDiskInfo info;
    info.SetDrive("/home");
    info.SetDrive("/home/ana");
    info.Refresh();
    EXPECT_EQ(info.VolumeName(), "casa");
    EXPECT_EQ(fixture.ProbeCount, 1);

    fixture.Kernel["/home"].UniqueId = 2000028;
    fixture.Probed["/dev/sdc1"].Label = "nueva";
    info.Refresh();
    EXPECT_EQ(info.VolumeName(), "nueva");
    EXPECT_EQ(fixture.ProbeCount, 2);

    // A kernel without unique mount IDs: nothing to key on, every query probes.
    fixture.Kernel["/home"].UniqueId = 0;
    fixture.Probed["/dev/sdc1"].Label = "otra";
    info.Refresh();
    info.Refresh();
    EXPECT_EQ(info.VolumeName(), "otra");
    EXPECT_EQ(fixture.ProbeCount, 4);
}

// A share whose server stopped answering gives unknown sizes instead of
// stalling the caller, and the other volumes are read as ever.
TEST(DiskInfo, HungShareDoesNotStallTheListing)
{
    FixtureVolumeSource fixture;
    fixture.Hung = {"/mnt/nas"};
    VolumeSourceScope scope(fixture);
    TDiskInfo info;
    info.SetDrive("/mnt/nas");
    EXPECT_TRUE(info.VolumeInfoRead());
    EXPECT_EQ(info.DriveType(), "Disco remoto");
    EXPECT_EQ(info.DriveSize(), -1);
    EXPECT_EQ(info.DriveFree(), -1);
    const int calls = fixture.SpaceCalls();

    for (const std::string& drive : TDiskInfo::Volumes()) {
        info.SetDrive(drive);
        // Beside the hung share: no figures, and a total that overflows.
        const bool unknown = drive == "/mnt/nas" || drive == "/mnt/ssh" || drive == "/mnt/9p" ||
                             drive == "/media/sf_datos" || drive == "/var/cache/zram";
        EXPECT_EQ(info.DriveSize() < 0, unknown) << drive;
    }
    // Asked again while stuck, by any path on the share: the same query is
    // waited for, no new one.
    info.SetDrive("/mnt/nas/fotos");
    info.SetDrive("/mnt/nas");
    EXPECT_EQ(fixture.SpaceCalls(), calls + 13);

    fixture.Release();
    info.SetDrive("/mnt/nas");
    EXPECT_EQ(info.DriveSize(), 2000398934016);
}

// The machine's own volumes agree with what statvfs says of them.
TEST(DiskInfo, LiveVolumesMatchStatvfs)
{
    for (const std::string& path : {std::string("/"), std::filesystem::current_path().string()}) {
        SCOPED_TRACE(path);
        TDiskInfo info;
        info.SetDrive(path);
        struct statvfs figures {};
        ASSERT_EQ(statvfs(path.c_str(), &figures), 0);
        EXPECT_TRUE(info.VolumeInfoRead());
        EXPECT_FALSE(info.FileSystem().empty());
        EXPECT_EQ(info.DriveSize(), static_cast<std::int64_t>(figures.f_blocks * figures.f_frsize));
        // Others write to the disk meanwhile: free space only roughly.
        const auto free = static_cast<std::int64_t>(figures.f_bavail * figures.f_frsize);
        EXPECT_GE(info.DriveFree(), 0);
        EXPECT_LE(info.DriveFree(), info.DriveSize());
        EXPECT_NEAR(static_cast<double>(info.DriveFree()), static_cast<double>(free), 1e9);
    }
    for (const std::string& drive : TDiskInfo::Volumes()) {
        TDiskInfo info;
        info.SetDrive(drive);
        EXPECT_TRUE(info.VolumeInfoRead()) << drive;
    }
}

}  // namespace
