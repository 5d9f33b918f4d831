#include "toolkit/controls/Controls.h"

#include "support/HexColor.h"

#include <gtest/gtest.h>

#include <QMetaProperty>

#include <string>

void PrintTo(const QColor& c, std::ostream* os)
{
    *os << "QColor(" << c.red() << ", " << c.green() << ", " << c.blue() << ", alpha " << c.alpha() << ")";
}

TEST(Properties, ColoursSurviveTheTripThroughQColorAndEightBitChannels)
{
    std::vector<TColor> colours = {clBlack, clWhite, 0x00123456, clBtnFace, clNone, clDefault};
    for (int i = 0; i < 25; ++i)
        colours.push_back(SystemColor(i));
    for (TColor c : colours) {
        const QColor q = ColorToQColor(c);
        EXPECT_EQ(Hex(ColorFromQColor(q)), Hex(c));
        // What a .ui file keeps: 8 bits a channel.
        EXPECT_EQ(Hex(ColorFromQColor(QColor::fromString(q.name(QColor::HexArgb)))), Hex(c));
    }
    // Red in the low byte of a TColor, in red() of a QColor.
    EXPECT_EQ(ColorToQColor(0x00123456), QColor(0x56, 0x34, 0x12));
    // A system colour shows as what it stands for.
    EXPECT_EQ(ColorToQColor(clBtnShadow).rgb(), QColor(0x80, 0x80, 0x80).rgb());
    // Whatever a colour dialog gives is a plain colour.
    EXPECT_EQ(Hex(ColorFromQColor(QColor(1, 2, 3))), Hex(RGB(1, 2, 3)));
    EXPECT_EQ(Hex(ColorFromQColor(QColor(1, 2, 3, 128))), Hex(RGB(1, 2, 3)));
    EXPECT_EQ(Hex(ColorFromQColor(QColor())), Hex(clNone));
}

TEST(Properties, CaptionsReadAsTheCanvasDrawsThem)
{
    EXPECT_EQ(CaptionToQString("Cronómetro"), QString::fromUtf8("Cronómetro"));
    EXPECT_EQ(CaptionFromQString(QString::fromUtf8("Cronómetro")), "Cronómetro");
    // A stray byte is the character of its number, not a replacement mark.
    EXPECT_EQ(CaptionToQString("a\xE9" "b"), QString::fromUtf8("aéb"));
    EXPECT_EQ(CaptionToQString(std::string("x\0y", 3)), QString::fromUtf8("x\0y", 3));
    EXPECT_EQ(CaptionToQString("\xF0\x9F\x98\x80"), QString::fromUtf8("\xF0\x9F\x98\x80"));
}

TEST(Properties, PanelPublishesItsPropertiesWithTheirInitialValues)
{
    TCustomPanel panel;
    EXPECT_EQ(panel.property("Align").value<TAlign>(), alNone);
    EXPECT_EQ(panel.property("Cursor").toInt(), crDefault);
    EXPECT_EQ(panel.property("BevelInner").value<TBevelCut>(), bvNone);
    EXPECT_EQ(panel.property("BevelOuter").value<TBevelCut>(), bvRaised);
    EXPECT_EQ(panel.property("BevelWidth").toInt(), 1);
    EXPECT_EQ(panel.property("BorderWidth").toInt(), 0);
    EXPECT_EQ(panel.property("Caption").toString(), QString());
    EXPECT_EQ(panel.property("Alignment").value<TAlignment>(), taCenter);
    EXPECT_EQ(Hex(ColorFromQColor(panel.property("Color").value<QColor>())), Hex(clBtnFace));

    // Enumerations are written by their classic names, as a .ui file has them.
    const QMetaProperty bevel = panel.metaObject()->property(panel.metaObject()->indexOfProperty("BevelInner"));
    ASSERT_TRUE(bevel.isEnumType());
    EXPECT_STREQ(bevel.enumerator().valueToKey(bvLowered), "bvLowered");
    EXPECT_TRUE(panel.setProperty("BevelInner", "bvLowered"));
    EXPECT_EQ(panel.BevelInner(), bvLowered);
    EXPECT_TRUE(panel.setProperty("Align", "alClient"));
    EXPECT_EQ(panel.Align(), alClient);

    EXPECT_TRUE(panel.setProperty("Color", ColorToQColor(clBtnHighlight)));
    EXPECT_EQ(panel.Color(), clBtnHighlight);
    EXPECT_TRUE(panel.setProperty("Caption", QString::fromUtf8("Año")));
    EXPECT_EQ(panel.Caption(), "Año");
    EXPECT_TRUE(panel.setProperty("BevelWidth", 0));  // refused by the setter
    EXPECT_EQ(panel.BevelWidth(), 1);
}
