#include <cctype>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

#include <quortypes/hstring.h>

static const char* const INVALID_POSITION = "invalid string position";

hstring::hstring(const char* s) : std::string(s != nullptr ? s : "") {}

// Made at its size in one go: assigning into an empty string would go through the library's replace.
hstring::hstring(const char* s, int length)
    : std::string(s != nullptr && length > 0 ? s : "", s != nullptr && length > 0 ? (size_t)length : 0)
{
}

hstring::hstring(char c, int count) : std::string(count > 0 ? count : 0, c) {}

hstring::hstring(int value) : std::string(formatString("%d", value)) {}

hstring::hstring(float value) : std::string(formatString("%f", (double)value)) {}

// A double's "%f" text can run to hundreds of digits, so it is not formatted
// into a fixed buffer.
hstring::hstring(double value) : std::string(formatString("%lf", value)) {}

hstring& hstring::operator=(const std::string& other)
{
    std::string::operator=(other);
    return *this;
}

hstring& hstring::operator=(const char* s)
{
    std::string::operator=(s != nullptr ? s : "");
    return *this;
}

hstring& hstring::operator=(char c)
{
    std::string::operator=(c);
    return *this;
}

hstring& hstring::operator=(int value)
{
    return *this = hstring(value);
}

hstring& hstring::operator=(float value)
{
    return *this = hstring(value);
}

hstring& hstring::operator+=(const std::string& other)
{
    std::string::append(other);
    return *this;
}

hstring& hstring::operator+=(const char* s)
{
    if (s != nullptr)
    {
        std::string::append(s);
    }
    return *this;
}

hstring& hstring::operator+=(char c)
{
    std::string::push_back(c);
    return *this;
}

hstring operator+(const hstring& a, const hstring& b)
{
    hstring result(a);
    result += b;
    return result;
}

hstring operator+(const hstring& a, const std::string& b)
{
    hstring result(a);
    result += b;
    return result;
}

hstring operator+(const std::string& a, const hstring& b)
{
    hstring result(a);
    result += b;
    return result;
}

hstring operator+(const hstring& a, std::string&& b)
{
    hstring result(a);
    result += b;
    return result;
}

hstring operator+(std::string&& a, const hstring& b)
{
    hstring result(std::move(a));
    result += b;
    return result;
}

hstring operator+(const hstring& a, const char* b)
{
    hstring result(a);
    result += b;
    return result;
}

hstring operator+(const char* a, const hstring& b)
{
    hstring result(a);
    result += b;
    return result;
}

hstring operator+(const hstring& a, char b)
{
    hstring result(a);
    result += b;
    return result;
}

hstring operator+(char a, const hstring& b)
{
    hstring result(a);
    result += b;
    return result;
}

bool operator==(const char* a, const hstring& b)
{
    return b == a;
}

bool operator!=(const char* a, const hstring& b)
{
    return !(b == a);
}

namespace
{
    // Values in data files are nearly always plain decimals: those are converted without the scanner,
    // which costs far more than the conversion. Digits after an optional minus, a point allowed when
    // `point`; anything else goes to the scanner as before.
    bool isPlainDecimal(const std::string& text, bool point, size_t maxDigits)
    {
        size_t i = (!text.empty() && text[0] == '-') ? 1 : 0;
        size_t digits = 0;
        bool seenPoint = false;
        for (; i < text.size(); ++i)
        {
            const char c = text[i];
            if (c >= '0' && c <= '9')
            {
                ++digits;
            }
            else if (c == '.' && point && !seenPoint)
            {
                seenPoint = true;
            }
            else
            {
                return false;
            }
        }
        return digits > 0 && digits <= maxDigits;
    }
} // namespace

int hstring::toInt() const
{
    if (isPlainDecimal(*this, false, 9))
    {
        const bool negative = this->data()[0] == '-';
        int value = 0;
        for (size_t i = negative ? 1 : 0; i < this->length(); ++i)
        {
            value = value * 10 + (this->data()[i] - '0');
        }
        return negative ? -value : value;
    }
    // Read as the scanner reads "%d" (spaces, a sign, digits), but a number past either end of int stops at
    // that end: the scanner's result for it is undefined, and in practice wraps to a number of the other
    // sign.
    char* end = nullptr;
    const long long value = strtoll(this->c_str(), &end, 10);
    if (end == this->c_str())
    {
        return 0;
    }
    return value > INT_MAX ? INT_MAX : value < INT_MIN ? INT_MIN : (int)value;
}

float hstring::toFloat() const
{
    if (isPlainDecimal(*this, true, 30))
    {
        // the scanner hands the same characters to the same conversion
        return strtof(this->c_str(), nullptr);
    }
    float result = 0.0f;
    if (sscanf(this->c_str(), "%f", &result) != 1)
    {
        return 0.0f;
    }
    return result;
}

bool hstring::toBool() const
{
    return !(this->empty() || *this == "0" || this->lowered() == "false");
}

unsigned int hstring::hexValue() const
{
    if (!this->isHex())
    {
        return 0;
    }
    // More digits than an unsigned int holds stop at its greatest value, where the scanner's result would be
    // undefined.
    const unsigned long long value = strtoull(this->c_str(), nullptr, 16);
    return value > UINT_MAX ? UINT_MAX : (unsigned int)value;
}

bool hstring::isNumber() const
{
    return this->isNumeric(false);
}

