#include <tesra/Cursor.h>

namespace tesra
{

    bool Cursor::load(const hstring& filename)
    {
        this->filename = filename;
        return true;
    }

} // namespace tesra
