#include "gallery/GalleryTabs.h"

#include "components/disk/Diskinfo.h"

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

// The volumes are read one per turn of the event loop and each row is shown
// as soon as it is read: a share that does not answer holds up its own row
// only, and the page stays usable meanwhile.
void TDiscosTab::Fill()
{
    FVolumes = TDiskInfo::Volumes();
    Table->setRowCount(0);
    ++FFilling;  // ends a filling still under way
    const unsigned filling = FFilling;
    QMetaObject::invokeMethod(this, [this, filling] { FillRow(filling, 0); }, Qt::QueuedConnection);
}

bool TDiscosTab::Filling() const
{
    return Table->rowCount() < static_cast<int>(FVolumes.size());
}

void TDiscosTab::FillRow(unsigned filling, std::size_t index)
{
    if (filling != FFilling || index >= FVolumes.size())
        return;
    TDiskInfo info;
    info.SetDrive(FVolumes[index]);
    const QString cells[] = {QString::fromStdString(info.Drive()),      QString::fromStdString(info.DriveType()),
                             QString::fromStdString(info.VolumeName()), QString::fromStdString(info.FileSystem()),
                             QString::fromStdString(info.SerialNumberStr()), DiskSizeText(info.DriveSize()),
                             DiskSizeText(info.DriveFree())};
    const int r = Table->rowCount();
    Table->insertRow(r);
    for (int c = 0; c < 7; ++c) {
        auto* item = new QTableWidgetItem(cells[c]);
        if (c >= 5)
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        Table->setItem(r, c, item);
    }
    ColumnsFit(Table);
    QMetaObject::invokeMethod(this, [this, filling, index] { FillRow(filling, index + 1); }, Qt::QueuedConnection);
}
