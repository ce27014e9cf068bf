#include <cstring>

#include <fintu/Cache.h>

namespace fintu
{
    namespace
    {
        unsigned int bits(float value)
        {
            unsigned int result = 0;
            memcpy(&result, &value, sizeof(result));
            return result;
        }

        unsigned int mixBytes(unsigned int hash, const hstring& text)
        {
            const int size = text.size();
            for (int i = 0; i < size; ++i)
            {
                // bytes above 0x7F are sign-extended before the shift
                hash ^= (unsigned int)(int)(signed char)text[i] << (8 * (i % 4));
            }
            return hash;
        }
    } // namespace

    unsigned int hashStrings(const hstring& text, const hstring& fontName)
    {
        return mixBytes(mixBytes(0xFFFFFFFFu, text), fontName);
    }

    unsigned int CacheEntryText::hash() const
    {
        unsigned int result = hashStrings(text, fontName);
        result ^= bits(rect.x) ^ bits(rect.y) ^ bits(rect.w) ^ bits(rect.h);
        result ^= bits(offset.x) ^ bits(offset.y);
        result ^= (unsigned int)vertFormatting & 0xFFFFu;
        result ^=
            ((unsigned int)color.r << 8) | ((unsigned int)color.g << 16) | ((unsigned int)color.b << 24);
        return result;
    }

    bool CacheEntryText::operator==(const CacheEntryText& other) const
    {
        return text == other.text && fontName == other.fontName && rect == other.rect &&
               horzFormatting == other.horzFormatting && vertFormatting == other.vertFormatting &&
               color.r == other.color.r && color.g == other.color.g && color.b == other.color.b &&
               offset == other.offset;
    }

    void CacheEntryText::copyResult(const CacheEntryText& other)
    {
        textSequences = other.textSequences;
        shadowSequences = other.shadowSequences;
        borderSequences = other.borderSequences;
    }

    unsigned int CacheEntryLine::hash() const
    {
        return mixBytes(hashStrings(text, fontName), formatted) ^ bits(size.x) ^ bits(size.y);
    }

    bool CacheEntryLine::operator==(const CacheEntryLine& other) const
    {
        return text == other.text && formatted == other.formatted && fontName == other.fontName &&
               size == other.size;
    }
} // namespace fintu
