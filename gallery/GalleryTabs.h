// The pages of the components' gallery, one per component. Each builds its
// component with a few controls around it; the members are public so that
// the tests can drive a page as a user would.
#pragma once

#include "components/plot/Tcanvas2d.h"
#include "components/scale/Tescala.h"
#include "components/panel/Tpnlimg.h"
#include "components/image/Tqelimage.h"

#include <QWidget>

#include <functional>
#include <string>
#include <utility>
#include <vector>

class QComboBox;
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
    void FileOpen();
    void FileSave();
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

    TCanvas2D* Plot;

protected:
    void keyPressEvent(QKeyEvent* e) override;

private:
    void PlotDraw();

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

    TEscala* Scale;
    TQelImage* Field;
    QComboBox* Graduation;
    QComboBox* Orientation;
    QComboBox* Position;
    QDoubleSpinBox* Interval;
    QDoubleSpinBox* Minimum;
    QDoubleSpinBox* Maximum;

private:
    void Apply();
    TStatusLine FStatus;
    // The field, and the scale beside it or under it.
    QGridLayout* FStage;
};

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
