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

    unsigned char alphaFromLuma(unsigned char y)
    {
        if (y <= 16)
        {
            return 0;
        }
        if (y >= 235)
        {
            return 255;
        }
        return (unsigned char)((y - 16) * 255 / 219);
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

    void fillAlpha(const ModeInfo& info, const TheoraPixelTransform& t)
    {
        int rowBytes = t.w * info.bytes;
        for (unsigned int r = 0; r < t.h; ++r)
        {
            const unsigned char* y = t.y + r * t.yStride + t.w;
            unsigned char* alpha = t.out + r * rowBytes + info.alphaByte;
            for (unsigned int c = 0; c < t.w; ++c, alpha += 4)
            {
                *alpha = alphaFromLuma(y[c]);
            }
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
