#include "stopwatch/Taguja.h"
#include "toolkit/controls/Controls.h"

#include "support/BitmapWords.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <string>
#include <vector>

namespace {


class DialTest : public testing::Test {
protected:
    DialTest()
    {
        picture.SetWidth(400);
        picture.SetHeight(400);
        dial = std::make_unique<TAguja>(&picture, 75, 75, 60);
        Clear();
        dial->Centro = {200, 300};
    }
    void Clear()
    {
        TCanvas& c = picture.Canvas();
        c.Brush.Color = clBlack;
        c.FillRect({0, 0, 400, 400});
    }
    TColor At(int x, int y) { return picture.Canvas().Pixels(x, y); }

    TImage picture;
    std::unique_ptr<TAguja> dial;
};

}  // namespace

TEST(Dial, NewDialIsCentredWithItsDefaults)
{
    TImage picture;
    picture.SetWidth(200);
    picture.SetHeight(100);
    TAguja dial(&picture, 75, 75, 10);
    EXPECT_EQ(dial.Centro, Point(100, 50));
    EXPECT_EQ(dial.Divisiones, 10);
    EXPECT_EQ(dial.Valor, 0.0f);
    // Drawn at once: the needle points up from the centre.
    EXPECT_EQ(picture.Canvas().Pixels(100, 30), clWhite);
}

TEST_F(DialTest, NeedleEndsAreTruncated)
{
    dial->Divisiones = 6;
    dial->MostrarNumeros = false;
    dial->Dibujar();
    // Value 0 points up: 300 - 63.75 truncates to 236.
    EXPECT_EQ(At(200, 236), clWhite);
    EXPECT_EQ(At(200, 233), clBlack);
    // 15 of 60 points right: 63.75 truncates to 63, so nothing at 265.
    dial->PonerValor(15);
    EXPECT_EQ(At(263, 300), clWhite);
    EXPECT_EQ(At(265, 300), clBlack);
    EXPECT_EQ(At(200, 250), clBlack);  // the old needle is painted over
    // Marks at 0 and 60 degrees, between 0.95 and 1.05 of the radius.
    EXPECT_EQ(At(200, 225), clLime);
    EXPECT_EQ(At(264, 262), clLime);
    EXPECT_EQ(At(200, 215), clBlack);

    // The sub-second dial: 2.5 of 10 points right.
    TAguja tenths(&picture, 75, 75, 10);
    Clear();
    tenths.Centro = {200, 200};
    tenths.PonerValor(2.5f);
    EXPECT_EQ(At(263, 200), clWhite);
    EXPECT_EQ(At(200, 180), clBlack);
}

TEST_F(DialTest, SevenDivisionsLabelTheirIntegerShares)
{
    dial->Divisiones = 7;
    dial->Dibujar();
    const auto withNumbers = Pixels(picture.Picture().Bitmap());

    // The same dial without numbers, with the expected labels written in.
    Clear();
    dial->MostrarNumeros = false;
    dial->Dibujar();
    TCanvas& c = picture.Canvas();
    c.Font = dial->Fuente;
    c.SetBkMode(TRANSPARENT);
    c.SetTextAlign(TA_CENTER);
    const int h = c.TextHeight("0");
    const char* labels[] = {"0", "8", "17", "25", "34", "42", "51"};
    for (int i = 0; i < 7; ++i) {
        const float a = float(i * 2 * M_PI / 7);
        c.TextOut(int(200 + 1.25 * 75 * std::sin(a)), int(300 - 1.25 * 75 * std::cos(a)) - h / 2, labels[i]);
    }
    EXPECT_TRUE(Pixels(picture.Picture().Bitmap()) == withNumbers);
}

TEST_F(DialTest, SameValueTwiceLeavesTheSamePicture)
{
    dial->PonerValor(42.5f);
    const auto once = Pixels(picture.Picture().Bitmap());
    dial->PonerValor(42.5f);
    EXPECT_TRUE(Pixels(picture.Picture().Bitmap()) == once);
}

TEST_F(DialTest, NoDivisionsNoMarks)
{
    dial->Divisiones = 0;
    dial->Dibujar();
    EXPECT_EQ(At(200, 225), clBlack);
    EXPECT_EQ(At(200, 240), clWhite);
    dial->Divisiones = -3;
    dial->Dibujar();
    EXPECT_EQ(At(200, 225), clBlack);
}

TEST_F(DialTest, DivisionsBeyondWhatTheRingShowsStillCoverIt)
{
    // Every one of 2^31 - 1 marks would take most of an hour to draw.
    dial->Divisiones = INT_MAX;
    dial->MostrarNumeros = false;
    dial->Dibujar();
    for (int tenth = 0; tenth < 3600; ++tenth) {
        const double a = tenth * std::acos(-1.0) / 1800;
        const int x = int(200 + 75 * std::sin(a)), y = int(300 - 75 * std::cos(a));
        ASSERT_EQ(At(x, y), clLime) << x << ", " << y;
    }
    dial->MostrarNumeros = true;
    dial->Dibujar();
    EXPECT_EQ(At(200, 300 - 75), clLime);
}
