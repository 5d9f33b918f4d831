// The bevelled panel with a caption.
#pragma once

#include "toolkit/controls/Control.h"
#include "toolkit/graphics/Graphics.h"

#include <string>

// Draws the classic 3-D frame: BevelWidth rings inward from the rectangle's
// edge, top and left in topColor, right and bottom in bottomColor.
void Frame3D(TCanvas& canvas, TRect& rect, TColor topColor, TColor bottomColor, int width);

// A panel with an outer and an inner bevel, a border between them, a
// background colour and a caption; docked children fill what the frame
// leaves.
class TCustomPanel : public TControl {
    Q_OBJECT
    Q_PROPERTY(Tk::TBevelCut BevelInner READ BevelInner WRITE SetBevelInner)     // bvNone
    Q_PROPERTY(Tk::TBevelCut BevelOuter READ BevelOuter WRITE SetBevelOuter)     // bvRaised
    Q_PROPERTY(int BevelWidth READ BevelWidth WRITE SetBevelWidth)               // 1
    Q_PROPERTY(int BorderWidth READ BorderWidth WRITE SetBorderWidth)            // 0
    Q_PROPERTY(QString Caption READ CaptionQ WRITE SetCaptionQ)                  // ""
    Q_PROPERTY(Tk::TAlignment Alignment READ Alignment WRITE SetAlignment)       // taCenter
    Q_PROPERTY(QColor Color READ ColorQ WRITE SetColorQ)                         // clBtnFace
public:
    // A raised panel of one-pixel bevels in the button face colour.
    explicit TCustomPanel(QWidget* Owner = nullptr);

    TBevelCut BevelInner() const { return bevelInner_; }  // The inner bevel: none, lowered or raised.
    void SetBevelInner(TBevelCut value);                   // Lays out and repaints.
    TBevelCut BevelOuter() const { return bevelOuter_; }  // The outer bevel.
    void SetBevelOuter(TBevelCut value);                   // Lays out and repaints.
    int BevelWidth() const { return bevelWidth_; }        // Width of each bevel, in pixels.
    void SetBevelWidth(int value);                         // Lays out and repaints.
    int BorderWidth() const { return borderWidth_; }      // Space between the bevels, in pixels.
    void SetBorderWidth(int value);                        // Lays out and repaints.
    std::string Caption() const { return caption_; }      // Text drawn in the panel (UTF-8).
    void SetCaption(const std::string& value);             // Repaints.
    TAlignment Alignment() const { return alignment_; }   // Where the caption stands across the panel.
    void SetAlignment(TAlignment value);                   // Repaints.
    TColor Color() const { return color_; }               // The background colour.
    void SetColor(TColor value);                           // Repaints.
    TFont& Font() { return font_; }                        // The caption's font.
    TK_CAPTION_PROPERTY(Caption)
    TK_COLOR_PROPERTY(Color)

    // The area left inside the bevels and border, where children align.
    QRect ClientRect() const;

protected:
    void paintEvent(QPaintEvent* e) override;                  // Qt's event: frame, background, caption.
    QRect AlignArea() const override { return ClientRect(); }  // Children dock inside the frame.

private:
    // A change of the frame moves the client area: align the children again
    // and repaint.
    void Relayout();
    TBevelCut bevelInner_ = bvNone;
    TBevelCut bevelOuter_ = bvRaised;
    int bevelWidth_ = 1;
    int borderWidth_ = 0;
    std::string caption_;
    TAlignment alignment_ = taCenter;
    TColor color_ = clBtnFace;
    TFont font_;
    TBitmap face_;
};
