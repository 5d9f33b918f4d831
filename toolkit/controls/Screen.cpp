#include "toolkit/controls/Screen.h"

#include <QFile>
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>

#include <algorithm>
#include <cmath>

// ------------------------------------------------------------------ Screen

namespace {
TScreen screenInstance;
}
TScreen* Screen = &screenInstance;

int TScreen::Width() const
{
    auto* s = QGuiApplication::primaryScreen();
    return s ? s->geometry().width() : 0;
}

int TScreen::Height() const
{
    auto* s = QGuiApplication::primaryScreen();
    return s ? s->geometry().height() : 0;
}

int TScreen::PixelsPerInch() const
{
    auto* s = QGuiApplication::primaryScreen();
    return s ? std::max(96, int(std::lround(s->logicalDotsPerInch()))) : 96;
}

QCursor TScreen::Cursors(TCursor index) const
{
    for (const auto& [n, c] : loaded_)
        if (n == index)
            return c;
    switch (index) {
    case crNone: return QCursor(Qt::BlankCursor);
    case crCross: return QCursor(Qt::CrossCursor);
    case crIBeam: return QCursor(Qt::IBeamCursor);
    case crSizeAll: return QCursor(Qt::SizeAllCursor);
    case crSizeNESW: return QCursor(Qt::SizeBDiagCursor);
    case crSizeNS: return QCursor(Qt::SizeVerCursor);
    case crSizeNWSE: return QCursor(Qt::SizeFDiagCursor);
    case crSizeWE: return QCursor(Qt::SizeHorCursor);
    case crUpArrow: return QCursor(Qt::UpArrowCursor);
    case crHourGlass: return QCursor(Qt::WaitCursor);
    case crNo: return QCursor(Qt::ForbiddenCursor);
    case crHandPoint: return QCursor(Qt::PointingHandCursor);
    default: return QCursor(Qt::ArrowCursor);
    }
}

void TScreen::SetCursor(TCursor index, const QCursor& cursor)
{
    for (auto& [n, c] : loaded_)
        if (n == index) {
            c = cursor;
            return;
        }
    loaded_.emplace_back(index, cursor);
}

QCursor LoadCursorFromResource(const std::string& name)
{
    const QString base = ":/cursors/" + QString::fromStdString(name);
    QPixmap pixmap(base + ".png");
    if (pixmap.isNull())
        return QCursor(Qt::ArrowCursor);
    int hx = -1, hy = -1;
    QFile hot(base + ".hot");
    if (hot.open(QIODevice::ReadOnly)) {
        const QList<QByteArray> parts = hot.readAll().simplified().split(' ');
        if (parts.size() == 2) {
            hx = parts[0].toInt();
            hy = parts[1].toInt();
        }
    }
    return QCursor(pixmap, hx, hy);
}
