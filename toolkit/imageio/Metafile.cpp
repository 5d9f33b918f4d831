// Windows metafiles (WMF, with or without the placeable header, and EMF),
// played onto a white bitmap through our canvas.
//
// The common drawing records are played: pens, brushes, fonts and the
// object table, colours and modes, window, viewport, mapping mode and world
// transform, lines, polylines, polygons, Bézier curves, rectangles, rounded
// rectangles, ellipses, paths, text and device-independent bitmaps. Other
// records (clipping, arcs, palettes, comments) are passed over. Every read
// is checked against the record; a record too short for what it claims is
// passed over, a record that runs past the end of the file ends the reading.
//
// MetafilePlayer.h holds what the two formats share; MetafileWmf.cpp and
// MetafileEmf.cpp read and play the records of each.

#include "toolkit/imageio/MetafilePlayer.h"

namespace imageio {

void DecodeMetafile(Bytes data, TBitmap& out, const Limits& limits)
{
    // An enhanced metafile starts with its header record, type 1.
    if (data.size() >= 4 && Le32(data.data()) == 1)
        metafile_detail::PlayEmf(data, out, limits);
    else
        metafile_detail::PlayWmf(data, out, limits);
}

}  // namespace imageio
