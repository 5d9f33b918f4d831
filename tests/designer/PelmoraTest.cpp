#include "components/disk/DiskinfoPanel.h"
#include "components/plot/Tcanvas2d.h"
#include "components/scale/Tescala.h"
#include "components/panel/Tpnlimg.h"
#include "components/image/Tqelimage.h"
#include "designer/PelmoraComponents.h"
#include "designer/PelmoraUiLoader.h"
#include "toolkit/system/SysUtils.h"

#include <QtUiPlugin/QDesignerCustomWidgetCollectionInterface>

#include <QBuffer>
#include <QDomDocument>
#include <QFileInfo>
#include <QImage>
#include <QPluginLoader>
#include <QWidget>

#include <gtest/gtest.h>

#include <memory>
#include <set>

namespace {

// Every component with properties away from their initial values, as
// Designer writes them (enumerations qualified, colours with alpha).
const char* const Form = R"(<?xml version="1.0" encoding="UTF-8"?>
<ui version="4.0">
 <class>Form</class>
 <widget class="QWidget" name="Form">
  <property name="geometry"><rect><x>0</x><y>0</y><width>640</width><height>480</height></rect></property>
  <widget class="TQelImage" name="QelImage1">
   <property name="geometry"><rect><x>10</x><y>10</y><width>40</width><height>30</height></rect></property>
   <property name="Transparent"><bool>true</bool></property>
   <property name="Cursor"><number>-3</number></property>
  </widget>
  <widget class="TPnlImg" name="PnlImg1">
   <property name="geometry"><rect><x>60</x><y>10</y><width>120</width><height>90</height></rect></property>
   <property name="ScrollBars"><bool>true</bool></property>
   <property name="BevelOuter"><enum>Tk::bvRaised</enum></property>
   <property name="BevelWidth"><number>3</number></property>
   <property name="Color"><color alpha="255"><red>0</red><green>128</green><blue>0</blue></color></property>
  </widget>
  <widget class="TCanvas2D" name="Canvas2D1">
   <property name="geometry"><rect><x>200</x><y>10</y><width>200</width><height>160</height></rect></property>
   <property name="BevelWidth"><number>1</number></property>
   <property name="AxisXMin"><double>-5.000000000000000</double></property>
   <property name="AxisXMax"><double>5.000000000000000</double></property>
   <property name="AxisYMin"><double>-2.500000000000000</double></property>
   <property name="AxisXMarks"><number>4</number></property>
   <property name="ColorExt"><color alpha="255"><red>64</red><green>64</green><blue>64</blue></color></property>
   <property name="ColorInt"><color alpha="255"><red>0</red><green>96</green><blue>0</blue></color></property>
   <property name="AxisColor"><color alpha="255"><red>255</red><green>255</green><blue>0</blue></color></property>
   <property name="Format"><string>,0.0</string></property>
   <property name="AxisFont"><font><family>Courier</family><pointsize>12</pointsize><bold>true</bold></font></property>
   <property name="ZoomSteps"><number>3</number></property>
  </widget>
  <widget class="TEscala" name="Escala1">
   <property name="geometry"><rect><x>10</x><y>200</y><width>300</width><height>70</height></rect></property>
   <property name="AutoSize"><bool>false</bool></property>
   <property name="Orientation"><enum>Escala::eoHorizontal</enum></property>
   <property name="Graduation"><enum>Escala::egThree</enum></property>
   <property name="BandWidth"><number>20</number></property>
   <property name="Minimum"><double>-10.000000000000000</double></property>
   <property name="Maximum"><double>10.000000000000000</double></property>
   <property name="Format"><string>0.0</string></property>
   <property name="GradColor1"><color alpha="255"><red>255</red><green>0</green><blue>0</blue></color></property>
  </widget>
  <widget class="TDiskInfoPanel" name="DiskInfo1">
   <property name="geometry"><rect><x>10</x><y>300</y><width>150</width><height>30</height></rect></property>
   <property name="Drive"><string>/</string></property>
   <property name="DriveType"><string>Disco remoto</string></property>
   <property name="DriveSize"><number>12</number></property>
  </widget>
 </widget>
</ui>
)";

