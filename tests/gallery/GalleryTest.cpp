#include "components/disk/Diskinfo.h"
#include "gallery/GalleryTabs.h"
#include "gallery/Pelmorau.h"

#include "toolkit/controls/Controls.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QCursor>
#include <QDoubleSpinBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLocale>
#include <QMouseEvent>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableWidget>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

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
    // The switches of the axes.
    grafico->RoundMarks->setChecked(true);
    grafico->Grid->setChecked(true);
    EXPECT_TRUE(plot->AxisMarksRound());
    EXPECT_EQ(Word(gb, plot->ValToScrX(-4), plot->ValToScrY(1.4)), Word(plot->AxisGridColor()));
    grafico->Grid->setChecked(false);
    EXPECT_FALSE(plot->AxisGrid());

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

// A horizontal scale shows its whole band and its labels inside its picture,
// with the labels after the band or before it.
TEST(Gallery, HorizontalScaleShowsAllItsContent)
{
    TPelmoraF window;
    window.show();
    auto* escala = Open<TEscalaTab>(window, 3);
    ASSERT_NE(escala, nullptr);
    escala->Orientation->setCurrentIndex(1);
    TEscala* s = escala->Scale;
    TBitmap font(1, 1);
    font.Canvas().Font = s->Font();
    const int th = font.Canvas().TextHeight("0"), M = s->Margin(), BW = s->BandWidth();
    for (int position : {0, 1}) {
        SCOPED_TRACE(position);
        escala->Position->setCurrentIndex(position);
        const TBitmap& b = s->Image->Picture().Bitmap();
        const std::uint32_t face = Word(ColorToRGB(s->Color()));
        const int band = position == 0 ? M : M + th + 5, text = position == 0 ? M + BW + 5 : M;
        ASSERT_LE(std::max(band + BW, text + th), b.Height());
        // The band's rows, across the middle column; the picture's edge
        // around it.
        for (int y = band; y < band + BW; ++y)
            EXPECT_NE(Word(b, b.Width() / 2, y), face) << y;
        EXPECT_EQ(Word(b, b.Width() / 2, band - 1), face);
        EXPECT_EQ(Word(b, b.Width() / 2, band + BW), face);
        // Ink in the labels' rows, at both ends.
        auto inked = [&](int x0, int x1) {
            for (int y = text; y < text + th; ++y)
                for (int x = x0; x < x1; ++x)
                    if (Word(b, x, y) != face)
                        return true;
            return false;
        };
        EXPECT_TRUE(inked(M, M + 15));
        EXPECT_TRUE(inked(b.Width() - M - 15, b.Width() - M));
    }
}

