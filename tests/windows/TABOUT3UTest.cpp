#include "windows/TABOUT3U.h"

#include "components/image/Tqelimage.h"

#include <QKeyEvent>
#include <QPushButton>

#include "support/BitmapWords.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {


std::vector<std::uint32_t> Stage(TAbout3F& w) { return Pixels(w.Image3->Picture().Bitmap()); }

// Ticks Timer1 until it stops; the number of frames drawn.
int FramesUntilPause(TAbout3F& w)
{
    int frames = 0;
    while (w.Timer1->Enabled() && frames < 1000) {
        w.Timer1->Tick();
        ++frames;
    }
    return frames;
}

}  // namespace

TEST(About, TextRectangleFollowsTheTurn)
{
    // Facing the viewer: the text picture at its own size, centred.
    EXPECT_EQ(RectanguloTexto(0, 360, 100), Rect(65, 15, 335, 99));
    // Showing its back: mirrored, 130 x 54, centred.
    EXPECT_EQ(RectanguloTexto(180, 360, 100), Rect(265, 30, 135, 84));
    // Start and far end of the swing: edge-on, centred 100 either side.
    const TRect start = RectanguloTexto(270, 360, 100);
    EXPECT_EQ(start, Rect(65, 22, 135, 92));
    const TRect far = RectanguloTexto(90, 360, 100);
    EXPECT_EQ((far.Left + far.Right) / 2, 300);
    // The card shows its back when cos < -0.35 (edge-on at 111 and 249).
    EXPECT_LT(RectanguloTexto(110, 360, 100).Left, RectanguloTexto(110, 360, 100).Right);
    EXPECT_GT(RectanguloTexto(112, 360, 100).Left, RectanguloTexto(112, 360, 100).Right);
    EXPECT_GT(RectanguloTexto(248, 360, 100).Left, RectanguloTexto(248, 360, 100).Right);
    EXPECT_LT(RectanguloTexto(250, 360, 100).Left, RectanguloTexto(250, 360, 100).Right);
}

TEST(About, WindowAsCreated)
{
    TAbout3F w;
    EXPECT_EQ(w.size(), QSize(432, 207));
    EXPECT_EQ(w.minimumSize(), w.maximumSize());
    const QSize outer = w.frameGeometry().size();
    EXPECT_EQ(w.frameGeometry().topLeft(),
              QPoint((Screen->Width() - outer.width()) / 2, (Screen->Height() - outer.height()) / 3));
    EXPECT_EQ(w.Image1->Picture().Bitmap().Width(), 400);
    EXPECT_EQ(w.Image1->Picture().Bitmap().Height(), 135);
    EXPECT_TRUE(w.BitBtn1->isDefault());
}

TEST(About, LettersStandWhereTheUprightLinesPutThem)
{
    TAbout3F w;
    TCanvas& c = w.Image2->Canvas();
    const int n = w.LongitudTexto - 14;
    const std::string nombre = w.TextoAutor.substr(0, n);
    ASSERT_EQ(w.TextoAutor.substr(n), "Programado por");
    // Each line centred on its own width, the heading above.
    EXPECT_EQ(w.PosLetras[0], Point((270 - c.TextWidth(nombre)) / 2, 60));
    EXPECT_EQ(w.PosLetras[n], Point((270 - c.TextWidth("Programado por")) / 2, 20));
    EXPECT_GE(w.PosLetras[0].X, 0);

    // Upright, letter by letter gives the picture of the whole lines; they
    // differ only where a letter's black box covers a neighbour's soft edge.
    w.Angulo = 0;
    w.PintarTexto();
    const auto letters = Pixels(w.Image2->Picture().Bitmap());
    TBitmap lines(270, 84);
    TCanvas& lc = lines.Canvas();
    lc.Font = w.Panel1->Font();
    lc.Brush.Color = clBlack;
    lc.FillRect({0, 0, 270, 84});
    lc.TextOut(w.PosLetras[0].X, 60, nombre);
    lc.TextOut(w.PosLetras[n].X, 20, "Programado por");
    const auto whole = Pixels(lines);
    int ink = 0, differ = 0;
    for (std::size_t i = 0; i < whole.size(); ++i) {
        ink += whole[i] != 0;
        differ += whole[i] != letters[i];
    }
    EXPECT_GT(ink, 500);
    EXPECT_LT(differ, ink / 50);
}

