#include <climits>

#if defined(__x86_64__)
#include <emmintrin.h>
#endif

#include <vorbis/vorbisfile.h>

#include <quortypes/Log.h>
#include <quortypes/StreamBase.h>
#include <yim/OGG_Source.h>
#include <yim/yim.h>

namespace yim
{
    namespace
    {
        // Vorbis packets decode to at most 4096 new frames each and take at least one byte of the file, so
        // a length beyond this is a broken header, not a long sound.
        const long long MAX_FRAMES_PER_FILE_BYTE = 4096;

        size_t readCallback(void* output, size_t size, size_t count, void* datasource)
        {
            unsigned long long bytes = (unsigned long long)size * count;
            if (bytes > INT_MAX)
            {
                bytes = INT_MAX;
            }
            int read = ((quortypes::StreamBase*)datasource)->readRaw(output, (int)bytes);
            return read > 0 ? (size_t)read : 0;
        }

        int seekCallback(void* datasource, ogg_int64_t offset, int whence)
        {
            quortypes::SeekMode mode = quortypes::SeekMode::Start;
            if (whence == SEEK_CUR)
            {
                mode = quortypes::SeekMode::Current;
            }
            else if (whence == SEEK_END)
            {
                mode = quortypes::SeekMode::End;
            }
            if (offset > INT_MAX || offset < INT_MIN)
            {
                return -1;
            }
            ((quortypes::StreamBase*)datasource)->seek((int)offset, mode);
            return 0;
        }

        int closeCallback(void*)
        {
            return 0;
        }

        long tellCallback(void* datasource)
        {
            return ((quortypes::StreamBase*)datasource)->getPosition();
        }

#if defined(__x86_64__)
        // On this processor vorbisfile turns its float samples into 16 bits with the SSE2 conversion
        // (nearest, ties to even), clamped to the 16-bit range; a value the conversion cannot hold in 32
        // bits comes out as the lowest sample. These do the same, eight frames at a time, so that a
        // decode matches its own sample for sample at a fraction of its interleaving loop's cost.
        const bool convertsLikeVorbisfile = true;

        inline short toSample(float value)
        {
            int converted = _mm_cvtss_si32(_mm_set_ss(value * 32768.0f));
            return (short)(converted > 32767 ? 32767 : converted < -32768 ? -32768 : converted);
        }

        inline __m128i toSamples(const float* source)
        {
            const __m128 scale = _mm_set1_ps(32768.0f);
            __m128i low = _mm_cvtps_epi32(_mm_mul_ps(_mm_loadu_ps(source), scale));
            __m128i high = _mm_cvtps_epi32(_mm_mul_ps(_mm_loadu_ps(source + 4), scale));
            // Saturates to the 16-bit range, which is the clamp.
            return _mm_packs_epi32(low, high);
        }

        void interleave(float** pcm, int channels, long frames, short* output)
        {
            long frame = 0;
            if (channels == 1)
            {
                for (; frame + 8 <= frames; frame += 8)
                {
                    _mm_storeu_si128((__m128i*)(output + frame), toSamples(pcm[0] + frame));
                }
            }
            else if (channels == 2)
            {
                for (; frame + 8 <= frames; frame += 8)
                {
                    __m128i left = toSamples(pcm[0] + frame);
                    __m128i right = toSamples(pcm[1] + frame);
                    _mm_storeu_si128((__m128i*)(output + frame * 2), _mm_unpacklo_epi16(left, right));
                    _mm_storeu_si128((__m128i*)(output + frame * 2 + 8), _mm_unpackhi_epi16(left, right));
                }
            }
            for (; frame < frames; ++frame)
            {
                for (int channel = 0; channel < channels; ++channel)
                {
                    output[frame * channels + channel] = toSample(pcm[channel][frame]);
                }
            }
        }
#else
        const bool convertsLikeVorbisfile = false;

        void interleave(float**, int, long, short*) {}
#endif
    } // namespace

