#pragma once

#include <quortypes/hstring.h>

namespace yim
{
    class Buffer;
    class Category;

    enum class Format
    {
        FLAC = 0,
        OGG = 2,
        WAV = 4,
        UNKNOWN = 5
    };

    // A named audio file. A ".xln" link file stands for the file its text names, relative to the link's
    // folder.
    class Sound
    {
    public:
        Sound(const hstring& filename, Category* category, const hstring& prefix = "");
        ~Sound();
        Sound(const Sound&) = delete;
        Sound& operator=(const Sound&) = delete;

        const hstring& getName() const { return this->name; }
        const hstring& getFilename() const { return this->filename; }
        const hstring& getRealFilename() const { return this->realFilename; }
        Category* getCategory() const { return this->category; }
        Buffer* getBuffer() const { return this->buffer; }
        Format getFormat() const;
        int getSize() const;
        bool isStreamed() const;

        // The format a file name's extension stands for.
        static Format formatOf(const hstring& filename);
        // The name without the extension of its last path segment.
        static hstring withoutExtension(const hstring& filename);

    protected:
        hstring name;
        hstring filename;
        hstring realFilename;
        Category* category;
        Buffer* buffer;

        static hstring resolveLink(const hstring& filename);
    };
} // namespace yim
