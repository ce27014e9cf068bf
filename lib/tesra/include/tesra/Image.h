#pragma once

#include <cstddef>

#include <memory>

#include <quortypes/hstring.h>

#include "Color.h"

namespace tesra
{
    /// Decoded pixels: rows top to bottom without padding. Whoever takes the pixels over moves them
    /// out of `data`.
    class Image
    {
    public:
        enum Format
        {
            FORMAT_UNKNOWN = 0,
            FORMAT_RGBA = 1,
            FORMAT_ARGB = 2,
            FORMAT_BGRA = 3,
            FORMAT_ABGR = 4,
            FORMAT_RGBX = 5,
            FORMAT_XRGB = 6,
            FORMAT_BGRX = 7,
            FORMAT_XBGR = 8,
            FORMAT_RGB = 9,
            FORMAT_BGR = 10,
            FORMAT_ALPHA = 11,
            FORMAT_GRAYSCALE = 12,
            FORMAT_PALETTE = 13
        };

        std::unique_ptr<unsigned char[]> data;
        int width;
        int height;
        Format format;
        int internalFormat;
        int compressedSize;

        Image();
        Image(const Image&) = delete;
        Image& operator=(const Image&) = delete;

        /// Bytes per pixel: 4, 3 or 1; 0 for PALETTE and unknown values.
        static int getFormatBpp(Format format);

        /// Picks the decoder by the lower-cased extension (".png", ".jpg", ".jpeg", ".jpt").
        /// Null when the file is missing, unreadable or not a valid image of its kind.
        static Image* createFromFile(const hstring& filename);
        static Image* createFromFile(const hstring& filename, Format format);
        static Image* createFromResource(const hstring& filename);
        static Image* createFromResource(const hstring& filename, Format format);

        /// The size the file's header declares, read without decoding the pixels; false when the
        /// file is missing or holds no header its extension stands for.
        static bool readSize(const hstring& filename, bool fromResource, int& width, int& height);

        /// Copies width x height pixels of data (none when data is null or the size is 0).
        static Image* create(int width, int height, const unsigned char* data, Format format);
        static Image* create(int width, int height, const Color& fillColor, Format format);

        static bool needsConversion(Format srcFormat, Format dstFormat, bool preventCopy = false);
        /// Converts a whole block. When *dstData is null it is allocated with new[]
        /// (width x height x bytes per pixel of dstFormat).
        static bool convert(int width, int height, const unsigned char* srcData, Format srcFormat,
                            unsigned char** dstData, Format dstFormat, bool preventCopy = false);
        /// Copies a rectangle of one buffer into another, clipped to both, converting formats.
        /// An ALPHA source replaces only the alpha bytes of a four-byte destination with alpha.
        static bool write(int sx, int sy, int sw, int sh, int dx, int dy, const unsigned char* srcData,
                          int srcWidth, int srcHeight, Format srcFormat, unsigned char* dstData, int dstWidth,
                          int dstHeight, Format dstFormat);
        static bool fillRect(int x, int y, int w, int h, const Color& color, unsigned char* data, int width,
                             int height, Format format);
        static bool setPixel(int x, int y, const Color& color, unsigned char* data, int width, int height,
                             Format format);
    };
} // namespace tesra
