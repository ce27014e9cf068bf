#pragma once

namespace tesra
{

    class UpdateDelegate
    {
    public:
        virtual ~UpdateDelegate() = default;
        // Runs one frame; answering false ends the main loop after this frame.
        virtual bool onUpdate(float timeDelta);
    };

} // namespace tesra
