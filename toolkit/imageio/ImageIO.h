// Reading and writing picture files, and rotating bitmaps.
//
// The format follows the file name's extension, letter case ignored:
//   .jpg .jpeg   JPEG (libjpeg); written with quality 50
//   .tif .tiff   TIFF (libtiff); written as 8-bit RGB, LZW-compressed
//   .gif         GIF (giflib), the first image; written with at most 256
//                colours (exact when the picture has no more)
//   .png         PNG (libpng); alpha is laid over white
//   .pcx         PCX: 1, 2, 4 and 8-bit palette pictures, 24-bit in three
//                planes, RLE; written as 24-bit RLE
//   .wmf .emf    metafiles, played onto a white bitmap of the size their
//                header gives (reading only; saving writes BMP)
//   anything else  BMP: 1, 4, 8 bits with palette (RLE4/RLE8 too), 16 bits
//                (5-5-5 or bit fields), 24 and 32 bits, bottom-up or top-down,
//                core, info and V4/V5 headers; written as 24-bit bottom-up
//
// Every failure raises EInvalidGraphic naming the file and the reason. A
// failed load leaves the caller's bitmap as it was; a failed save leaves the
// old file as it was.
#pragma once

#include "toolkit/graphics/Graphics.h"

#include <cstddef>
#include <string>

// Reads the picture in fileName into bitmap, which is pf24bit afterwards.
// Pictures wider or higher than TBitmap::MaxSide or larger than
// TBitmap::MaxPixels are refused before anything is allocated for them.
void LoadPicture(const std::string& fileName, TBitmap& bitmap);

// The same for a picture already in memory; formatExtension is the file
// name's extension (".png", "jpg", ...) that would select the reader.
void LoadPictureFromMemory(const void* data, std::size_t size, const std::string& formatExtension,
                           TBitmap& bitmap);

// Converts bitmap to pf24bit (it stays so) and writes it to fileName as
// ReplaceFileContents (toolkit/system/Files.h) does: only a regular file is
// replaced, a read-only one is refused, the old file's mode and owner are
// kept, and a failure leaves the old file whole. An empty bitmap cannot be
// saved.
void SavePicture(const std::string& fileName, TBitmap& bitmap);

// The extension of fileName in lower case, without its dot; empty when
// the name has none.
std::string PictureExtension(const std::string& fileName);

// Whether fileName's extension names a format SavePicture writes as such
// (rather than as the BMP it writes for any other name).
bool PictureFormatWritable(const std::string& fileName);

// Turns bitmap in place by angleDegrees. Positive angles turn the picture
// counter-clockwise as seen on the screen, the same sense as a font's
// escapement; negative angles clockwise. Multiples of 90 degrees move pixels
// exactly; other angles resample bilinearly into the bounding box of the
// turned picture, and the corners it does not cover take background. The
// bitmap is pf24bit afterwards. A result larger than TBitmap::MaxPixels
// raises EOutOfResources and leaves the bitmap as it was.
void RotateBitmap(TBitmap& bitmap, int angleDegrees, TColor background);
