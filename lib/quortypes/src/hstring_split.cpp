#include <cstring>

#include <quortypes/harray.h>
#include <quortypes/hstring.h>

// Appends the pieces of text between every occurrence of delimiter; an empty
// delimiter never matches (it would match everywhere without moving on).
static void splitAll(const std::string& text, const std::string& delimiter, harray<hstring>& result)
{
    size_t position = 0;
    size_t found;
    if (delimiter.size() == 1)
    {
        while ((found = text.find(delimiter[0], position)) != std::string::npos)
        {
            result.emplace_back(std::string(text, position, found - position));
            position = found + 1;
        }
    }
    else if (!delimiter.empty())
    {
        while ((found = text.find(delimiter, position)) != std::string::npos)
        {
            result.emplace_back(std::string(text, position, found - position));
            position = found + delimiter.size();
        }
    }
    result.emplace_back(std::string(text, position));
}

static void removeEmpties(harray<hstring>& pieces)
{
    pieces.erase(std::remove_if(pieces.begin(), pieces.end(), [](const hstring& s) { return s.empty(); }),
                 pieces.end());
}

harray<hstring> hstring::split(const hstring& delimiter, int n, bool removeEmpty) const
{
    harray<hstring> result;
    if (n < 0)
    {
        splitAll(*this, delimiter, result);
    }
    else
    {
        size_t position = 0;
        if (!delimiter.empty())
        {
            size_t found;
            while (n > 0 && (found = std::string::find(delimiter, position)) != npos)
            {
                result.push_back(hstring(std::string::substr(position, found - position)));
                position = found + delimiter.std::string::size();
                --n;
            }
        }
        result.push_back(hstring(std::string::substr(position)));
    }
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
// split at every delimiter. Every position, the first byte included, is tested.
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
        size_t length = delimiter.std::string::size();
        size_t found = npos;
        size_t before = npos;
        int count = 0;
        while (count < n)
        {
            size_t candidate = std::string::rfind(delimiter, before);
            if (candidate == npos)
            {
                break;
            }
            found = candidate;
            ++count;
            if (candidate < length)
            {
                break;
            }
            before = candidate - length;
        }
        if (count < n)
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
    int index = this->find(delimiter);
    if (index < 0)
    {
        return false;
    }
    hstring newLeft(std::string::substr(0, index));
    right = std::string::substr(index + delimiter.size());
    left = std::move(newLeft);
    return true;
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
    int index = this->rfind(delimiter);
    if (index < 0)
    {
        return false;
    }
    hstring newLeft(std::string::substr(0, index));
    right = std::string::substr(index + delimiter.size());
    left = std::move(newLeft);
    return true;
}

bool hstring::rsplit(const char* delimiter, hstring& left, hstring& right) const
{
    return this->rsplit(hstring(delimiter), left, right);
}

bool hstring::rsplit(char delimiter, hstring& left, hstring& right) const
{
    return this->rsplit(hstring(delimiter), left, right);
}
