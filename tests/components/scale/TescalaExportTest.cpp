#include "components/scale/Tescala.h"

#include "support/ExportedPictures.h"

#include <gtest/gtest.h>

TEST(TEscalaExport, PicturesOfTheScaleAtAnySize)
{
    for (const TEscalaOrientation orientation : {Escala::eoVertical, Escala::eoHorizontal}) {
        TEscala s;
        s.SetGraduation(Escala::egThree);
        s.SetOrientation(orientation);
        const TBitmap shown = s.Image->Picture().Bitmap();
        const int width = s.Width(), height = s.Height();
        const auto dir = ExportFolder();
        s.SaveToFile((dir / "scale.png").string(), shown.Width(), shown.Height());
        EXPECT_TRUE(SamePixels(PictureRead(dir / "scale.png"), shown));

        // A picture of another size keeps the scale's own: AutoSize sizes
        // the panel, not the picture.
        const bool vertical = orientation == Escala::eoVertical;
        s.SaveToFile((dir / "scale.svg").string(), vertical ? 90 : 400, vertical ? 400 : 90);
        EXPECT_EQ(s.Width(), width);
        EXPECT_EQ(s.Height(), height);
        EXPECT_TRUE(SamePixels(s.Image->Picture().Bitmap(), shown));
        const auto svg = SvgElements(dir / "scale.svg");
        ASSERT_FALSE(svg.empty());
        // A line across the band for each pixel along it, between the
        // margins of 5; six labels.
        EXPECT_EQ(svg.at("polyline"), 400 - 2 * 5);
        EXPECT_EQ(svg.at("text"), 6);
    }
}

TEST(TEscalaExport, PdfRendersAsTheRasterDoes)
{
    if (!PdftoppmThere())
        GTEST_SKIP() << "pdftoppm (package poppler-utils) is not installed";
    TEscala s;
    const auto dir = ExportFolder();
    s.SaveToFile((dir / "scale.png").string(), 80, 300);
    s.SaveToFile((dir / "scale.pdf").string(), 80, 300);
    const auto page = PdfRender(dir / "scale.pdf");
    ASSERT_TRUE(page.has_value());
    const TBitmap raster = PictureRead(dir / "scale.png");
    EXPECT_GT(NearlySameShare(raster, *page, 40), 0.99);
    EXPECT_GT(NearlySameShare(*page, raster, 40), 0.99);
}
