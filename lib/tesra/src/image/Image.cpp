#include <cstring>

#include <algorithm>
#include <memory>

#include <tesra/Image.h>

#include "PixelLayout.h"

namespace tesra
{
    namespace
    {
        // The colour as one pixel of the given layout. Unused bytes are set to 255; ALPHA takes the
        // colour's alpha, since filling a mask means setting its coverage, and GRAYSCALE its red.
        void colorToPixel(const Color& color, const PixelLayout& layout, unsigned char* pixel)
        {
            if (layout.bpp == 1)
            {
                pixel[0] = (layout.hasAlpha ? color.a : color.r);
                return;
            }
            pixel[layout.r] = color.r;
            pixel[layout.g] = color.g;
            pixel[layout.b] = color.b;
            if (layout.bpp == 4)
            {
                pixel[layout.a] = (layout.hasAlpha ? color.a : 255);
            }
        }

        bool hasAlphaChannel(Image::Format format)
        {
            return (format >= Image::FORMAT_RGBA && format <= Image::FORMAT_ABGR);
        }
    } // namespace

    Image::Image() : width(0), height(0), format(FORMAT_UNKNOWN), internalFormat(0), compressedSize(0) {}

    // An image of the given size with room for its pixels when withPixels is set and there are any;
    // nullptr for a negative size.
    static Image* allocate(int width, int height, Image::Format format, bool withPixels, size_t& size)
    {
        if (width < 0 || height < 0)
        {
            return nullptr;
        }
        std::unique_ptr<Image> image(new Image());
        image->width = width;
        image->height = height;
        image->format = format;
        size = (size_t)width * (size_t)height * (size_t)Image::getFormatBpp(format);
        if (withPixels && size > 0)
        {
            image->data.reset(new unsigned char[size]);
        }
        return image.release();
    }

    Image* Image::create(int width, int height, const unsigned char* data, Format format)
    {
        size_t size = 0;
        Image* image = allocate(width, height, format, data != nullptr, size);
        if (image != nullptr && image->data != nullptr)
        {
            memcpy(image->data.get(), data, size);
        }
        return image;
    }

    Image* Image::create(int width, int height, const Color& fillColor, Format format)
    {
        size_t size = 0;
        Image* image = allocate(width, height, format, true, size);
        if (image != nullptr && image->data != nullptr)
        {
            fillRect(0, 0, width, height, fillColor, image->data.get(), width, height, format);
        }
        return image;
    }

    bool Image::write(int sx, int sy, int sw, int sh, int dx, int dy, const unsigned char* srcData,
                      int srcWidth, int srcHeight, Format srcFormat, unsigned char* dstData, int dstWidth,
                      int dstHeight, Format dstFormat)
    {
        if (srcData == nullptr || dstData == nullptr || sw <= 0 || sh <= 0 || sx < 0 || sy < 0 ||
            sx >= srcWidth || sy >= srcHeight || sw > srcWidth - sx || sh > srcHeight - sy)
        {
            return false;
        }
        // A negative offset cuts the rectangle's start; the cut is checked before the start moves,
        // so that a far-off offset cannot overflow it.
        if (dx < 0)
        {
            sw += dx;
            sx = (sw > 0 ? sx - dx : sx);
            dx = 0;
        }
        if (dy < 0)
        {
            sh += dy;
            sy = (sh > 0 ? sy - dy : sy);
            dy = 0;
        }
        if (sw <= 0 || sh <= 0 || dx >= dstWidth || dy >= dstHeight)
        {
            return false;
        }
        sw = std::min(sw, dstWidth - dx);
        sh = std::min(sh, dstHeight - dy);
        int srcBpp = getFormatBpp(srcFormat);
        int dstBpp = getFormatBpp(dstFormat);
        if (srcBpp == 0 || dstBpp == 0)
        {
            // Let the converter report formats it cannot handle; with no pixel size nothing is copied.
            unsigned char* unused = dstData;
            if (srcFormat != dstFormat)
            {
                convert(0, 0, srcData, srcFormat, &unused, dstFormat);
            }
            return false;
        }
        const unsigned char* src = srcData + ((size_t)sy * srcWidth + sx) * srcBpp;
        unsigned char* dst = dstData + ((size_t)dy * dstWidth + dx) * dstBpp;
        size_t srcStride = (size_t)srcWidth * srcBpp;
        size_t dstStride = (size_t)dstWidth * dstBpp;
        if (srcFormat == FORMAT_ALPHA && dstFormat != FORMAT_ALPHA)
        {
            if (!hasAlphaChannel(dstFormat))
            {
                return false;
            }
            int alpha = getPixelLayout(dstFormat).a;
            for (int y = 0; y < sh; ++y, src += srcStride, dst += dstStride)
            {
                for (int x = 0; x < sw; ++x)
                {
                    dst[x * 4 + alpha] = src[x];
                }
            }
            return true;
        }
        if (sx == 0 && sy == 0 && dx == 0 && dy == 0 && sw == srcWidth && sw == dstWidth)
        {
            return convert(sw, sh, src, srcFormat, &dst, dstFormat);
        }
        for (int y = 0; y < sh; ++y, src += srcStride, dst += dstStride)
        {
            unsigned char* row = dst;
            if (!convert(sw, 1, src, srcFormat, &row, dstFormat))
            {
                return false;
            }
        }
        return true;
    }

    bool Image::fillRect(int x, int y, int w, int h, const Color& color, unsigned char* data, int width,
                         int height, Format format)
    {
        const PixelLayout& layout = getPixelLayout(format);
        if (data == nullptr || layout.bpp == 0)
        {
            return false;
        }
        // Clip to the buffer.
        int x0 = std::max(x, 0), y0 = std::max(y, 0);
        int x1 = (int)std::min((long long)x + w, (long long)width);
        int y1 = (int)std::min((long long)y + h, (long long)height);
        if (x0 >= x1 || y0 >= y1)
        {
            return false;
        }
        unsigned char pixel[4];
        colorToPixel(color, layout, pixel);
        size_t bpp = layout.bpp;
        size_t rowBytes = (size_t)(x1 - x0) * bpp;
        unsigned char* first = data + ((size_t)y0 * width + x0) * bpp;
        for (size_t i = 0; i < rowBytes; i += bpp)
        {
            memcpy(first + i, pixel, bpp);
        }
        for (int row = y0 + 1; row < y1; ++row)
        {
            memcpy(data + ((size_t)row * width + x0) * bpp, first, rowBytes);
        }
        return true;
    }

    bool Image::setPixel(int x, int y, const Color& color, unsigned char* data, int width, int height,
                         Format format)
    {
        if (x < 0 || y < 0 || x >= width || y >= height)
        {
            return false;
        }
        return fillRect(x, y, 1, 1, color, data, width, height, format);
    }
} // namespace tesra
