// The pages of the components' gallery, one per component. Each builds its
// component with a few controls around it; the members are public so that
// the tests can drive a page as a user would.
#pragma once

#include "components/plot/Tcanvas2d.h"
#include "components/scale/Tescala.h"
#include "components/panel/Tpnlimg.h"
#include "components/image/Tqelimage.h"

#include <QWidget>

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QPushButton;
class QDoubleSpinBox;
class QGridLayout;
class QSpinBox;
class QTableWidget;

// Shows a line in the window's status bar.
using TStatusLine = std::function<void(const QString&)>;

// "Imagen": a raster image with its drawing, files and rotation.
class TImagenTab : public QWidget {
public:
    explicit TImagenTab(QWidget* Parent = nullptr);
    // The sample picture: a pixel pass, bevels, OR-combined shapes, a
    // shaded ball and turned text.
    void Sample();
    // Ask for a file name, then Open or Save.
    void FileOpen();
    void FileSave();
    // Read or write the picture; a failure is shown in the error box, in
    // Spanish, with the file's name and the reason.
    void Open(const QString& Name);
    void Save(const QString& Name);
    void Turn();
    void TextInvert();

    TQelImage* Image;
    QSpinBox* Angle;
};

// "Panel": a picture larger than the panel, moved by its scroll bars.
class TPanelTab : public QWidget {
public:
    explicit TPanelTab(QWidget* Parent = nullptr);
    // Copies the part of the picture that the bars point at.
    void Show();

    TPnlImg* Panel;
    TBitmap Picture;

private:
    void BarsSet();
};

// "Gráfico": a function and a point cloud on the plotting canvas.
class TGraficoTab : public QWidget {
public:
    TGraficoTab(TStatusLine Status, QWidget* Parent = nullptr);
    static double Function(double X);
    // What the buttons and keys do.
    void ModeSet(int Mode);
    void ZoomAll();
    void HistoryBack();
    void HistoryForward();
    // Ask for a file name, then Save: the plot as it shows, as PNG, SVG or
    // PDF; a failure is shown in the error box, in Spanish.
    void FileSave();
    void Save(const QString& Name);

    TCanvas2D* Plot;
    // The mode buttons, each with its mode as id; the active one is down.
    QButtonGroup* Modes;
    QPushButton* Back;
    QPushButton* Forward;
    // Round marks and the grid, on or off.
    QCheckBox* RoundMarks;
    QCheckBox* Grid;

protected:
    void keyPressEvent(QKeyEvent* e) override;

private:
    void PlotDraw();
    // The mode pressed and the history steps that can be taken.
    void ControlsShow();
    // The world coordinates under the pointer (given in pixels of the
    // plot's surface), or none when it is not over the plot.
    void PointerShow();
    void PointerShow(QPoint At);

    TStatusLine FStatus;
    std::vector<std::pair<double, double>> FCloud;
};

// "Escala": a colour scale beside a field coloured with its colours.
class TEscalaTab : public QWidget {
public:
    TEscalaTab(TStatusLine Status, QWidget* Parent = nullptr);
    // The field's value at a pixel of the field.
    double FieldValue(int X, int Y) const;
    void FieldDraw();
    // Ask for a file name, then Save: the scale as it shows, as PNG, SVG
    // or PDF; a failure is shown in the error box, in Spanish.
    void FileSave();
    void Save(const QString& Name);

    TEscala* Scale;
    TQelImage* Field;
    // A second field in a panel, with scales docked to the panel's bottom
    // and right edges; Docked is coloured with the right one.
    TQelImage* Docked;
    TEscala* DockedBottom;
    TEscala* DockedRight;
    QComboBox* Graduation;
    QComboBox* Orientation;
    QComboBox* Position;
    QDoubleSpinBox* Interval;
    QDoubleSpinBox* Minimum;
    QDoubleSpinBox* Maximum;

private:
    void Apply();
    // The field's value at the fraction (U, V) of its width and height.
    static double Value(double U, double V);
    // Colours every pixel of Image by Value, with the colours of With.
    static void Colour(TQelImage& Image, const TEscala& With);
    TStatusLine FStatus;
    // The field, and the scale beside it or under it.
    QGridLayout* FStage;
};

// A size as the "Discos" page shows it, in the binary units it is reckoned
// in: "0 bytes", "512 bytes", "128 KiB", "465,8 GiB" (the locale's
// separators), with one decimal only when it is not a whole number;
// "desconocido" for a negative one.
QString DiskSizeText(std::int64_t Bytes);

// "Discos": every volume and what TDiskInfo reads of it.
class TDiscosTab : public QWidget {
public:
    explicit TDiscosTab(QWidget* Parent = nullptr);
    // Starts reading the volumes again; the rows appear one by one.
    void Fill();
    // Whether rows are still to come.
    bool Filling() const;

    QTableWidget* Table;

private:
    void FillRow(unsigned filling, std::size_t index);
    std::vector<std::string> FVolumes;
    unsigned FFilling = 0;
};
