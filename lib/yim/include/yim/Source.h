#pragma once

#include <memory>

#include <quortypes/hstring.h>
#include <yim/Buffer.h>

namespace quortypes
{
    class StreamBase;
}

namespace yim
{
    class Category;

    // Reads one audio file and delivers PCM bytes: the whole file, or successive chunks. The plain
    // source reads no format and delivers nothing.
    class Source
    {
    public:
        Source(const hstring& filename, Category* category);
        virtual ~Source();
        Source(const Source&) = delete;
        Source& operator=(const Source&) = delete;

        const hstring& getFilename() const { return this->filename; }
        SourceMode getSourceMode() const { return this->sourceMode; }
        bool isOpen() const { return this->streamOpen; }
        const SourceInfo& getInfo() const { return this->info; }
        int getSize() const { return this->info.size; }
        int getChannels() const { return this->info.channels; }
        int getSamplingRate() const { return this->info.samplingRate; }
        int getBitsPerSample() const { return this->info.bitsPerSample; }
        float getDuration() const { return this->info.duration; }

        virtual bool open();
        virtual void close();
        virtual void rewind();
        // Reads the whole decoded file into output, which holds the info size.
        virtual bool load(unsigned char* output);
        // Reads up to size bytes; returns how many came.
        virtual int loadChunk(unsigned char* output, int size);

    protected:
        hstring filename;
        SourceMode sourceMode;
        bool streamOpen = false;
        SourceInfo info;
        std::unique_ptr<quortypes::StreamBase> stream;
    };
} // namespace yim