TEST(About, FramesAndPausesRunToTheEnd)
{
    TAbout3F w;
    TBitmap& fondo = w.Image1->Picture().Bitmap();
    w.FormShow();
    EXPECT_EQ(Stage(w), Pixels(fondo));
    ASSERT_TRUE(w.Timer1->Enabled());

    // The first frame, at the left of the swing.
    w.Timer1->Tick();
    EXPECT_EQ(w.Angulo, 271);
    EXPECT_NE(Stage(w), Pixels(fondo));
    EXPECT_EQ(1 + FramesUntilPause(w), 91);
    EXPECT_TRUE(w.Timer2->Enabled());
    EXPECT_EQ(w.Angulo, 1);
    // Facing the viewer: the letters lie on the background at full size,
    // their black boxes left out.
    {
        TBitmap& stage = w.Image3->Picture().Bitmap();
        TBitmap& text = w.Image2->Picture().Bitmap();
        for (int y = 0; y < 135; ++y)
            for (int x = 0; x < 400; ++x) {
                std::uint32_t expected = fondo.ScanLine(y)[x];
                if (x >= 65 && x < 335 && y >= 15 && y < 99 && text.ScanLine(y - 15)[x - 65] != 0)
                    expected = text.ScanLine(y - 15)[x - 65];
                ASSERT_EQ(stage.ScanLine(y)[x], expected) << x << "," << y;
            }
    }

    // A pause ends in a new round of 360 frames, twice; the third ends it.
    const auto resting = Stage(w);
    for (int round = 1; round <= 2; ++round) {
        w.Timer2->Tick();
        EXPECT_EQ(w.Repeticiones, round);
        EXPECT_FALSE(w.Timer2->Enabled());
        EXPECT_EQ(FramesUntilPause(w), 360);
        EXPECT_TRUE(w.Timer2->Enabled());
        EXPECT_EQ(Stage(w), resting);
    }
    w.Timer2->Tick();
    EXPECT_FALSE(w.Timer1->Enabled());
    EXPECT_FALSE(w.Timer2->Enabled());
    EXPECT_EQ(w.Repeticiones, 2);
    EXPECT_EQ(Stage(w), resting);
}

TEST(About, ClosingStopsTheAnimation)
{
    // Closed in the middle of the frames, from the title bar.
    {
        TAbout3F w;
        w.show();
        for (int i = 0; i < 10; ++i)
            w.Timer1->Tick();
        w.close();
        EXPECT_FALSE(w.isVisible());
        EXPECT_FALSE(w.Timer1->Enabled());
        const auto stage = Stage(w);
        w.Timer1->Tick();
        EXPECT_EQ(Stage(w), stage);
        EXPECT_EQ(w.Angulo, 280);
    }
    // Enter closes at once, here during a pause.
    {
        TAbout3F w;
        w.show();
        FramesUntilPause(w);
        ASSERT_TRUE(w.Timer2->Enabled());
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QApplication::sendEvent(&w, &enter);
        EXPECT_FALSE(w.isVisible());
        EXPECT_EQ(w.result(), QDialog::Accepted);
        EXPECT_FALSE(w.Timer2->Enabled());
        w.Timer2->Tick();
        EXPECT_FALSE(w.Timer1->Enabled());
        EXPECT_EQ(w.Repeticiones, 0);
    }
    // The next window starts from the beginning.
    TAbout3F again;
    EXPECT_EQ(again.Angulo, 270);
    EXPECT_EQ(again.Repeticiones, 0);
    EXPECT_FALSE(again.Timer1->Enabled());
}
