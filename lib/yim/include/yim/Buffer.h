#pragma once

#include <memory>

#include <quortypes/harray.h>
#include <quortypes/hstring.h>
#include <yim/Category.h>
#include <yim/Sound.h>

namespace yim
{
    class Player;
    class Sound;
    class Source;

    // What a source has read about its file: bytes of decoded PCM and its layout.
    struct SourceInfo
    {
        int size = 0;
        int channels = 2;
        int samplingRate = 44100;
        int bitsPerSample = 16;
        float duration = 0.0f;
    };

    // The decoded data of a sound (or of one player of a streamed sound). How long they stay decoded
    // follows the category's buffer mode. Used only under the manager's lock.
    class Buffer
    {
    public:
        // Bytes of stream memory a streamed buffer holds.
        static const int STREAM_SIZE = 0x40000;

        explicit Buffer(Sound* sound);
        ~Buffer();
        Buffer(const Buffer&) = delete;
        Buffer& operator=(const Buffer&) = delete;

        const hstring& getFilename() const { return this->filename; }
        int getFileSize() const { return this->fileSize; }
        BufferMode getMode() const { return this->mode; }
        Format getFormat() const { return this->format; }
        bool isLoaded() const { return this->loaded; }
        bool isStreamed() const;
        unsigned char* getData() const { return this->data.get(); }
        int getDataSize() const { return this->dataSize; }
        Source* getSource() const { return this->source.get(); }
        float getIdleTime() const { return this->idleTime; }
        void setIdleTime(float value) { this->idleTime = value; }
        const harray<Player*>& getBoundPlayers() const { return this->boundPlayers; }

        int getSize();
        int getChannels();
        int getSamplingRate();
        int getBitsPerSample();
        float getDuration();

        // Makes the data ready to play: decodes the whole file, or opens the stream.
        void prepare();
        // Streams the next count bytes into the data; returns the bytes now there (the rest of count is
        // silence when a non-looping stream ended).
        int load(bool looping, int count);
        void bind(Player* player, bool paused);
        void release(Player* player, bool paused);
        bool tryClearMemory();
        void update(float timeDelta);

    protected:
        hstring filename;
        int fileSize = 0;
        BufferMode mode;
        Format format;
        bool loaded = false;
        std::unique_ptr<unsigned char[]> data;
        int dataCapacity = 0;
        int dataSize = 0;
        std::unique_ptr<Source> source;
        bool infoRead = false;
        SourceInfo info;
        harray<Player*> boundPlayers;
        float idleTime = 0.0f;

        void readInfo();
        // Fills the data up to count with copies of the whole stream's one pass, read at start with its
        // length, as looping would read it again and again.
        void repeatPass(int start, int length, int count);
        void freeData();
        // The byte value of silence in this buffer's sample format.
        unsigned char silenceByte() const;
    };
} // namespace yim
