#include <memory>

#include <quortypes/Log.h>
#include <quortypes/Resource.h>
#include <quortypes/Stream.h>
#include <quortypes/exception.h>
#include <yim/Category.h>
#include <yim/Source.h>
#include <yim/yim.h>

namespace yim
{
    Source::Source(const hstring& filename, Category* category)
        : filename(filename), sourceMode(category != nullptr ? category->getSourceMode() : SourceMode::DISK)
    {
    }

    Source::~Source() = default;

    bool Source::open()
    {
        // A copy in memory needs the file no more.
        bool inMemory = this->stream != nullptr && this->sourceMode == SourceMode::RAM;
        if (!inMemory && !quortypes::Resource::exists(this->filename))
        {
            quortypes::Log::error(logTag, "Unable to open: " + this->filename);
            return false;
        }
        if (this->stream == nullptr)
        {
            std::unique_ptr<quortypes::Resource> resource;
            try
            {
                resource = std::make_unique<quortypes::Resource>(this->filename);
            }
            catch (quortypes::exception&)
            {
                quortypes::Log::error(logTag, "Unable to open: " + this->filename);
                return false;
            }
            if (this->sourceMode != SourceMode::RAM)
            {
                this->stream = std::move(resource);
                return true;
            }
            auto memory = std::make_unique<quortypes::Stream>();
            memory->writeStream(*resource);
            resource.reset();
            this->stream = std::move(memory);
        }
        this->stream->rewind();
        return true;
    }

    void Source::close()
    {
        if (this->streamOpen)
        {
            if (this->sourceMode != SourceMode::RAM)
            {
                this->stream.reset();
            }
            this->streamOpen = false;
        }
    }

    void Source::rewind()
    {
        if (this->streamOpen)
        {
            this->stream->rewind();
        }
    }

    bool Source::load(unsigned char*)
    {
        quortypes::Log::write(logTag, "Loading file: " + this->filename);
        if (!this->streamOpen)
        {
            quortypes::Log::error(logTag, "File not open: " + this->filename);
            return false;
        }
        return true;
    }

    int Source::loadChunk(unsigned char*, int)
    {
        if (!this->streamOpen)
        {
            quortypes::Log::error(logTag, "File not open: " + this->filename);
            return 0;
        }
        return 1;
    }
} // namespace yim
