#pragma once

#include <kavtypes/Vector2.h>
#include <quortypes/harray.h>

namespace tesra
{

    class TouchDelegate
    {
    public:
        virtual ~TouchDelegate() = default;
        // The fingers that are down now.
        virtual void onTouch(const harray<kavtypes::Vector2>& touches);
    };

} // namespace tesra
