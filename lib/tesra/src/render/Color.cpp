#include <tesra/Color.h>

#include <algorithm>

#include <quortypes/exception.h>

namespace tesra
{
    namespace
    {
        int hexValue(char c)
        {
            if (c >= '0' && c <= '9')
            {
                return c - '0';
            }
            if (c >= 'a' && c <= 'f')
            {
                return c - 'a' + 10;
            }
            if (c >= 'A' && c <= 'F')
            {
                return c - 'A' + 10;
            }
            return -1;
        }

        // The channels of "RRGGBB" or "RRGGBBAA" (alpha 255 when absent); false for anything else.
        bool parseHex(const hstring& text, bool allowPrefix, int (&values)[4])
        {
            size_t start = (allowPrefix && text.size() >= 2 && text[0] == '0' && text[1] == 'x') ? 2 : 0;
            size_t length = text.size() - start;
            if (length != 6 && length != 8)
            {
                return false;
            }
            values[3] = 255;
            for (size_t i = 0; i < length; i += 2)
            {
                int high = hexValue(text[start + i]);
                int low = hexValue(text[start + i + 1]);
                if (high < 0 || low < 0)
                {
                    return false;
                }
                values[i / 2] = high * 16 + low;
            }
            return true;
        }

        const float INV_255 = 0.003921569f;
    } // namespace

    Color::Color(unsigned int rgba)
        : r((rgba >> 24) & 0xFF), g((rgba >> 16) & 0xFF), b((rgba >> 8) & 0xFF), a(rgba & 0xFF)
    {
    }

    Color::Color(const Color& color, unsigned char a) : r(color.r), g(color.g), b(color.b), a(a) {}

    Color::Color(const hstring& text) : Color()
    {
        this->set(text);
    }

    Color::Color(const char* text) : Color()
    {
        this->set(hstring(text));
    }

    void Color::set(unsigned char r, unsigned char g, unsigned char b, unsigned char a)
    {
        this->r = r;
        this->g = g;
        this->b = b;
        this->a = a;
    }

    void Color::set(const hstring& text)
    {
        if (!this->trySet(text))
        {
            // The line number is part of the message that data authors have always seen; keep it.
            throw quortypes::exception(
                "Color format must be either 0xRRGGBBAA or 0xRRGGBB (with or without 0x prefix)", "src/Color",
                132);
        }
    }

    bool Color::trySet(const hstring& text, bool allowPrefix)
    {
        int values[4];
        if (!parseHex(text, allowPrefix, values))
        {
            return false;
        }
        this->set(values[0], values[1], values[2], values[3]);
        return true;
    }

    bool Color::isHex(const hstring& text, bool allowPrefix)
    {
        int values[4];
        return parseHex(text, allowPrefix, values);
    }

    unsigned int Color::toUInt() const
    {
        return ((unsigned int)this->r << 24) | ((unsigned int)this->g << 16) | ((unsigned int)this->b << 8) |
               (unsigned int)this->a;
    }

    hstring Color::hex(bool rgbOnly) const
    {
        if (rgbOnly)
        {
            return formatString("%02X%02X%02X", this->r, this->g, this->b);
        }
        return formatString("%02X%02X%02X%02X", this->r, this->g, this->b, this->a);
    }

    bool Color::operator==(const Color& other) const
    {
        return (this->r == other.r && this->g == other.g && this->b == other.b && this->a == other.a);
    }

    bool Color::operator!=(const Color& other) const
    {
        return !(*this == other);
    }

    Color& Color::operator*=(const Color& other)
    {
        this->r = saturate(this->r * INV_255 * other.r);
        this->g = saturate(this->g * INV_255 * other.g);
        this->b = saturate(this->b * INV_255 * other.b);
        this->a = saturate(this->a * INV_255 * other.a);
        return *this;
    }

    Color& Color::operator/=(float divisor)
    {
        float factor = 1.0f / divisor;
        this->r = saturate(this->r * factor);
        this->g = saturate(this->g * factor);
        this->b = saturate(this->b * factor);
        this->a = saturate(this->a * factor);
        return *this;
    }

    Color Color::operator*(const Color& other) const
    {
        Color result(*this);
        return (result *= other);
    }

    Color Color::operator/(float divisor) const
    {
        Color result(*this);
        return (result /= divisor);
    }

} // namespace tesra
