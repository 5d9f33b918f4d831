#include "components/disk/Diskinfo.h"
#include "gallery/GalleryTabs.h"
#include "gallery/Pelmorau.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDoubleSpinBox>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableWidget>

#include <gtest/gtest.h>

#include <set>

namespace {

std::uint32_t Word(const TBitmap& b, int x, int y) { return b.ScanLine(y)[x]; }
std::uint32_t Word(TColor c) { return (c & 0xFF) << 16 | (c & 0xFF00) | (c >> 16 & 0xFF); }

// Distinct colours on a bitmap, a sign that something was drawn.
std::size_t Colours(const TBitmap& b)
{
    std::set<std::uint32_t> seen;
    for (int y = 0; y < b.Height(); y += 3)
        for (int x = 0; x < b.Width(); x += 3)
            seen.insert(Word(b, x, y));
    return seen.size();
}

template <class Tab>
Tab* Open(TPelmoraF& window, int index)
{
    window.Tabs->setCurrentIndex(index);
    return dynamic_cast<Tab*>(window.Tabs->currentWidget());
}

}  // namespace

TEST(Gallery, EveryTabOpensAndDraws)
{
    TPelmoraF window;
    window.show();
    EXPECT_EQ(window.windowTitle(), "Componentes Pelmora");
    ASSERT_EQ(window.Tabs->count(), 5);
    const char* titles[] = {"Imagen", "Panel", "Gráfico", "Escala", "Discos"};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(window.Tabs->tabText(i), QString::fromUtf8(titles[i]));

    auto* imagen = Open<TImagenTab>(window, 0);
    ASSERT_NE(imagen, nullptr);
    const TBitmap& ib = imagen->Image->Picture().Bitmap();
    EXPECT_GT(Colours(ib), 20u);
    // A turn by 90 degrees swaps the sides, and the control follows.
    const int w = ib.Width(), h = ib.Height();
    imagen->Angle->setValue(90);
    imagen->Turn();
    EXPECT_EQ(imagen->Image->Picture().Bitmap().Width(), h);
    EXPECT_EQ(imagen->Image->width(), h);
    EXPECT_EQ(imagen->Image->height(), w);

    // The panel shows the part of the large picture its bars point at.
    auto* panel = Open<TPanelTab>(window, 1);
    ASSERT_NE(panel, nullptr);
    const TBitmap& pb = panel->Panel->Image->Picture().Bitmap();
    ASSERT_GT(pb.Width(), 10);
    EXPECT_EQ(Word(pb, 5, 7), Word(panel->Picture, 5, 7));
    EXPECT_EQ(panel->Panel->ScrollBarH->Max(), panel->Picture.Width() - pb.Width());
    panel->Panel->ScrollBarH->SetPosition(300);
    panel->Panel->ScrollBarV->SetPosition(250);
    EXPECT_EQ(Word(pb, 5, 7), Word(panel->Picture, 305, 257));
    EXPECT_EQ(Word(pb, pb.Width() - 1, pb.Height() - 1),
              Word(panel->Picture, 300 + pb.Width() - 1, 250 + pb.Height() - 1));

    // The curve and the world coordinates under the pointer.
    auto* grafico = Open<TGraficoTab>(window, 2);
    ASSERT_NE(grafico, nullptr);
    TCanvas2D* plot = grafico->Plot;
    plot->Draw();
    const TBitmap& gb = plot->Image().Picture().Bitmap();
    const int x = plot->ValToScrX(-0.7);
    EXPECT_EQ(Word(gb, x, plot->ValToScrY(TGraficoTab::Function(-0.7))), Word(clYellow));
    EXPECT_EQ(Word(gb, x, plot->ValToScrY(1.4)), Word(plot->ColorInt()));
    plot->OnMouseMove(plot, 0, plot->ValToScrX(2), plot->ValToScrY(-1));
    EXPECT_EQ(window.statusBar()->currentMessage(), QString::fromUtf8("x = 2.00    y = -1.00"));

    // The field is coloured with the scale's colours, in every graduation.
    auto* escala = Open<TEscalaTab>(window, 3);
    ASSERT_NE(escala, nullptr);
    for (int graduation : {0, 1}) {
        escala->Graduation->setCurrentIndex(graduation);
        const TBitmap& fb = escala->Field->Picture().Bitmap();
        ASSERT_GT(fb.Width(), 20);
        for (auto [fx, fy] : {std::pair{3, 4}, std::pair{fb.Width() / 3, fb.Height() / 2}})
            EXPECT_EQ(Word(fb, fx, fy), Word(escala->Scale->ValueToColor(escala->FieldValue(fx, fy))));
    }
    escala->Minimum->setValue(20);
    escala->Maximum->setValue(40);
    EXPECT_EQ(escala->Scale->Minimum(), 20);
    EXPECT_EQ(escala->Scale->Maximum(), 40);
    escala->Orientation->setCurrentIndex(1);
    EXPECT_EQ(escala->Scale->Orientation(), Escala::eoHorizontal);
    EXPECT_GT(Colours(escala->Scale->Image->Picture().Bitmap()), 5u);

    auto* discos = Open<TDiscosTab>(window, 4);
    ASSERT_NE(discos, nullptr);
    for (int turn = 0; turn < 1000 && discos->Filling(); ++turn)
        QCoreApplication::processEvents();
    EXPECT_EQ(discos->Table->rowCount(), static_cast<int>(TDiskInfo::Volumes().size()));
    for (int r = 0; r < discos->Table->rowCount(); ++r)
        EXPECT_FALSE(discos->Table->item(r, 5)->text().isEmpty());
}
