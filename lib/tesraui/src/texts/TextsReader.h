#pragma once

#include <quortypes/harray.h>
#include <quortypes/hdict.h>
#include <quortypes/hstring.h>

namespace tesraui
{
    // Reads texts files into a table of key to text. One reader serves a whole folder: a block left open
    // at the end of a file goes on in the next one, and the last key line stays current.
    class TextsReader
    {
    public:
        explicit TextsReader(hdict<hstring>& texts) : texts(texts) {}

        // Every file of the folder, in name order, so that the file winning a duplicate key does not depend
        // on how the file system happens to list them.
        void readFolder(const hstring& folder);
        void readText(const hstring& data);

    protected:
        hdict<hstring>& texts;
        hstring key;
        bool inBlock = false;
        harray<hstring> lines;

        void _readLine(const hstring& line);
    };
} // namespace tesraui
