#include "gallery/GalleryTabs.h"

#include "components/Diskinfo.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLocale>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <cmath>

QString DiskSizeText(std::int64_t bytes)
{
    if (bytes < 0)
        return QString::fromUtf8("desconocido");
    static const char* const units[] = {"bytes", "KiB", "MiB", "GiB", "TiB", "PiB", "EiB"};
    int unit = 0;
    double value = double(bytes);
    while (value >= 1024 && unit < 6) {
        value /= 1024;
        ++unit;
    }
    double tenths = std::round(value * 10) / 10;
    if (tenths >= 1024 && unit < 6) {
        tenths = std::round(tenths / 1024 * 10) / 10;
        ++unit;
    }
    const int decimals = unit > 0 && tenths != std::floor(tenths) ? 1 : 0;
    return QLocale().toString(tenths, 'f', decimals) + u' ' + QString::fromLatin1(units[unit]);
}

namespace {

// Each column as wide as what it holds, and the last one taking the rest
// of the width.
void ColumnsFit(QTableWidget* table)
{
    table->resizeColumnsToContents();
    // Sizing the last column to its contents ends its stretch.
    table->horizontalHeader()->setStretchLastSection(false);
    table->horizontalHeader()->setStretchLastSection(true);
}

} // namespace

TDiscosTab::TDiscosTab(QWidget* Parent) : QWidget(Parent)
{
    auto* column = new QVBoxLayout(this);
    Table = new QTableWidget(this);
    Table->setColumnCount(7);
    Table->setHorizontalHeaderLabels({QString::fromUtf8("Unidad"), QString::fromUtf8("Tipo"),
                                      QString::fromUtf8("Etiqueta"), QString::fromUtf8("Sistema de archivos"),
                                      QString::fromUtf8("Número de serie"), QString::fromUtf8("Tamaño"),
                                      QString::fromUtf8("Libre")});
    Table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Table->verticalHeader()->hide();
    Table->horizontalHeader()->setStretchLastSection(true);
    column->addWidget(Table, 1);
    auto* row = new QHBoxLayout;
    auto* refresh = new QPushButton(QString::fromUtf8("&Actualizar"), this);
    connect(refresh, &QPushButton::clicked, this, [this] { Fill(); });
    row->addStretch(1);
    row->addWidget(refresh);
    column->addLayout(row);
    Fill();
}

void TDiscosTab::Fill()
{
    const std::vector<std::string> volumes = TDiskInfo::Volumes();
    Table->setRowCount(static_cast<int>(volumes.size()));
    TDiskInfo info;
    for (int r = 0; r < static_cast<int>(volumes.size()); ++r) {
        info.SetDrive(volumes[static_cast<std::size_t>(r)]);
        const QString cells[] = {QString::fromStdString(info.Drive()),      QString::fromStdString(info.DriveType()),
                                 QString::fromStdString(info.VolumeName()), QString::fromStdString(info.FileSystem()),
                                 QString::fromStdString(info.SerialNumberStr()), DiskSizeText(info.DriveSize()),
                                 DiskSizeText(info.DriveFree())};
        for (int c = 0; c < 7; ++c) {
            auto* item = new QTableWidgetItem(cells[c]);
            if (c >= 5)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            Table->setItem(r, c, item);
        }
    }
    ColumnsFit(Table);
}
