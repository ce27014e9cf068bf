#include <cstdint>
#include <cstring>

#include <libyuv.h>

#include <tesravideo/TheoraVideoFrame.h>

namespace
{
    typedef int (*YuvConverter)(const uint8_t*, int, const uint8_t*, int, const uint8_t*, int, uint8_t*, int,
                                int, int);

    struct ModeInfo
    {
        int bytes;
        bool alpha;
        // Byte of the alpha (or unused) channel in 4-byte modes, and where the colour bytes start.
        int alphaByte;
        YuvConverter converter;
    };

    // libyuv names the 32-bit word, not the bytes: its "ARGB" is B, G, R, A in memory.
    const ModeInfo modes[] = {
        {0, false, 0, nullptr},             // TH_UNDEFINED
        {3, false, 0, libyuv::I420ToRAW},   // TH_RGB
        {4, true, 3, libyuv::I420ToABGR},   // TH_RGBA
        {4, false, 3, libyuv::I420ToABGR},  // TH_RGBX
        {4, true, 0, libyuv::I420ToBGRA},   // TH_ARGB
        {4, false, 0, libyuv::I420ToBGRA},  // TH_XRGB
        {3, false, 0, libyuv::I420ToRGB24}, // TH_BGR
        {4, true, 3, libyuv::I420ToARGB},   // TH_BGRA
        {4, false, 3, libyuv::I420ToARGB},  // TH_BGRX
        {4, true, 0, libyuv::I420ToRGBA},   // TH_ABGR
        {4, false, 0, libyuv::I420ToRGBA},  // TH_XBGR
        {1, false, 0, nullptr},             // TH_GREY
        {3, false, 0, nullptr},             // TH_GREY3
        {4, true, 3, nullptr},              // TH_GREY3A
        {4, false, 3, nullptr},             // TH_GREY3X
        {4, true, 0, nullptr},              // TH_AGREY3
        {4, false, 0, nullptr},             // TH_XGREY3
        {3, false, 0, nullptr},             // TH_YUV
        {4, true, 3, nullptr},              // TH_YUVA
        {4, false, 3, nullptr},             // TH_YUVX
        {4, true, 0, nullptr},              // TH_AYUV
        {4, false, 0, nullptr},             // TH_XYUV
    };

    const ModeInfo* findMode(int mode)
    {
        return (mode >= TH_UNDEFINED && mode <= TH_XYUV ? &modes[mode] : nullptr);
    }

    void convertGrey(const ModeInfo& info, const TheoraPixelTransform& t)
    {
        int rowBytes = t.w * info.bytes;
        for (unsigned int r = 0; r < t.h; ++r)
        {
            const unsigned char* y = t.y + r * t.yStride;
            unsigned char* out = t.out + r * rowBytes;
            if (info.bytes == 1)
            {
                memcpy(out, y, t.w);
                continue;
            }
            // Colour bytes follow the alpha byte when it comes first.
            unsigned char* pixel = out + (info.bytes == 4 && info.alphaByte == 0 ? 1 : 0);
            for (unsigned int c = 0; c < t.w; ++c, pixel += info.bytes)
            {
                pixel[0] = pixel[1] = pixel[2] = y[c];
            }
        }
    }

    void convertYuv(const ModeInfo& info, const TheoraPixelTransform& t)
    {
        int rowBytes = t.w * info.bytes;
        int start = (info.bytes == 4 && info.alphaByte == 0 ? 1 : 0);
        for (unsigned int r = 0; r < t.h; ++r)
        {
            const unsigned char* y = t.y + r * t.yStride;
            const unsigned char* u = t.u + (r / 2) * t.uStride;
            const unsigned char* v = t.v + (r / 2) * t.vStride;
            unsigned char* pixel = t.out + r * rowBytes + start;
            for (unsigned int c = 0; c < t.w; ++c, pixel += info.bytes)
            {
                pixel[0] = y[c];
                pixel[1] = u[c / 2];
                pixel[2] = v[c / 2];
            }
        }
    }

    // Whole pixels are read and written as words: the loop then runs on vector lanes, where byte stores
    // every fourth byte would not.
    typedef uint32_t __attribute__((may_alias)) PixelWord;
    static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "a pixel's byte 3 is its word's high byte");

    template <int shift> void fillAlphaWords(const TheoraPixelTransform& t)
    {
        const uint32_t keep = ~(0xFFu << shift);
        // In locals: the word stores may alias anything, the transform's fields included.
        const unsigned int width = t.w;
        const unsigned int height = t.h;
        for (unsigned int r = 0; r < height; ++r)
        {
            const unsigned char* y = t.y + r * t.yStride + width;
            PixelWord* pixel = (PixelWord*)(t.out + r * width * 4);
            for (unsigned int c = 0; c < width; ++c)
            {
                // In 16-bit lanes: level * 255 fits, and its product with 19153 shifted right by 22
                // equals level * 255 / 219 (truncated) for every level from 0 to 219.
                uint16_t luma = y[c];
                uint16_t level = (uint16_t)(luma > 16 ? luma - 16 : 0);
                level = (uint16_t)(level < 219 ? level : 219);
                uint16_t scaled = (uint16_t)(level * 255);
                uint32_t alpha = ((uint32_t)scaled * 19153u) >> 22;
                pixel[c] = (pixel[c] & keep) | (alpha << shift);
            }
        }
    }

    void fillAlpha(const ModeInfo& info, const TheoraPixelTransform& t)
    {
        if (info.alphaByte == 3)
        {
            fillAlphaWords<24>(t);
        }
        else
        {
            fillAlphaWords<0>(t);
        }
    }
} // namespace

bool theoraIsAlphaMode(int mode)
{
    const ModeInfo* info = findMode(mode);
    return (info != nullptr && info->alpha);
}

int theoraBytesPerPixel(int mode)
{
    const ModeInfo* info = findMode(mode);
    return (info != nullptr ? info->bytes : 0);
}

void theoraConvert(int mode, const TheoraPixelTransform& t)
{
    const ModeInfo* info = findMode(mode);
    if (info == nullptr || info->bytes == 0)
    {
        return;
    }
    if (info->converter != nullptr)
    {
        info->converter(t.y, t.yStride, t.u, t.uStride, t.v, t.vStride, t.out, t.w * info->bytes, t.w, t.h);
    }
    else if (mode <= TH_XGREY3)
    {
        convertGrey(*info, t);
    }
    else
    {
        convertYuv(*info, t);
    }
    if (info->alpha)
    {
        fillAlpha(*info, t);
    }
}

void theoraFillAlpha(int mode, const TheoraPixelTransform& t)
{
    const ModeInfo* info = findMode(mode);
    if (info != nullptr && info->alpha)
    {
        fillAlpha(*info, t);
    }
}
