#include <algorithm>

#include <quortypes/Resource.h>
#include <quortypes/ResourceDir.h>

#include "texts/TextsReader.h"

namespace tesraui
{
    static const char byteOrderMark[] = "\xEF\xBB\xBF";

    void TextsReader::readFolder(const hstring& folder)
    {
        harray<hstring> files = quortypes::ResourceDir::files(folder, true);
        std::sort(files.begin(), files.end());
        for (const hstring& file : files)
        {
            readText(quortypes::Resource::readAll(file));
        }
    }

    void TextsReader::readText(const hstring& data)
    {
        hstring text = data.replaced("\r", "");
        // Only the UTF-8 mark itself goes; a key may well begin with a non-ASCII character.
        if (text.startsWith(byteOrderMark))
        {
            text = text.subString(3);
        }
        harray<hstring> lines = text.split('\n');
        for (const hstring& line : lines)
        {
            _readLine(line);
        }
    }

    void TextsReader::_readLine(const hstring& line)
    {
        if (inBlock)
        {
            if (line != "}")
            {
                this->lines.push_back(line);
                return;
            }
            inBlock = false;
            if (key != "")
            {
                texts[key] = this->lines.joined("\n");
            }
            return;
        }
        if (line == "{")
        {
            inBlock = true;
            this->lines.clear();
            return;
        }
        int comment = line.find('#');
        key = (comment >= 0 ? line.subString(0, comment) : line).trimmed(' ');
    }
} // namespace tesraui
