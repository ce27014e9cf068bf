#pragma once

#include <atomic>

#include <quortypes/hstring.h>

namespace yim
{
    // Buffer modes: how long decoded data stay (see Buffer).
    enum class BufferMode
    {
        ON_CREATION = 0,
        ON_PLAY = 1,
        MANAGED = 2,
        ON_DEMAND = 3,
        STREAMED = 4
    };

    // Source modes: 0 reads the file each time it is opened, 1 keeps a copy of the file in memory.
    enum class SourceMode
    {
        DISK = 0,
        RAM = 1
    };

    class Category
    {
    public:
        Category(const hstring& name, BufferMode bufferMode, SourceMode sourceMode);

        const hstring& getName() const { return this->name; }
        float getGain() const { return this->gain.load(); }
        // Unclamped; every player recomputes its gain.
        void setGain(float value);
        BufferMode getBufferMode() const { return this->bufferMode; }
        SourceMode getSourceMode() const { return this->sourceMode; }
        bool isStreamed() const { return this->bufferMode == BufferMode::STREAMED; }

    protected:
        hstring name;
        // Read by the main thread without the manager's lock.
        std::atomic<float> gain;
        BufferMode bufferMode;
        SourceMode sourceMode;
    };
} // namespace yim
