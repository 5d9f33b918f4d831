// The plot's primitives in a recording of its surface (see
// components/image/PictureExport.h): kept in world precision rather than as
// the whole pixels the canvas draws.
#pragma once

#include "components/image/PictureExport.h"
#include "components/plot/Tcanvas2d.h"

#include <span>
#include <string>

// Made at the top of a primitive: when a recording listens to the plot's
// canvas, it holds the primitive, mapped without rounding, and leaves out
// the canvas calls the primitive makes while this lives. Costs one test
// when nothing listens.
class TPlotRecord {
public:
    static TPlotRecord Point(TCanvas2D& Plot, double X, double Y, int Radius)
    {
        return Listening(Plot) ? PointMake(Plot, X, Y, Radius) : TPlotRecord();
    }
    static TPlotRecord Line(TCanvas2D& Plot, double X1, double Y1, double X2, double Y2)
    {
        const double x[] = {X1, X2}, y[] = {Y1, Y2};
        return Listening(Plot) ? LinesMake(Plot, x, y) : TPlotRecord();
    }
    static TPlotRecord Polyline(TCanvas2D& Plot, std::span<const double> X, std::span<const double> Y)
    {
        return Listening(Plot) ? LinesMake(Plot, X, Y) : TPlotRecord();
    }
    static TPlotRecord Triangle(TCanvas2D& Plot, double X1, double Y1, double X2, double Y2, double X3, double Y3)
    {
        const double x[] = {X1, X2, X3}, y[] = {Y1, Y2, Y3};
        return Listening(Plot) ? TriangleMake(Plot, x, y) : TPlotRecord();
    }
    static TPlotRecord Text(TCanvas2D& Plot, double X, double Y, int DX, int DY, const std::string& Text)
    {
        return Listening(Plot) ? TextMake(Plot, X, Y, DX, DY, Text) : TPlotRecord();
    }

    TPlotRecord(const TPlotRecord&) = delete;
    TPlotRecord& operator=(const TPlotRecord&) = delete;
    ~TPlotRecord()
    {
        if (FRecording)
            FRecording->Unmute();
    }

private:
    TPlotRecord() = default;
    explicit TPlotRecord(TPictureRecording* Recording) : FRecording(Recording) { FRecording->Mute(); }
    static bool Listening(TCanvas2D& Plot) { return Plot.DrawCanvas().Recorder != nullptr; }
    // Keep(recording, canvas) hands the primitive over, when a
    // TPictureRecording listens.
    template <class Record>
    static TPlotRecord Make(TCanvas2D& Plot, Record&& Keep);
    static TPlotRecord PointMake(TCanvas2D& Plot, double X, double Y, int Radius);
    static TPlotRecord LinesMake(TCanvas2D& Plot, std::span<const double> X, std::span<const double> Y);
    static TPlotRecord TriangleMake(TCanvas2D& Plot, std::span<const double> X, std::span<const double> Y);
    static TPlotRecord TextMake(TCanvas2D& Plot, double X, double Y, int DX, int DY, const std::string& Text);

    TPictureRecording* FRecording = nullptr;
};
