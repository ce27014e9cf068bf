#pragma once

#include <quortypes/hstring.h>

namespace tesra
{
    /// A colour of four bytes, opaque white by default. Packed, it reads 0xRRGGBBAA.
    class Color
    {
    public:
        unsigned char r;
        unsigned char g;
        unsigned char b;
        unsigned char a;

        Color();
        Color(unsigned char r, unsigned char g, unsigned char b, unsigned char a = 255);
        explicit Color(unsigned int rgba);
        Color(const Color& color, unsigned char a);
        explicit Color(const hstring& text);
        explicit Color(const char* text);

        void set(unsigned char r, unsigned char g, unsigned char b, unsigned char a = 255);
        /// Accepts "RRGGBB" or "RRGGBBAA", optionally prefixed by "0x"; throws quortypes::exception
        /// otherwise and leaves the colour unchanged.
        void set(const hstring& text);

        unsigned int toUInt() const;
        hstring hex(bool rgbOnly = false) const;

        bool operator==(const Color& other) const;
        bool operator!=(const Color& other) const;

        // All arithmetic saturates to 0..255 and truncates toward zero.
        Color& operator*=(const Color& other);
        Color& operator*=(float factor);
        Color& operator/=(float divisor);
        Color& operator+=(const Color& other);
        Color operator*(const Color& other) const;
        Color operator*(float factor) const;
        Color operator/(float divisor) const;
        Color operator+(const Color& other) const;
    };
} // namespace tesra
