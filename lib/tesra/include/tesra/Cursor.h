#pragma once

#include <quortypes/hstring.h>

namespace tesra
{

    class Cursor
    {
    public:
        Cursor() = default;
        virtual ~Cursor() = default;
        Cursor(const Cursor&) = delete;
        Cursor& operator=(const Cursor&) = delete;

        const hstring& getFilename() const { return filename; }
        virtual bool load(const hstring& filename);

    protected:
        hstring filename;
    };

} // namespace tesra
