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

        Color() : r(255), g(255), b(255), a(255) {}
        Color(unsigned char r, unsigned char g, unsigned char b, unsigned char a = 255)
            : r(r), g(g), b(b), a(a)
        {
        }
        explicit Color(unsigned int rgba);
        Color(const Color& color, unsigned char a);
        explicit Color(const hstring& text);
        explicit Color(const char* text);

        void set(unsigned char r, unsigned char g, unsigned char b, unsigned char a = 255);
        /// Accepts "RRGGBB" or "RRGGBBAA", optionally prefixed by "0x"; throws quortypes::exception
        /// otherwise and leaves the colour unchanged.
        void set(const hstring& text);
        /// Reads the same forms as set(), the "0x" prefix only when allowPrefix is set; false, with the
        /// colour unchanged, for anything else.
        bool trySet(const hstring& text, bool allowPrefix = true);
        /// Whether trySet() would read the text.
        static bool isHex(const hstring& text, bool allowPrefix = true);

        unsigned int toUInt() const;
        hstring hex(bool rgbOnly = false) const;

        bool operator==(const Color& other) const;
        bool operator!=(const Color& other) const;

        // All arithmetic saturates to 0..255 and truncates toward zero. Scaling and adding are defined here,
        // since particles blend colours this way every step.
        Color& operator*=(const Color& other);
        Color& operator*=(float factor)
        {
            r = saturate(r * factor);
            g = saturate(g * factor);
            b = saturate(b * factor);
            a = saturate(a * factor);
            return *this;
        }
        Color& operator/=(float divisor);
        Color& operator+=(const Color& other)
        {
            r = (unsigned char)(r + other.r < 255 ? r + other.r : 255);
            g = (unsigned char)(g + other.g < 255 ? g + other.g : 255);
            b = (unsigned char)(b + other.b < 255 ? b + other.b : 255);
            a = (unsigned char)(a + other.a < 255 ? a + other.a : 255);
            return *this;
        }
        Color operator*(const Color& other) const;
        Color operator*(float factor) const
        {
            Color result(*this);
            return (result *= factor);
        }
        Color operator/(float divisor) const;
        Color operator+(const Color& other) const
        {
            Color result(*this);
            return (result += other);
        }

        // A channel value from a float. Clamping happens in float so that a division by zero (inf or NaN)
        // or a huge factor never reaches the float-to-int conversion, which would be undefined for them.
        // Written as selections rather than branches, which compile to min and max instructions.
        static unsigned char saturate(float value)
        {
            float low = value > 0.0f ? value : 0.0f; // NaN also gives 0
            return (unsigned char)(int)(low < 255.0f ? low : 255.0f);
        }
    };
} // namespace tesra
