#include "gallery/GalleryTabs.h"

#include <QLabel>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

TPanelTab::TPanelTab(QWidget* Parent) : QWidget(Parent), Picture(1600, 1200)
{
    auto* column = new QVBoxLayout(this);
    column->addWidget(new QLabel(
        QString::fromUtf8("Una imagen de 1600 × 1200 píxeles; las barras del panel la desplazan."), this));
    Panel = new TPnlImg(this);
    Panel->SetScrollBars(true);
    column->addWidget(Panel, 1);

    // Rings of colour on a grid, so that every part of the picture shows
    // where it is.
    TCanvas& c = Picture.Canvas();
    for (int y = 0; y < Picture.Height(); ++y) {
        std::uint32_t* row = Picture.ScanLine(y);
        for (int x = 0; x < Picture.Width(); ++x) {
            const double r = std::hypot(x - 800.0, y - 600.0);
            const auto v = static_cast<std::uint32_t>(127 + 127 * std::cos(r / 23));
            row[x] = v << 16 | (x * 255 / Picture.Width()) << 8 | (y * 255 / Picture.Height());
        }
    }
    c.Pen.Color = clBlack;
    for (int x = 0; x < Picture.Width(); x += 100) {
        c.MoveTo(x, 0);
        c.LineTo(x, Picture.Height());
    }
    for (int y = 0; y < Picture.Height(); y += 100) {
        c.MoveTo(0, y);
        c.LineTo(Picture.Width(), y);
    }

    Panel->OnScrollBarHChange = [this](TObject*) { Show(); };
    Panel->OnScrollBarVChange = [this](TObject*) { Show(); };
    Panel->OnResize = [this](TObject*) {
        BarsSet();
        Show();
    };
    BarsSet();
    Show();
}

// The bars' range is what the panel's picture cannot show at once.
void TPanelTab::BarsSet()
{
    const int w = Panel->Image->width(), h = Panel->Image->height();
    TScrollBar* bars[] = {Panel->ScrollBarH, Panel->ScrollBarV};
    const int page[] = {w, h}, whole[] = {Picture.Width(), Picture.Height()};
    for (int i = 0; i < 2; ++i) {
        TScrollBar* bar = bars[i];
        const int max = std::max(whole[i] - page[i], 0);
        bar->SetParams(std::min(bar->Position(), max), 0, max);
        bar->SetPageSize(page[i]);
        bar->SetSmallChange(20);
        bar->SetLargeChange(std::max(page[i] - 20, 1));
    }
}

void TPanelTab::Show()
{
    TCanvas& c = Panel->Image->Canvas();
    c.Draw(-Panel->ScrollBarH->Position(), -Panel->ScrollBarV->Position(), Picture);
    Panel->Image->Repaint();
}
