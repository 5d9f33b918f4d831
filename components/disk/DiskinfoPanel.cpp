#include "components/disk/DiskinfoPanel.h"

TDiskInfoPanel::TDiskInfoPanel(QWidget* Owner) : TCustomPanel(Owner)
{
    SetBevelOuter(bvRaised);
    SetBevelInner(bvLowered);
    resize(100, 30);
    CaptionUpdate();
}

void TDiskInfoPanel::SetDrive(const std::string& Value)
{
    FDiskInfo.SetDrive(Value);
    CaptionUpdate();
}

// The drive and, once read, its label or kind: enough to tell the panels of
// a form apart.
void TDiskInfoPanel::CaptionUpdate()
{
    std::string text = FDiskInfo.Drive();
    const std::string& detail = FDiskInfo.VolumeName().empty() ? FDiskInfo.DriveType() : FDiskInfo.VolumeName();
    if (!detail.empty())
        text += " · " + detail;
    SetCaption(text);
}
