#include <algorithm>
#include <cstring>

#include <quortypes/Log.h>
#include <quortypes/Resource.h>
#include <yim/AudioManager.h>
#include <yim/Buffer.h>
#include <yim/Category.h>
#include <yim/Sound.h>
#include <yim/Source.h>
#include <yim/yim.h>

namespace yim
{
    Buffer::Buffer(Sound* sound)
        : filename(sound->getRealFilename()), mode(sound->getCategory()->getBufferMode()),
          format(Sound::formatOf(sound->getRealFilename()))
    {
        if (quortypes::Resource::exists(this->filename))
        {
            try
            {
                this->fileSize = quortypes::Resource::sizeOf(this->filename);
            }
            catch (quortypes::exception&)
            {
                this->fileSize = 0;
            }
        }
        this->source = manager->_createSource(this->filename, sound->getCategory(), this->format);
        if (manager->isEnabled() && this->format != Format::UNKNOWN && this->mode == BufferMode::ON_CREATION)
        {
            this->prepare();
        }
    }

    Buffer::~Buffer()
    {
        this->freeData();
    }

    bool Buffer::isStreamed() const
    {
        return this->mode == BufferMode::STREAMED;
    }

    void Buffer::readInfo()
    {
        if (this->infoRead)
        {
            return;
        }
        bool opened = false;
        if (!this->source->isOpen())
        {
            opened = this->source->open();
        }
        this->info = this->source->getInfo();
        this->infoRead = true;
        if (opened)
        {
            this->source->close();
        }
    }

    int Buffer::getSize()
    {
        this->readInfo();
        return this->info.size;
    }

    int Buffer::getChannels()
    {
        this->readInfo();
        return this->info.channels;
    }

    int Buffer::getSamplingRate()
    {
        this->readInfo();
        return this->info.samplingRate;
    }

    int Buffer::getBitsPerSample()
    {
        this->readInfo();
        return this->info.bitsPerSample;
    }

    float Buffer::getDuration()
    {
        this->readInfo();
        return this->info.duration;
    }

    void Buffer::prepare()
    {
        if (this->loaded)
        {
            return;
        }
        if (!manager->isEnabled())
        {
            this->loaded = true;
            return;
        }
        if (this->mode != BufferMode::STREAMED)
        {
            this->loaded = true;
            this->source->open();
            this->info = this->source->getInfo();
            this->infoRead = true;
            if (this->data == nullptr)
            {
                this->dataCapacity = this->dataSize = this->info.size;
                this->data = std::make_unique<unsigned char[]>(std::max(this->dataCapacity, 1));
            }
            this->source->load(this->data.get());
            this->source->close();
            this->dataSize =
                manager->_convertStream(this, this->data.get(), this->dataCapacity, this->dataSize);
            return;
        }
        if (!this->source->isOpen())
        {
            this->source->open();
            this->info = this->source->getInfo();
            this->infoRead = true;
        }
    }

    int Buffer::load(bool looping, int count)
    {
        this->idleTime = 0.0f;
        if (!manager->isEnabled())
        {
            return 0;
        }
        if (this->mode != BufferMode::STREAMED || !this->source->isOpen())
        {
            return this->dataSize;
        }
        if (this->data == nullptr)
        {
            // Left unzeroed: every load writes what it hands on.
            this->data.reset(new unsigned char[STREAM_SIZE]);
            this->dataCapacity = this->dataSize = STREAM_SIZE;
        }
        count = std::min(std::max(count, 0), this->dataCapacity);
        // A stream of less than one sample frame holds nothing to hear: looped, it would be rewound and
        // read again for every byte of the buffer. It plays silence.
        const long long frameBytes = (long long)this->info.channels * this->info.bitsPerSample / 8;
        const bool empty = (long long)this->info.size < std::max(frameBytes, 1LL);
        this->dataSize = (empty ? 0 : this->source->loadChunk(this->data.get(), count));
        if (looping && !empty)
        {
            while (this->dataSize < count)
            {
                this->source->rewind();
                const int start = this->dataSize;
                int more = this->source->loadChunk(this->data.get() + start, count - start);
                if (more <= 0)
                {
                    // An empty or broken file would otherwise be rewound for ever.
                    break;
                }
                this->dataSize += more;
                if (this->dataSize < count)
                {
                    this->repeatPass(start, more, count);
                }
            }
        }
        if (this->dataSize < count)
        {
            memset(this->data.get() + this->dataSize, this->silenceByte(), count - this->dataSize);
        }
        this->dataSize = manager->_convertStream(this, this->data.get(), this->dataCapacity, this->dataSize);
        return this->dataSize;
    }

    void Buffer::repeatPass(int start, int length, int count)
    {
        // Every later pass brings the same bytes: a stream of a few bytes read pass by pass would be rewound
        // for each few bytes of the buffer.
        unsigned char* bytes = this->data.get();
        while (this->dataSize < count)
        {
            const int piece = std::min(length, count - this->dataSize);
            memcpy(bytes + this->dataSize, bytes + start, piece);
            this->dataSize += piece;
        }
        // The source stands where reading the passes would have left it, for the next load.
        const int partial = (count - start) % length;
        if (partial > 0)
        {
            this->source->rewind();
            this->source->loadChunk(bytes + count - partial, partial);
        }
    }

    void Buffer::bind(Player* player, bool)
    {
        if (std::find(this->boundPlayers.begin(), this->boundPlayers.end(), player) ==
            this->boundPlayers.end())
        {
            this->boundPlayers.push_back(player);
        }
    }

    void Buffer::release(Player* player, bool paused)
    {
        if (!paused)
        {
            this->boundPlayers.removeAll(player);
        }
        if ((this->boundPlayers.empty() && this->mode == BufferMode::ON_DEMAND) ||
            this->mode == BufferMode::STREAMED)
        {
            this->freeData();
            this->loaded = false;
        }
        if (this->boundPlayers.empty() && this->mode == BufferMode::STREAMED)
        {
            this->source->close();
            this->loaded = false;
        }
    }

    bool Buffer::tryClearMemory()
    {
        if (this->mode != BufferMode::MANAGED || !this->boundPlayers.empty() || !this->loaded)
        {
            return false;
        }
        quortypes::Log::debug(logTag, "Clearing memory for: " + this->filename);
        this->freeData();
        this->source->close();
        this->loaded = false;
        return true;
    }

    void Buffer::update(float timeDelta)
    {
        this->idleTime += timeDelta;
        if (this->idleTime >= manager->getIdleClearTime())
        {
            this->tryClearMemory();
        }
    }

    void Buffer::freeData()
    {
        this->data.reset();
        this->dataCapacity = this->dataSize = 0;
    }

    unsigned char Buffer::silenceByte() const
    {
        // 8-bit samples are unsigned: their silence is the middle value.
        return this->info.bitsPerSample == 8 ? 0x80 : 0;
    }
} // namespace yim
