// QCustomPlot set up to look like the plotting canvas: black surround, navy
// plot, white framed axes with 11 labelled marks on all four sides, no
// antialiasing, rendered into an off-screen image.
#pragma once

#include "components/plot/PlotNavigation.h"

#include <qcustomplot.h>

#include <QImage>

struct PeerPlot {
    QCustomPlot plot;
    QImage image;

    PeerPlot(int Width, int Height) : image(Width, Height, QImage::Format_RGB32)
    {
        plot.resize(Width, Height);
        plot.setNotAntialiasedElements(QCP::aeAll);
        plot.setBackground(QBrush(Qt::black));
        plot.axisRect()->setBackground(QBrush(QColor(0, 0, 128)));
        for (QCPAxis* axis : {plot.xAxis, plot.yAxis, plot.xAxis2, plot.yAxis2}) {
            axis->setVisible(true);
            axis->setTickLabels(true);
            axis->setBasePen(QPen(Qt::white));
            axis->setTickPen(QPen(Qt::white));
            axis->setTickLabelColor(Qt::white);
            axis->setNumberFormat("f");
            axis->setNumberPrecision(1);
            axis->ticker()->setTickCount(11);
        }
    }
    void SetWindow(const TPlotWindow& w)
    {
        for (QCPAxis* x : {plot.xAxis, plot.xAxis2})
            x->setRange(w.XMin, w.XMax);
        for (QCPAxis* y : {plot.yAxis, plot.yAxis2})
            y->setRange(w.YMin, w.YMax);
    }
    void Render()
    {
        QCPPainter p(&image);
        plot.toPainter(&p, image.width(), image.height());
    }
};