    OGG_Source::OGG_Source(const hstring& filename, Category* category) : Source(filename, category) {}

    OGG_Source::~OGG_Source()
    {
        this->close();
    }

    bool OGG_Source::open()
    {
        // Opening again starts a new decoder; the old one must not leak.
        this->close();
        this->streamOpen = Source::open();
        if (!this->streamOpen)
        {
            return false;
        }
        ov_callbacks callbacks = {readCallback, seekCallback, closeCallback, tellCallback};
        auto opened = std::make_unique<OggVorbis_File>();
        if (ov_open_callbacks(this->stream.get(), opened.get(), nullptr, 0, callbacks) != 0)
        {
            // vorbisfile has already cleared what it had made; the memory goes with opened.
            quortypes::Log::error(logTag, "OGG: error reading data! " + this->filename);
            this->close();
            return false;
        }
        this->oggStream = std::move(opened);
        OggVorbis_File* decoder = this->oggStream.get();
        vorbis_info* vorbisInfo = ov_info(decoder, -1);
        long long frames = ov_pcm_total(decoder, -1);
        long long limit = (long long)this->stream->getSize() * MAX_FRAMES_PER_FILE_BYTE;
        long long size = vorbisInfo != nullptr ? 2LL * vorbisInfo->channels * frames : -1;
        if (vorbisInfo == nullptr || vorbisInfo->channels < 1 || vorbisInfo->rate < 1 || frames < 0 ||
            frames > limit || size > INT_MAX)
        {
            quortypes::Log::error(logTag, "OGG: error reading data! " + this->filename);
            this->close();
            return false;
        }
        this->info.channels = vorbisInfo->channels;
        this->info.samplingRate = (int)vorbisInfo->rate;
        this->info.bitsPerSample = 16;
        this->info.size = (int)size;
        this->info.duration = (float)frames / this->info.samplingRate;
        ov_pcm_seek(decoder, 0);
        // Links of a chained file may differ in channels; vorbisfile's own conversion follows them.
        this->convertsFloats = convertsLikeVorbisfile && ov_streams(decoder) == 1;
        return true;
    }

    void OGG_Source::close()
    {
        if (this->oggStream != nullptr)
        {
            ov_clear(this->oggStream.get());
            this->oggStream.reset();
        }
        Source::close();
    }

    void OGG_Source::rewind()
    {
        if (this->streamOpen && this->oggStream != nullptr)
        {
            ov_pcm_seek(this->oggStream.get(), 0);
        }
    }

    int OGG_Source::decode(unsigned char* output, int size)
    {
        int remaining = size;
        const int frameBytes = 2 * this->info.channels;
        while (remaining > 0)
        {
            long read = 0;
            if (this->convertsFloats)
            {
                // Less than a frame of room is an error to vorbisfile's own reading too.
                float** pcm = nullptr;
                long frames = remaining < frameBytes
                                  ? OV_EINVAL
                                  : ov_read_float(this->oggStream.get(), &pcm, remaining / frameBytes,
                                                  &this->currentSection);
                if (frames > 0)
                {
                    interleave(pcm, this->info.channels, frames, (short*)output);
                }
                read = frames > 0 ? frames * frameBytes : frames;
            }
            else
            {
                read =
                    ov_read(this->oggStream.get(), (char*)output, remaining, 0, 2, 1, &this->currentSection);
            }
            // A negative result is a decoding error: the data end there.
            if (read <= 0)
            {
                break;
            }
            remaining -= (int)read;
            output += read;
        }
        return size - remaining;
    }

    bool OGG_Source::load(unsigned char* output)
    {
        if (!Source::load(output))
        {
            return false;
        }
        this->decode(output, this->info.size);
        return true;
    }

    int OGG_Source::loadChunk(unsigned char* output, int size)
    {
        if (Source::loadChunk(output, size) == 0 || size < 1)
        {
            return 0;
        }
        return this->decode(output, size);
    }
} // namespace yim
