#pragma once

#include <vector>

class TheoraVideoClip;

// The decoded planes handed to a frame for conversion.
struct TheoraPixelTransform
{
    unsigned char* y = nullptr;
    unsigned char* u = nullptr;
    unsigned char* v = nullptr;
    unsigned char* out = nullptr;
    unsigned int w = 0;
    unsigned int h = 0;
    unsigned int yStride = 0;
    unsigned int uStride = 0;
    unsigned int vStride = 0;
};

// Output pixel layouts; the name gives the byte order in memory, X an unused byte.
enum TheoraOutputMode
{
    TH_UNDEFINED = 0,
    TH_RGB = 1,
    TH_RGBA = 2,
    TH_RGBX = 3,
    TH_ARGB = 4,
    TH_XRGB = 5,
    TH_BGR = 6,
    TH_BGRA = 7,
    TH_BGRX = 8,
    TH_ABGR = 9,
    TH_XBGR = 10,
    TH_GREY = 11,
    TH_GREY3 = 12,
    TH_GREY3A = 13,
    TH_GREY3X = 14,
    TH_AGREY3 = 15,
    TH_XGREY3 = 16,
    TH_YUV = 17,
    TH_YUVA = 18,
    TH_YUVX = 19,
    TH_AYUV = 20,
    TH_XYUV = 21
};

// The largest frame a clip accepts: no side above 8192 pixels and no more than 16 M pixels in all (a
// 4096 x 4096 frame).
const int theoraMaxFrameSide = 8192;
const long long theoraMaxFramePixels = 16LL * 1024 * 1024;
// What a clip's precached frames may take together; a frame larger than this still gets one.
const long long theoraMaxPrecachedBytes = 256LL * 1024 * 1024;

bool theoraIsAlphaMode(int mode);
int theoraBytesPerPixel(int mode);
// Fills out (width x height pixels, rows of width x bytes per pixel) in the mode's layout. For alpha
// modes the alpha comes from the luma at column width + c, so the planes must be twice as wide.
void theoraConvert(int mode, const TheoraPixelTransform& transform);
// The alpha pass of theoraConvert alone, for an alpha mode; does nothing for the others.
void theoraFillAlpha(int mode, const TheoraPixelTransform& transform);

class TheoraVideoFrame
{
public:
    // Throws std::bad_alloc when the buffer cannot be had: a frame never exists without its pixels.
    explicit TheoraVideoFrame(TheoraVideoClip* parent);
    virtual ~TheoraVideoFrame();
    TheoraVideoFrame(const TheoraVideoFrame&) = delete;
    TheoraVideoFrame& operator=(const TheoraVideoFrame&) = delete;

    virtual void decode(TheoraPixelTransform* transform);

    // Also gives the slot back, or a queue cleared by a seek or stop would keep its frames taken.
    void clear()
    {
        this->ready = false;
        this->inUse = false;
    }
    unsigned char* getBuffer() { return this->buffer.data(); }
    TheoraVideoClip* getParent() { return this->parent; }

    float timeToDisplay = 0.0f;
    bool ready = false;
    bool inUse = false;
    int iteration = 0;
    int bpp = 0;
    unsigned long frameNumber = 0;

protected:
    TheoraVideoClip* parent;
    std::vector<unsigned char> buffer;
};
