#pragma once

#include <cstdarg>
#include <cstring>
#include <string>

template <class T> class harray;

// Code points, one per element; used where text is laid out character by character.
typedef std::basic_string<unsigned int> ustring;

// UTF-8 byte string. All sizes and indices are bytes unless an operation says
// "characters"; positions are int and -1 means "not found".
class hstring : public std::string
{
public:
    hstring() = default;
    hstring(const hstring&) = default;
    hstring(hstring&&) noexcept = default;
    hstring(const std::string& other) : std::string(other) {}
    hstring(std::string&& other) noexcept : std::string(std::move(other)) {}
    hstring(const char* s);
    hstring(const char* s, int length);
    hstring(char c) : std::string(1, c) {}
    hstring(char c, int count);
    // The standard string's (count, char) order would silently pick the line above.
    hstring(int count, char c) = delete;
    hstring(size_t count, char c) = delete;
    hstring(int value);
    hstring(float value);
    hstring(double value);

    hstring& operator=(const hstring&) = default;
    hstring& operator=(hstring&&) noexcept = default;
    hstring& operator=(const std::string& other);
    hstring& operator=(const char* s);
    hstring& operator=(char c);
    hstring& operator=(int value);
    hstring& operator=(float value);

    hstring& operator+=(const std::string& other);
    hstring& operator+=(const char* s);
    hstring& operator+=(char c);

    // Inline, with the lengths compared first: names are compared against long lists of literals.
    bool operator==(const hstring& other) const { return equals(other.data(), other.length()); }
    bool operator==(const std::string& other) const { return equals(other.data(), other.length()); }
    bool operator==(const char* s) const { return s == nullptr ? empty() : equals(s, strlen(s)); }
    bool operator!=(const hstring& other) const { return !(*this == other); }
    bool operator!=(const std::string& other) const { return !(*this == other); }
    bool operator!=(const char* s) const { return !(*this == s); }

    // conversions to values
    int toInt() const;
    float toFloat() const;
    bool toBool() const;
    unsigned int hexValue() const;
    bool isNumber() const;
    bool isNumeric(bool requirePoint = false) const;
    bool isHex() const;

    // access and search
    int size() const { return (int)std::string::size(); }
    char& operator[](int index);
    const char& operator[](int index) const;
    hstring charAt(int index) const;
    int find(const hstring& needle, int start = 0) const;
    int find(const char* needle, int start = 0) const;
    int find(char needle, int start = 0) const;
    // A negative start searches from the end.
    int rfind(const hstring& needle, int start = -1) const;
    int rfind(const char* needle, int start = -1) const;
    int rfind(char needle, int start = -1) const;
    bool contains(const hstring& needle) const;
    bool contains(const char* needle) const;
    bool contains(char needle) const;
    bool startsWith(const hstring& prefix) const;
    bool startsWith(const char* prefix) const;
    bool endsWith(const hstring& suffix) const;
    bool endsWith(const char* suffix) const;
    // A negative count reaches the end.
    hstring subString(int start, int count = -1) const;
    hstring slice(int start, int count = -1) const;

    // transformations
    hstring lowered() const;
    hstring uppered() const;
    hstring ltrimmed(char c = ' ') const;
    hstring rtrimmed(char c = ' ') const;
    hstring trimmed(char c = ' ') const;
    hstring replaced(const hstring& what, const hstring& with) const;
    hstring replaced(const char* what, const hstring& with) const;
    hstring replaced(const hstring& what, const char* with) const;
    hstring replaced(const char* what, const char* with) const;

    harray<hstring> split(const hstring& delimiter, int n = -1, bool removeEmpty = false) const;
    harray<hstring> split(const char* delimiter, int n = -1, bool removeEmpty = false) const;
    harray<hstring> split(char delimiter, int n = -1, bool removeEmpty = false) const;
    harray<hstring> rsplit(const hstring& delimiter, int n = -1, bool removeEmpty = false) const;
    harray<hstring> rsplit(const char* delimiter, int n = -1, bool removeEmpty = false) const;
    harray<hstring> rsplit(char delimiter, int n = -1, bool removeEmpty = false) const;
    bool split(const hstring& delimiter, hstring& left, hstring& right) const;
    bool split(const char* delimiter, hstring& left, hstring& right) const;
    bool split(char delimiter, hstring& left, hstring& right) const;
    bool rsplit(const hstring& delimiter, hstring& left, hstring& right) const;
    bool rsplit(const char* delimiter, hstring& left, hstring& right) const;
    bool rsplit(char delimiter, hstring& left, hstring& right) const;

    // UTF-8
    int utf8Size() const;
    hstring utf8SubString(int start, int count) const;
    unsigned int unicodeCharAt(int index, int* length = nullptr) const;
    ustring toUnicode() const;

    static hstring fromUnicode(const char* s);
    static hstring fromUnicode(unsigned int codePoint);
    static hstring fromUnicode(const unsigned int* codePoints);
    static hstring fromUnicode(const harray<unsigned int>& codePoints);
    static hstring fromUnicode(const ustring& codePoints);
    // 16-bit units, each encoded by itself (a surrogate pair gives two sequences).
    static hstring fromUnicode(const char16_t* units);

private:
    bool equals(const char* other, size_t length) const
    {
        return std::string::length() == length && (length == 0 || memcmp(data(), other, length) == 0);
    }
};

hstring operator+(const hstring& a, const hstring& b);
hstring operator+(const hstring& a, const std::string& b);
hstring operator+(const std::string& a, const hstring& b);
hstring operator+(const hstring& a, std::string&& b);
hstring operator+(std::string&& a, const hstring& b);
hstring operator+(const hstring& a, const char* b);
hstring operator+(const char* a, const hstring& b);
hstring operator+(const hstring& a, char b);
hstring operator+(char a, const hstring& b);
bool operator==(const char* a, const hstring& b);
bool operator!=(const char* a, const hstring& b);

// printf-style formatting; the result may be of any length.
hstring formatString(const char* format, ...) __attribute__((format(printf, 1, 2)));
hstring formatStringV(const char* format, va_list args);

#include <quortypes/harray.h>
