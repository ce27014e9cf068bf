#include <algorithm>

#include <quortypes/StreamBase.h>
#include <yim/WAV_Source.h>

namespace yim
{
    namespace
    {
        const int RIFF_HEADER_SIZE = 12;
        const int CHUNK_HEADER_SIZE = 8;
        const int FORMAT_CHUNK_SIZE = 16;
        const int PCM = 1;

        unsigned int readLittleEndian(const unsigned char* bytes, int count)
        {
            unsigned int value = 0;
            for (int i = count - 1; i >= 0; --i)
            {
                value = (value << 8) | bytes[i];
            }
            return value;
        }
    } // namespace

    WAV_Source::WAV_Source(const hstring& filename, Category* category) : Source(filename, category) {}

    WAV_Source::~WAV_Source()
    {
        this->close();
    }

    bool WAV_Source::open()
    {
        this->streamOpen = Source::open();
        if (!this->streamOpen)
        {
            return false;
        }
        this->info = SourceInfo();
        unsigned char header[RIFF_HEADER_SIZE];
        this->stream->readRaw(header, RIFF_HEADER_SIZE);
        unsigned char chunk[CHUNK_HEADER_SIZE];
        while (this->stream->readRaw(chunk, CHUNK_HEADER_SIZE) == CHUNK_HEADER_SIZE)
        {
            hstring tag((const char*)chunk, 4);
            unsigned int size = readLittleEndian(chunk + 4, 4);
            if (tag == "fmt ")
            {
                unsigned char format[FORMAT_CHUNK_SIZE];
                int read = this->stream->readRaw(format, FORMAT_CHUNK_SIZE);
                int channels = (int)readLittleEndian(format + 2, 2);
                unsigned int rate = readLittleEndian(format + 4, 4);
                int bits = (int)readLittleEndian(format + 14, 2);
                // A rate of 0 or a frame of less than a byte would divide by zero further on.
                if (size != FORMAT_CHUNK_SIZE || read != FORMAT_CHUNK_SIZE ||
                    readLittleEndian(format, 2) != PCM || rate == 0 || rate > 0x7FFFFFFF ||
                    (long long)channels * bits < 8)
                {
                    this->close();
                    this->info = SourceInfo();
                    return false;
                }
                this->info.channels = channels;
                this->info.samplingRate = (int)rate;
                this->info.bitsPerSample = bits;
                continue;
            }
            if (tag == "data")
            {
                this->info.size += this->cutToFile(size);
            }
            this->skipChunk(size);
        }
        long long bytesPerSecond =
            (long long)this->info.bitsPerSample * this->info.samplingRate * this->info.channels / 8;
        this->info.duration = bytesPerSecond > 0 ? (float)((double)this->info.size / bytesPerSecond) : 0.0f;
        this->rewind();
        return this->streamOpen;
    }

    void WAV_Source::close()
    {
        this->dataLeft = 0;
        Source::close();
    }

    void WAV_Source::rewind()
    {
        if (!this->streamOpen)
        {
            return;
        }
        this->stream->rewind();
        unsigned char header[RIFF_HEADER_SIZE];
        this->stream->readRaw(header, RIFF_HEADER_SIZE);
        this->dataLeft = 0;
        this->padAfterData = false;
        this->seekNextData();
    }

    int WAV_Source::cutToFile(unsigned long long size)
    {
        long long left = (long long)this->stream->getSize() - this->stream->getPosition();
        return (int)std::min<long long>((long long)size, std::max<long long>(left, 0));
    }

    void WAV_Source::skipChunk(unsigned int size)
    {
        // RIFF keeps every chunk at an even offset: an odd-sized body is followed by one pad byte.
        int length = this->cutToFile((unsigned long long)size + (size & 1));
        if (length > 0)
        {
            this->stream->seek(length, quortypes::SeekMode::Current);
        }
    }

    bool WAV_Source::seekNextData()
    {
        if (this->padAfterData)
        {
            this->padAfterData = false;
            if (this->cutToFile(1) > 0)
            {
                this->stream->seek(1, quortypes::SeekMode::Current);
            }
        }
        unsigned char chunk[CHUNK_HEADER_SIZE];
        while (this->stream->readRaw(chunk, CHUNK_HEADER_SIZE) == CHUNK_HEADER_SIZE)
        {
            unsigned int size = readLittleEndian(chunk + 4, 4);
            if (hstring((const char*)chunk, 4) == "data")
            {
                this->dataLeft = this->cutToFile(size);
                this->padAfterData = (size & 1) != 0;
                return true;
            }
            this->skipChunk(size);
        }
        this->dataLeft = 0;
        return false;
    }

    int WAV_Source::readData(unsigned char* output, int size)
    {
        int done = 0;
        while (done < size)
        {
            if (this->dataLeft == 0 && !this->seekNextData())
            {
                break;
            }
            if (this->dataLeft == 0)
            {
                continue;
            }
            int read = this->stream->readRaw(output + done, std::min(size - done, this->dataLeft));
            if (read <= 0)
            {
                break;
            }
            done += read;
            this->dataLeft -= read;
        }
        return done;
    }

    bool WAV_Source::load(unsigned char* output)
    {
        if (!Source::load(output))
        {
            return false;
        }
        this->readData(output, this->info.size);
        return true;
    }

    int WAV_Source::loadChunk(unsigned char* output, int size)
    {
        if (Source::loadChunk(output, size) == 0 || size < 1)
        {
            return 0;
        }
        return this->readData(output, size);
    }
} // namespace yim