std::unique_ptr<QWidget> Load(const char* xml)
{
    QByteArray bytes(xml);
    QBuffer buffer(&bytes);
    TPelmoraUiLoader loader;
    return std::unique_ptr<QWidget>(loader.load(&buffer));
}

std::uint32_t Word(const QImage& image, int x, int y) { return image.pixel(x, y) & 0x00FFFFFF; }
std::uint32_t Word(TBitmap& b, int x, int y) { return b.ScanLine(y)[x]; }
// TColor 0x00BBGGRR as the pixel word 0x00RRGGBB.
std::uint32_t Word(TColor c) { return (c & 0xFF) << 16 | (c & 0xFF00) | (c >> 16 & 0xFF); }

}  // namespace

TEST(Pelmora, PluginOffersEveryComponentOnItsPage)
{
    QPluginLoader plugin(QStringLiteral(PELMORA_PLUGIN));
    auto* collection = qobject_cast<QDesignerCustomWidgetCollectionInterface*>(plugin.instance());
    ASSERT_NE(collection, nullptr) << plugin.errorString().toStdString();

    std::set<QString> names;
    for (QDesignerCustomWidgetInterface* w : collection->customWidgets()) {
        const QString name = w->name();
        SCOPED_TRACE(name.toStdString());
        names.insert(name);
        EXPECT_EQ(w->group(), "Pelmora");
        EXPECT_FALSE(w->toolTip().isEmpty());
        EXPECT_FALSE(w->icon().isNull());
        EXPECT_FALSE(w->isContainer());
        // The include file names the header that declares the class.
        EXPECT_TRUE(QFileInfo::exists(QStringLiteral(TILVO_SOURCE_DIR "/") + w->includeFile()));
        QDomDocument dom;
        ASSERT_TRUE(dom.setContent(w->domXml()));
        EXPECT_EQ(dom.documentElement().firstChildElement("widget").attribute("class"), name);
        std::unique_ptr<QWidget> made(w->createWidget(nullptr));
        ASSERT_NE(made, nullptr);
        EXPECT_EQ(QString(made->metaObject()->className()), name);
    }
    EXPECT_EQ(names, (std::set<QString>{"TQelImage", "TPnlImg", "TCanvas2D", "TEscala", "TDiskInfoPanel"}));
}

