#pragma once

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include <ogg/ogg.h>
#include <vorbis/vorbisenc.h>

// Encodes a signal with libvorbisenc into OGG pages, for the tests, benchmarks and tools of the audio and
// video libraries.
namespace yim_testing
{
    // A sample of a frame's channel, from -1 to 1.
    typedef std::function<float(int frame, int channel)> Signal;

    inline void appendPage(std::string& bytes, const ogg_page& page)
    {
        bytes.append((const char*)page.header, page.header_len);
        bytes.append((const char*)page.body, page.body_len);
    }

    // The pages of a whole Vorbis stream: the first header alone on the stream's first page, the other two
    // on the pages after it, then the audio, the last page ending the stream. Empty when the encoder takes
    // neither the channels nor the rate.
    inline std::vector<std::string> vorbisPages(int channels, int rate, int frames, float quality, int serial,
                                                const Signal& signal)
    {
        std::vector<std::string> pages;
        vorbis_info info;
        vorbis_info_init(&info);
        if (vorbis_encode_init_vbr(&info, channels, rate, quality) != 0)
        {
            vorbis_info_clear(&info);
            return pages;
        }
        vorbis_comment comment;
        vorbis_comment_init(&comment);
        vorbis_dsp_state dsp;
        vorbis_block block;
        vorbis_analysis_init(&dsp, &info);
        vorbis_block_init(&dsp, &block);
        ogg_stream_state stream;
        ogg_stream_init(&stream, serial);
        ogg_page page;
        ogg_packet header, commentHeader, codeHeader;
        vorbis_analysis_headerout(&dsp, &comment, &header, &commentHeader, &codeHeader);
        auto addPage = [&pages](const ogg_page& page)
        {
            pages.emplace_back();
            appendPage(pages.back(), page);
        };
        ogg_stream_packetin(&stream, &header);
        while (ogg_stream_flush(&stream, &page) != 0)
        {
            addPage(page);
        }
        ogg_stream_packetin(&stream, &commentHeader);
        ogg_stream_packetin(&stream, &codeHeader);
        while (ogg_stream_flush(&stream, &page) != 0)
        {
            addPage(page);
        }
        const int step = 1024;
        // The last round writes nothing, which ends the stream.
        for (int start = 0; start < frames + step; start += step)
        {
            int count = std::max(0, std::min(step, frames - start));
            if (count > 0)
            {
                float** input = vorbis_analysis_buffer(&dsp, count);
                for (int i = 0; i < count; ++i)
                {
                    for (int c = 0; c < channels; ++c)
                    {
                        input[c][i] = signal(start + i, c);
                    }
                }
            }
            vorbis_analysis_wrote(&dsp, count);
            while (vorbis_analysis_blockout(&dsp, &block) == 1)
            {
                vorbis_analysis(&block, nullptr);
                vorbis_bitrate_addblock(&block);
                ogg_packet packet;
                while (vorbis_bitrate_flushpacket(&dsp, &packet))
                {
                    ogg_stream_packetin(&stream, &packet);
                    while (ogg_stream_pageout(&stream, &page) != 0)
                    {
                        addPage(page);
                    }
                }
            }
            if (count == 0)
            {
                break;
            }
        }
        while (ogg_stream_flush(&stream, &page) != 0)
        {
            addPage(page);
        }
        ogg_stream_clear(&stream);
        vorbis_block_clear(&block);
        vorbis_dsp_clear(&dsp);
        vorbis_comment_clear(&comment);
        vorbis_info_clear(&info);
        return pages;
    }

    // The bytes of an OGG Vorbis file of the signal; empty when the encoder refuses the format.
    inline std::string encodeOgg(int channels, int rate, int frames, const Signal& signal)
    {
        std::string bytes;
        for (const std::string& page : vorbisPages(channels, rate, frames, 0.4f, 1, signal))
        {
            bytes += page;
        }
        return bytes;
    }
} // namespace yim_testing
