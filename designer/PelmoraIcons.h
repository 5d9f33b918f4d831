// The palette icons, painted rather than shipped as files: a picture, a
// panel with scroll bars, a plot, a colour band and a disk.
#pragma once

#include <QIcon>

QIcon IconQelImage();
QIcon IconPnlImg();
QIcon IconCanvas2D();
QIcon IconEscala();
QIcon IconDiskInfo();