TEST(Pelmora, FormBringsEveryPropertyAndEachComponentDraws)
{
    std::unique_ptr<QWidget> form = Load(Form);
    ASSERT_NE(form, nullptr);

    auto* image = form->findChild<TQelImage*>("QelImage1");
    ASSERT_NE(image, nullptr);
    EXPECT_TRUE(image->Transparent());
    EXPECT_EQ(image->Cursor(), -3);
    image->Fill(0x000000FF);
    TBitmap& ib = image->Picture().Bitmap();
    EXPECT_EQ(ib.Width(), 40);
    EXPECT_EQ(ib.Height(), 30);
    EXPECT_EQ(Word(ib, 39, 29), 0x00FF0000u);

    auto* panel = form->findChild<TPnlImg*>("PnlImg1");
    ASSERT_NE(panel, nullptr);
    EXPECT_TRUE(panel->ScrollBars());
    ASSERT_NE(panel->ScrollBarH, nullptr);
    EXPECT_EQ(panel->BevelOuter(), bvRaised);
    EXPECT_EQ(panel->BevelWidth(), 3);
    EXPECT_EQ(panel->Color(), TColor(0x00008000));
    const QImage shown = panel->grab().toImage();
    EXPECT_EQ(Word(shown, 0, 0), 0x00FFFFFFu);     // raised: lit top left
    EXPECT_EQ(Word(shown, 119, 89), 0x00808080u);  // and shaded bottom right
    // The picture fills what the two bevels and the bars leave.
    EXPECT_EQ(panel->Image->width(), 120 - 12 - 13);
    EXPECT_EQ(panel->Image->height(), 90 - 12 - 13);

    auto* plot = form->findChild<TCanvas2D*>("Canvas2D1");
    ASSERT_NE(plot, nullptr);
    EXPECT_EQ(plot->AxisXMin(), -5);
    EXPECT_EQ(plot->AxisXMax(), 5);
    EXPECT_EQ(plot->AxisYMin(), -2.5);
    EXPECT_EQ(plot->AxisYMax(), 10);
    EXPECT_EQ(plot->AxisXMarks(), 4);
    EXPECT_EQ(plot->AxisColor(), TColor(0x0000FFFF));
    EXPECT_EQ(plot->Format(), ",0.0");
    // The font keeps the axis colour, which a QFont does not carry.
    EXPECT_EQ(plot->AxisFont().Name, "Courier");
    EXPECT_EQ(plot->AxisFont().Size(), 12);
    EXPECT_EQ(plot->AxisFont().Style, TFontStyles(fsBold));
    EXPECT_EQ(plot->AxisFont().Color, TColor(0x0000FFFF));
    EXPECT_EQ(plot->ZoomSteps(), 3);
    TBitmap& pb = plot->Image().Picture().Bitmap();
    EXPECT_EQ(Word(pb, 1, 1), Word(plot->ColorExt()));
    EXPECT_EQ(Word(pb, plot->ValToScrX(1.3), plot->ValToScrY(4.1)), 0x00006000u);
    EXPECT_EQ(plot->ScrToValXS(plot->ValToScrX(0)), "0.0");

    auto* scale = form->findChild<TEscala*>("Escala1");
    ASSERT_NE(scale, nullptr);
    EXPECT_FALSE(scale->AutoSize());
    EXPECT_EQ(scale->Orientation(), Escala::eoHorizontal);
    EXPECT_EQ(scale->Graduation(), Escala::egThree);
    EXPECT_EQ(scale->BandWidth(), 20);
    EXPECT_EQ(scale->Minimum(), -10);
    EXPECT_EQ(scale->Maximum(), 10);
    EXPECT_EQ(scale->Format(), "0.0");
    EXPECT_EQ(scale->GradColor1(), TColor(0x000000FF));
    EXPECT_EQ(scale->width(), 300);
    // The band runs from the colour of the minimum to that of the maximum
    // along one row.
    TBitmap& sb = scale->Image->Picture().Bitmap();
    const int row = scale->Margin() + scale->BandWidth() / 2;
    std::set<std::uint32_t> seen;
    for (int x = 0; x < sb.Width(); ++x)
        seen.insert(Word(sb, x, row));
    EXPECT_TRUE(seen.count(Word(scale->ValueToColor(-10))));
    EXPECT_TRUE(seen.count(Word(scale->ValueToColor(10))));

    // The drive is read when the form sets it; figures a form carries from
    // another machine do not replace what was read.
    auto* disk = form->findChild<TDiskInfoPanel*>("DiskInfo1");
    ASSERT_NE(disk, nullptr);
    EXPECT_EQ(disk->Drive(), "/");
    EXPECT_TRUE(disk->DiskInfo().VolumeInfoRead());
    EXPECT_GT(disk->DriveSize(), 12);
    EXPECT_NE(disk->DriveType(), "Disco remoto");
    EXPECT_EQ(disk->property("DriveSize").toLongLong(), disk->DriveSize());
    EXPECT_EQ(disk->Caption().rfind("/", 0), 0u);
}

