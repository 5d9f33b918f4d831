#include "Canvas2dHelpers.h"
#include "support/ExportedPictures.h"
#include "toolkit/controls/Controls.h"
#include "toolkit/system/Errors.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <vector>

namespace {

// A plot of every kind of primitive, all inside the window, on a 300 x 240
// surface.
struct ExportFixture : Canvas2DFixture {
    bool scene = true;
    std::vector<double> xs, ys;
    ExportFixture()
    {
        for (int i = 0; i <= 40; ++i) {
            xs.push_back(0.5 + i * 0.2);
            ys.push_back(5 + 3 * std::sin(i * 0.3));
        }
        c->resize(300 + 4 * c->BevelWidth(), 240 + 4 * c->BevelWidth());
        onDraw = [this] {
            if (!scene)
                return;
            TCanvas& canvas = c->DrawCanvas();
            canvas.Pen.Color = clYellow;
            c->Polyline(xs, ys);
            c->Line(1, 1, 9, 2.5);
            c->Line(1, 2, 9, 3.5);
            canvas.Pen.Color = clLime;
            canvas.Brush.Color = clGreen;
            for (int i = 1; i <= 4; ++i)
                c->Point(2 * i, 8, 3);
            canvas.Brush.Color = clRed;
            c->Triangle(6, 6, 8, 6.5, 7, 8);
            canvas.Font.Color = clWhite;
            canvas.SetTextAlign(TA_LEFT | TA_TOP);
            c->TextOutA(1, 4, 2, 0, "seno");
        };
        c->Draw();
    }
    std::filesystem::path Saved(const std::string& name, int w = 300, int h = 240)
    {
        const auto file = ExportFolder() / name;
        c->SaveToFile(file.string(), w, h);
        return file;
    }
};

}  // namespace

TEST(TCanvas2DExport, RasterIsTheSurfaceAtTheSizeAskedAndLeavesItAlone)
{
    ExportFixture f;
    const TBitmap plain = f.Bits();
    // A zoom box on the surface belongs to the mouse, not to the plot.
    f.c->ZoomModeSet(zmZoomIn);
    const TBitmap boxed = f.Bits();
    ASSERT_FALSE(SamePixels(plain, boxed));
    f.draws = 0;
    EXPECT_TRUE(SamePixels(PictureRead(f.Saved("same.png")), plain));
    EXPECT_TRUE(SamePixels(PictureRead(f.Saved("same.BMP")), plain));
    EXPECT_EQ(f.draws, 2);  // one repaint for each picture
    EXPECT_TRUE(SamePixels(f.Bits(), boxed));
    // The box is erased where it was drawn.
    f.c->ZoomModeSet(zmNone);
    EXPECT_TRUE(SamePixels(f.Bits(), plain));

    // Another size: what the canvas shows at that size, hidden or not.
    const TBitmap other = PictureRead(f.Saved("other.png", 420, 170));
    f.c->hide();
    EXPECT_TRUE(SamePixels(PictureRead(f.Saved("hidden.png", 420, 170)), other));
    f.c->show();
    f.c->resize(420 + 4 * f.c->BevelWidth(), 170 + 4 * f.c->BevelWidth());
    EXPECT_TRUE(SamePixels(f.Bits(), other));
}

TEST(TCanvas2DExport, SvgHoldsOneElementPerPrimitive)
{
    ExportFixture f;
    f.scene = false;
    const auto frame = SvgElements(f.Saved("frame.svg"));
    ASSERT_FALSE(frame.empty()) << "Qt's reader refuses the SVG";
    f.scene = true;
    auto all = SvgElements(f.Saved("scene.svg"));
    ASSERT_FALSE(all.empty());
    auto added = [&](const char* name) {
        const auto before = frame.find(name);
        return all[name] - (before == frame.end() ? 0 : before->second);
    };
    EXPECT_EQ(added("polyline"), 3);  // the series and the two lines
    EXPECT_EQ(added("circle"), 4);
    EXPECT_EQ(added("path"), 1);
    EXPECT_EQ(added("text"), 1);
    // The frame, its marks and labels: 1 rectangle for each of the
    // margins, interior and frame, a line and a label a side per mark.
    EXPECT_EQ(frame.at("text"), 2 * (11 + 11));
}

TEST(TCanvas2DExport, PdfRendersAsTheRasterDoes)
{
    if (!PdftoppmThere())
        GTEST_SKIP() << "pdftoppm (package poppler-utils) is not installed";
    ExportFixture f;
    const TBitmap raster = PictureRead(f.Saved("page.png"));
    const auto page = PdfRender(f.Saved("page.pdf"));
    ASSERT_TRUE(page.has_value());
    ASSERT_EQ(page->Width(), 300);
    ASSERT_EQ(page->Height(), 240);
    EXPECT_GT(NearlySameShare(raster, *page, 40), 0.99);
    EXPECT_GT(NearlySameShare(*page, raster, 40), 0.99);
}

TEST(TCanvas2DExport, RefusedWritesLeaveTheOldFile)
{
    ExportFixture f;
    const auto dir = ExportFolder();
    for (const char* name : {"old.xyz", "old", "old.png"}) {
        std::ofstream(dir / name) << "old";
    }
    auto refused = [&](const std::string& name, int w, int h) -> std::string {
        try {
            f.c->SaveToFile((dir / name).string(), w, h);
        } catch (const EInvalidGraphic& e) {
            std::ifstream in(dir / name);
            std::string kept;
            in >> kept;
            EXPECT_TRUE(kept == "old" || !std::filesystem::exists(dir / name)) << name;
            return e.Message();
        }
        return "written";
    };
    EXPECT_NE(refused("old.xyz", 10, 10).find("unknown picture format (.xyz)"), std::string::npos);
    EXPECT_NE(refused("old", 10, 10).find("no picture format named"), std::string::npos);
    EXPECT_NE(refused("old.png", 0, 10).find("invalid picture size"), std::string::npos);
    EXPECT_NE(refused("old.png", 40000, 10).find("invalid picture size"), std::string::npos);
    EXPECT_NE(refused("old.png", 30000, 30000).find("invalid picture size"), std::string::npos);
    EXPECT_NE(refused("no-such-folder/x.svg", 10, 10).find("Cannot write picture"), std::string::npos);

    // Saving again from the OnDraw of a save would never end: it is
    // refused, in the error box as whatever else OnDraw raises.
    std::vector<std::string> errors;
    Application->OnError = [&](const std::string& m) { errors.push_back(m); };
    f.onDraw = [&] { f.c->SaveToFile((dir / "inner.png").string(), 20, 20); };
    f.c->SaveToFile((dir / "outer.png").string(), 20, 20);
    Application->OnError = nullptr;
    EXPECT_EQ(errors, std::vector<std::string>{"Cannot save the plot while its picture is being drawn."});
    EXPECT_TRUE(std::filesystem::exists(dir / "outer.png"));
    EXPECT_FALSE(std::filesystem::exists(dir / "inner.png"));
}
