// A form's holder of a TDiskInfo. TDiskInfo is a plain object and Designer
// places only widgets, so a form carries this small bevelled panel instead:
// it owns one TDiskInfo, publishes its properties and shows the drive it
// reads. Set Visible to false when the form should not show it.
#pragma once

#include "components/disk/Diskinfo.h"
#include "toolkit/controls/Controls.h"

#include <QString>

class TDiskInfoPanel : public TCustomPanel {
    Q_OBJECT
    // Only Drive is kept in a form. The others are what reading the drive
    // gave on this machine, so they are read-only here: a form that stored
    // them would bring back another machine's figures over the fresh ones.
    Q_PROPERTY(QString Drive READ DriveQ WRITE SetDriveQ)  // "/"
    Q_PROPERTY(QString DriveType READ DriveTypeQ STORED false)
    Q_PROPERTY(qint64 DriveSize READ DriveSize STORED false)
    Q_PROPERTY(qint64 DriveFree READ DriveFree STORED false)
    Q_PROPERTY(QString FileSystem READ FileSystemQ STORED false)
    Q_PROPERTY(uint SerialNumber READ SerialNumber STORED false)
    Q_PROPERTY(QString SerialNumberStr READ SerialNumberStrQ STORED false)
    Q_PROPERTY(QString VolumeName READ VolumeNameQ STORED false)
public:
    // A small panel that reads and shows "/".
    explicit TDiskInfoPanel(QWidget* Owner = nullptr);

    TDiskInfo& DiskInfo() { return FDiskInfo; }              // The volume's figures, owned by the panel.
    const TDiskInfo& DiskInfo() const { return FDiskInfo; }  // The volume's figures, owned by the panel.

    const std::string& Drive() const { return FDiskInfo.Drive(); }  // The path whose volume is read.
    // Reads the drive (see TDiskInfo::SetDrive) and shows it; setting the
    // same drive again reads it again, as sizes change.
    void SetDrive(const std::string& Value);
    // The figures read from the drive, as TDiskInfo has them.
    const std::string& DriveType() const { return FDiskInfo.DriveType(); }
    qint64 DriveSize() const { return FDiskInfo.DriveSize(); }                // See TDiskInfo::DriveSize.
    qint64 DriveFree() const { return FDiskInfo.DriveFree(); }                // See TDiskInfo::DriveFree.
    const std::string& FileSystem() const { return FDiskInfo.FileSystem(); }  // See TDiskInfo::FileSystem.
    uint SerialNumber() const { return FDiskInfo.SerialNumber(); }            // See TDiskInfo::SerialNumber.
    // See TDiskInfo::SerialNumberStr.
    const std::string& SerialNumberStr() const { return FDiskInfo.SerialNumberStr(); }
    const std::string& VolumeName() const { return FDiskInfo.VolumeName(); }  // See TDiskInfo::VolumeName.

    TK_CAPTION_PROPERTY(Drive)
    // The texts as Qt properties.
    QString DriveTypeQ() const { return CaptionToQString(DriveType()); }
    QString FileSystemQ() const { return CaptionToQString(FileSystem()); }              // As a Qt property.
    QString SerialNumberStrQ() const { return CaptionToQString(SerialNumberStr()); }    // As a Qt property.
    QString VolumeNameQ() const { return CaptionToQString(VolumeName()); }              // As a Qt property.

private:
    void CaptionUpdate();

    TDiskInfo FDiskInfo;
};