TEST(Pelmora, HostileFormsLoadWithinBoundsAndKeepTheirValues)
{
    // Widths at the int limit, numbers that name no enumeration value and a
    // number format far longer than any label.
    const std::string longFormat = "0.0" + std::string(100000, '#') + "x";
    const std::string form = R"(<?xml version="1.0" encoding="UTF-8"?>
<ui version="4.0">
 <class>Form</class>
 <widget class="QWidget" name="Form">
  <property name="geometry"><rect><x>0</x><y>0</y><width>400</width><height>300</height></rect></property>
  <widget class="TPnlImg" name="PnlImg1">
   <property name="geometry"><rect><x>0</x><y>0</y><width>120</width><height>90</height></rect></property>
   <property name="BorderWidth"><number>2147483647</number></property>
   <property name="BevelWidth"><number>2147483647</number></property>
   <property name="BevelInner"><number>9</number></property>
   <property name="Alignment"><number>-1</number></property>
  </widget>
  <widget class="TCanvas2D" name="Canvas2D1">
   <property name="geometry"><rect><x>130</x><y>0</y><width>200</width><height>160</height></rect></property>
   <property name="BevelOuter"><enum>Tk::bvSpace</enum></property>
   <property name="BevelInner"><number>4</number></property>
   <property name="Format"><string>)" + longFormat + R"(</string></property>
  </widget>
  <widget class="TEscala" name="Escala1">
   <property name="geometry"><rect><x>0</x><y>170</y><width>300</width><height>70</height></rect></property>
   <property name="AutoSize"><bool>false</bool></property>
   <property name="Graduation"><number>7</number></property>
   <property name="Orientation"><number>-5</number></property>
   <property name="Position"><number>2</number></property>
   <property name="Alignment"><number>8</number></property>
   <property name="Format"><string>)" + longFormat + R"(</string></property>
  </widget>
 </widget>
</ui>
)";
    std::unique_ptr<QWidget> loaded = Load(form.c_str());
    ASSERT_NE(loaded, nullptr);
    QImage picture(loaded->size(), QImage::Format_RGB32);
    loaded->render(&picture);

    // The frame leaves no room inside the panel, and the room it leaves
    // stays within the panel.
    auto* panel = loaded->findChild<TPnlImg*>("PnlImg1");
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(panel->BorderWidth(), 2147483647);
    const QRect client = panel->ClientRect();
    EXPECT_TRUE(client.isEmpty());
    EXPECT_TRUE(client.left() >= 0 && client.left() <= panel->width()) << client.left();
    EXPECT_TRUE(client.top() >= 0 && client.top() <= panel->height()) << client.top();
    // Numbers that name no value leave the value as it was.
    const TPnlImg freshPanel;
    EXPECT_EQ(panel->BevelInner(), freshPanel.BevelInner());
    EXPECT_EQ(panel->Alignment(), freshPanel.Alignment());
    panel->setProperty("Align", 6);
    EXPECT_EQ(panel->Align(), alNone);

    // The long format is kept, but labels are drawn by its first 256 bytes.
    auto* canvas = loaded->findChild<TCanvas2D*>("Canvas2D1");
    ASSERT_NE(canvas, nullptr);
    EXPECT_EQ(canvas->BevelOuter(), bvSpace);
    EXPECT_EQ(canvas->BevelInner(), TCanvas2D().BevelInner());
    EXPECT_EQ(canvas->Format(), longFormat);
    EXPECT_EQ(canvas->ScrToValXS(7), FormatFloat(longFormat.substr(0, 256), canvas->ScrToValX(7)));

    auto* scale = loaded->findChild<TEscala*>("Escala1");
    ASSERT_NE(scale, nullptr);
    TEscala cut;
    EXPECT_EQ(scale->Graduation(), cut.Graduation());
    EXPECT_EQ(scale->Orientation(), cut.Orientation());
    EXPECT_EQ(scale->Position(), cut.Position());
    EXPECT_EQ(scale->Alignment(), cut.Alignment());
    EXPECT_EQ(scale->Format(), longFormat);
    // Drawn as with the format's first 256 bytes only.
    cut.resize(scale->size());
    cut.SetAutoSize(false);
    cut.SetFormat(longFormat.substr(0, 256));
    TBitmap& a = scale->Image->Picture().Bitmap();
    TBitmap& b = cut.Image->Picture().Bitmap();
    ASSERT_EQ(a.Width(), b.Width());
    ASSERT_EQ(a.Height(), b.Height());
    for (int y = 0; y < a.Height(); ++y)
        for (int x = 0; x < a.Width(); ++x)
            ASSERT_EQ(Word(a, x, y), Word(b, x, y)) << x << ", " << y;
}