// The plotting page: the active mode's button stays down, the history
// buttons and keys walk the windows, and the status follows the window.
TEST(Gallery, PlotModesHistoryAndPointer)
{
    TPelmoraF window;
    window.show();
    auto* grafico = Open<TGraficoTab>(window, 2);
    ASSERT_NE(grafico, nullptr);
    TCanvas2D* plot = grafico->Plot;
    auto down = [&] { return grafico->Modes->checkedId(); };
    EXPECT_EQ(down(), zmNone);
    grafico->Modes->button(zmZoomIn)->click();
    EXPECT_EQ(plot->ZoomMode(), zmZoomIn);
    EXPECT_EQ(down(), zmZoomIn);
    EXPECT_FALSE(grafico->Back->isEnabled());

    // The pointer rests over the plot while it zooms in and out.
    const QPoint at(plot->Image().width() / 3, plot->Image().height() / 3);
    QCursor::setPos(plot->Image().mapToGlobal(at));
    const auto status = [&] { return window.statusBar()->currentMessage(); };
    const auto shows = [&] {
        return QString::fromUtf8("x = %1    y = %2")
            .arg(QString::fromStdString(plot->ScrToValXS(at.x())), QString::fromStdString(plot->ScrToValYS(at.y())));
    };
    const TPlotWindow home = plot->Window();
    plot->ZoomMore();
    const TPlotWindow zoomed = plot->Window();
    EXPECT_NE(zoomed, home);
    EXPECT_EQ(status(), shows());
    const QString zoomedText = status();

    QMouseEvent right(QEvent::MouseButtonPress, QPointF(at), QPointF(at), Qt::RightButton, Qt::RightButton,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(&plot->Image(), &right);
    EXPECT_EQ(down(), zmNone);

    EXPECT_TRUE(grafico->Back->isEnabled());
    grafico->Back->click();
    EXPECT_EQ(plot->Window(), home);
    EXPECT_EQ(status(), shows());
    EXPECT_NE(status(), zoomedText);
    EXPECT_FALSE(grafico->Back->isEnabled());
    EXPECT_TRUE(grafico->Forward->isEnabled());
    QKeyEvent altRight(QEvent::KeyPress, Qt::Key_Right, Qt::AltModifier);
    QCoreApplication::sendEvent(grafico, &altRight);
    EXPECT_EQ(plot->Window(), zoomed);
    QKeyEvent altLeft(QEvent::KeyPress, Qt::Key_Left, Qt::AltModifier);
    QCoreApplication::sendEvent(grafico, &altLeft);
    EXPECT_EQ(plot->Window(), home);

    grafico->Modes->button(zmPan)->click();
    grafico->ZoomAll();
    EXPECT_EQ(down(), zmNone);
    // Away from the plot, no coordinates are shown.
    QCursor::setPos(plot->Image().mapToGlobal(QPoint(-5, -5)));
    plot->Draw();
    EXPECT_TRUE(status().isEmpty());
}

TEST(Gallery, DiskSizesInBinaryUnits)
{
    const QString point = QLocale().decimalPoint();
    EXPECT_EQ(DiskSizeText(0), "0 bytes");
    EXPECT_EQ(DiskSizeText(512), "512 bytes");
    EXPECT_EQ(DiskSizeText(128 * 1024), "128 KiB");
    EXPECT_EQ(DiskSizeText(std::int64_t(3) << 29), "1" + point + "5 GiB");
    EXPECT_EQ(DiskSizeText((std::int64_t(1) << 20) - 5), "1 MiB");
    EXPECT_EQ(DiskSizeText(-1), QString::fromUtf8("desconocido"));

    // The last column takes the rest of the width, after a refresh too.
    TPelmoraF window;
    window.show();
    auto* discos = Open<TDiscosTab>(window, 4);
    ASSERT_NE(discos, nullptr);
    for (int fill = 0; fill < 2; ++fill) {
        QHeaderView* header = discos->Table->horizontalHeader();
        for (int turn = 0; turn < 1000 && discos->Filling(); ++turn)
            QCoreApplication::processEvents();
        if (header->length() > discos->Table->viewport()->width() + 1)
            GTEST_SKIP() << "the columns are wider than the table";
        EXPECT_EQ(header->sectionViewportPosition(6) + header->sectionSize(6), discos->Table->viewport()->width());
        discos->Fill();
    }
}

// A picture that cannot be read or written is reported in Spanish, with
// the file's name and the reason.
TEST(Gallery, PictureFileErrorsInSpanish)
{
    std::vector<std::string> shown;
    Application->OnError = [&](const std::string& m) { shown.push_back(m); };
    const std::filesystem::path dir = std::filesystem::temp_directory_path() / "pelmora-gallery-test";
    std::filesystem::create_directories(dir);
    const std::string missing = (dir / "missing.png").string(), cut = (dir / "cut.bmp").string(),
                      locked = (dir / "locked.bmp").string();
    std::ofstream(cut) << "BM";
    TImagenTab tab;
    tab.Save(QString::fromStdString(locked));
    std::filesystem::permissions(locked, std::filesystem::perms::owner_read);
    tab.Open(QString::fromStdString(missing));
    tab.Open(QString::fromStdString(cut));
    tab.Save(QString::fromStdString(locked));
    Application->OnError = nullptr;
    std::filesystem::remove_all(dir);
    const std::vector<std::string> expected{
        "No se puede abrir la imagen «" + missing + "»: el archivo no existe.",
        "No se puede abrir la imagen «" + cut + "»: el archivo está incompleto.",
        "No se puede guardar la imagen «" + locked + "»: el archivo es de solo lectura.",
    };
    EXPECT_EQ(shown, expected);
}

// The plot and the scale are saved as they show, in the format of the
// name; a name of no format is reported as the other picture errors are.
TEST(Gallery, PlotAndScaleSavedAsPictures)
{
    std::vector<std::string> shown, status;
    Application->OnError = [&](const std::string& m) { shown.push_back(m); };
    const std::filesystem::path dir = std::filesystem::temp_directory_path() / "pelmora-gallery-save";
    std::filesystem::create_directories(dir);
    auto starts = [&](const std::string& name) {
        std::ifstream in(dir / name);
        std::string head(5, '\0');
        in.read(head.data(), 5);
        return head;
    };
    TGraficoTab plot([&](const QString& s) { status.push_back(s.toStdString()); });
    plot.resize(500, 400);
    plot.show();
    plot.Save(QString::fromStdString((dir / "plot.svg").string()));
    plot.Save(QString::fromStdString((dir / "plot.pdf").string()));
    plot.Save(QString::fromStdString((dir / "plot.png").string()));
    plot.Save(QString::fromStdString((dir / "plot.txt").string()));
    TEscalaTab scale([](const QString&) {});
    scale.Save(QString::fromStdString((dir / "scale.svg").string()));
    Application->OnError = nullptr;

    EXPECT_EQ(starts("plot.svg"), "<?xml");
    EXPECT_EQ(starts("plot.pdf"), "%PDF-");
    TQelImage png(nullptr);
    png.LoadFromFile((dir / "plot.png").string());
    EXPECT_EQ(png.Width(), plot.Plot->Image().Width());
    EXPECT_EQ(png.Height(), plot.Plot->Image().Height());
    EXPECT_EQ(starts("scale.svg"), "<?xml");
    EXPECT_EQ(status.back(), "Gráfico guardado en «" + (dir / "plot.png").string() + "»");
    EXPECT_EQ(shown, std::vector<std::string>{"No se puede guardar la imagen «" + (dir / "plot.txt").string() +
                                               "»: formato de imagen desconocido (.txt)."});
    std::filesystem::remove_all(dir);
}
