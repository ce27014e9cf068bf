#include <cstring>

#include <quortypes/harray.h>
#include <quortypes/hstring.h>

// Appends the pieces of text between the first limit occurrences of delimiter
// (all of them for a negative limit); an empty delimiter never matches (it
// would match everywhere without moving on).
static void splitAll(const std::string& text, const std::string& delimiter, harray<hstring>& result,
                     int limit = -1)
{
    size_t position = 0;
    while (limit != 0 && !delimiter.empty())
    {
        size_t found =
            (delimiter.size() == 1 ? text.find(delimiter[0], position) : text.find(delimiter, position));
        if (found == std::string::npos)
        {
            break;
        }
        result.emplace_back(std::string(text, position, found - position));
        position = found + delimiter.size();
        if (limit > 0)
        {
            --limit;
        }
    }
    result.emplace_back(std::string(text, position));
}

// Splits text in two around the delimiter at index; false (and nothing changed) when index is negative.
static bool splitAt(const hstring& text, int index, size_t delimiterSize, hstring& left, hstring& right)
{
    if (index < 0)
    {
        return false;
    }
    // left or right may be text itself
    hstring newLeft(text.std::string::substr(0, index));
    right = text.std::string::substr(index + delimiterSize);
    left = std::move(newLeft);
    return true;
}

static void removeEmpties(harray<hstring>& pieces)
{
    pieces.erase(std::remove_if(pieces.begin(), pieces.end(), [](const hstring& s) { return s.empty(); }),
                 pieces.end());
}

harray<hstring> hstring::split(const hstring& delimiter, int n, bool removeEmpty) const
{
    harray<hstring> result;
    splitAll(*this, delimiter, result, n);
    if (removeEmpty)
    {
        removeEmpties(result);
    }
    return result;
}

harray<hstring> hstring::split(const char* delimiter, int n, bool removeEmpty) const
{
    return this->split(hstring(delimiter), n, removeEmpty);
}

harray<hstring> hstring::split(char delimiter, int n, bool removeEmpty) const
{
    return this->split(hstring(delimiter), n, removeEmpty);
}

// The text before the n-th match from the end is the first piece; the rest is
// split at every delimiter. The search steps back one byte at a time, so
// overlapping matches count, and every position, the first byte included, is tested.
harray<hstring> hstring::rsplit(const hstring& delimiter, int n, bool removeEmpty) const
{
    harray<hstring> result;
    if (n == 0 || delimiter.empty())
    {
        result.push_back(*this);
    }
    else if (n < 0)
    {
        splitAll(*this, delimiter, result);
    }
    else
    {
        const size_t length = delimiter.std::string::size();
        const size_t size = std::string::size();
        size_t found = npos;
        int count = 0;
        for (size_t position = size >= length ? size - length + 1 : 0; position-- > 0;)
        {
            if (std::string::compare(position, length, delimiter) == 0 && ++count == n)
            {
                found = position;
                break;
            }
        }
        if (found == npos)
        {
            splitAll(*this, delimiter, result);
        }
        else
        {
            result.push_back(hstring(std::string::substr(0, found)));
            splitAll(std::string::substr(found + length), delimiter, result);
        }
    }
    if (removeEmpty)
    {
        removeEmpties(result);
    }
    return result;
}

harray<hstring> hstring::rsplit(const char* delimiter, int n, bool removeEmpty) const
{
    return this->rsplit(hstring(delimiter), n, removeEmpty);
}

harray<hstring> hstring::rsplit(char delimiter, int n, bool removeEmpty) const
{
    return this->rsplit(hstring(delimiter), n, removeEmpty);
}

bool hstring::split(const hstring& delimiter, hstring& left, hstring& right) const
{
    return splitAt(*this, this->find(delimiter), delimiter.std::string::size(), left, right);
}

bool hstring::split(const char* delimiter, hstring& left, hstring& right) const
{
    return this->split(hstring(delimiter), left, right);
}

bool hstring::split(char delimiter, hstring& left, hstring& right) const
{
    return this->split(hstring(delimiter), left, right);
}

bool hstring::rsplit(const hstring& delimiter, hstring& left, hstring& right) const
{
    return splitAt(*this, this->rfind(delimiter), delimiter.std::string::size(), left, right);
}

bool hstring::rsplit(const char* delimiter, hstring& left, hstring& right) const
{
    return this->rsplit(hstring(delimiter), left, right);
}

bool hstring::rsplit(char delimiter, hstring& left, hstring& right) const
{
    return this->rsplit(hstring(delimiter), left, right);
}