bool hstring::isNumeric(bool requirePoint) const
{
    if (this->empty())
    {
        return false;
    }
    int size = this->size();
    int i = (this->data()[0] == '-' ? 1 : 0);
    bool point = false;
    for (; i < size; ++i)
    {
        char c = this->data()[i];
        if (c == '.')
        {
            if (point)
            {
                return false;
            }
            point = true;
        }
        else if (c < '0' || c > '9')
        {
            return false;
        }
    }
    return point || !requirePoint;
}

bool hstring::isHex() const
{
    if (this->empty())
    {
        return false;
    }
    for (char c : *this)
    {
        if (!isxdigit((unsigned char)c))
        {
            return false;
        }
    }
    return true;
}

char& hstring::operator[](int index)
{
    if (index < 0 || index >= this->size())
    {
        throw std::out_of_range(INVALID_POSITION);
    }
    return std::string::operator[](index);
}

const char& hstring::operator[](int index) const
{
    if (index < 0 || index >= this->size())
    {
        throw std::out_of_range(INVALID_POSITION);
    }
    return std::string::operator[](index);
}

hstring hstring::charAt(int index) const
{
    return hstring((*this)[index]);
}

int hstring::find(const hstring& needle, int start) const
{
    size_t result = std::string::find(needle, start < 0 ? 0 : (size_t)start);
    return result == npos ? -1 : (int)result;
}

int hstring::find(const char* needle, int start) const
{
    size_t result = std::string::find(needle != nullptr ? needle : "", start < 0 ? 0 : (size_t)start);
    return result == npos ? -1 : (int)result;
}

int hstring::find(char needle, int start) const
{
    size_t result = std::string::find(needle, start < 0 ? 0 : (size_t)start);
    return result == npos ? -1 : (int)result;
}

int hstring::rfind(const hstring& needle, int start) const
{
    size_t result = std::string::rfind(needle, start < 0 ? npos : (size_t)start);
    return result == npos ? -1 : (int)result;
}

int hstring::rfind(const char* needle, int start) const
{
    size_t result = std::string::rfind(needle != nullptr ? needle : "", start < 0 ? npos : (size_t)start);
    return result == npos ? -1 : (int)result;
}

int hstring::rfind(char needle, int start) const
{
    size_t result = std::string::rfind(needle, start < 0 ? npos : (size_t)start);
    return result == npos ? -1 : (int)result;
}

bool hstring::contains(const hstring& needle) const
{
    return this->find(needle, 0) != -1;
}

bool hstring::contains(const char* needle) const
{
    return this->find(needle, 0) != -1;
}

bool hstring::contains(char needle) const
{
    return this->find(needle, 0) != -1;
}

bool hstring::startsWith(const hstring& prefix) const
{
    return std::string::compare(0, prefix.std::string::size(), prefix) == 0;
}

bool hstring::startsWith(const char* prefix) const
{
    if (prefix == nullptr)
    {
        return true;
    }
    size_t length = strlen(prefix);
    return std::string::compare(0, length, prefix, length) == 0;
}

bool hstring::endsWith(const hstring& suffix) const
{
    if (suffix.size() > this->size())
    {
        return false;
    }
    return std::string::compare(this->size() - suffix.size(), suffix.size(), suffix) == 0;
}

bool hstring::endsWith(const char* suffix) const
{
    return this->endsWith(hstring(suffix));
}

hstring hstring::subString(int start, int count) const
{
    if (start < 0 || start > this->size())
    {
        throw std::out_of_range(INVALID_POSITION);
    }
    return hstring(std::string::substr(start, count < 0 ? npos : (size_t)count));
}

hstring hstring::slice(int start, int count) const
{
    if (count < 0)
    {
        count = this->size() + 1 + count;
        if (count < 0)
        {
            count = 0;
        }
    }
    return this->subString(start, count);
}

hstring hstring::lowered() const
{
    hstring result(*this);
    for (char& c : result)
    {
        if (c >= 'A' && c <= 'Z')
        {
            c += 'a' - 'A';
        }
    }
    return result;
}

hstring hstring::uppered() const
{
    hstring result(*this);
    for (char& c : result)
    {
        if (c >= 'a' && c <= 'z')
        {
            c -= 'a' - 'A';
        }
    }
    return result;
}

hstring hstring::ltrimmed(char c) const
{
    size_t start = std::string::find_first_not_of(c);
    return start == npos ? hstring() : hstring(std::string::substr(start));
}

hstring hstring::rtrimmed(char c) const
{
    size_t end = std::string::find_last_not_of(c);
    return end == npos ? hstring() : hstring(std::string::substr(0, end + 1));
}

hstring hstring::trimmed(char c) const
{
    return this->ltrimmed(c).rtrimmed(c);
}

hstring hstring::replaced(const hstring& what, const hstring& with) const
{
    if (what.empty())
    {
        return *this;
    }
    hstring result;
    result.reserve(this->std::string::size());
    size_t position = 0;
    while (true)
    {
        size_t found = std::string::find(what, position);
        if (found == npos)
        {
            break;
        }
        result.append(*this, position, found - position);
        result.append(with);
        position = found + what.std::string::size();
    }
    result.append(*this, position, npos);
    return result;
}

hstring hstring::replaced(const char* what, const hstring& with) const
{
    return this->replaced(hstring(what), with);
}

hstring hstring::replaced(const hstring& what, const char* with) const
{
    return this->replaced(what, hstring(with));
}

hstring hstring::replaced(const char* what, const char* with) const
{
    return this->replaced(hstring(what), hstring(with));
}
