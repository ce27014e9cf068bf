#pragma once

#include <algorithm>
#include <functional>
#include <string>

#include <vorbis/vorbisenc.h>

// Encodes frames of the signal with libvorbisenc into the bytes of an OGG file.
typedef std::function<float(int frame, int channel)> Signal;

inline std::string encodeOgg(int channels, int rate, int frames, const Signal& signal)
{
    vorbis_info info;
    vorbis_info_init(&info);
    if (vorbis_encode_init_vbr(&info, channels, rate, 0.4f) != 0)
    {
        vorbis_info_clear(&info);
        return "";
    }
    vorbis_comment comment;
    vorbis_comment_init(&comment);
    vorbis_dsp_state dsp;
    vorbis_block block;
    vorbis_analysis_init(&dsp, &info);
    vorbis_block_init(&dsp, &block);
    ogg_stream_state stream;
    ogg_stream_init(&stream, 1);
    std::string bytes;
    ogg_page page;
    ogg_packet header, commentHeader, codeHeader;
    vorbis_analysis_headerout(&dsp, &comment, &header, &commentHeader, &codeHeader);
    ogg_stream_packetin(&stream, &header);
    ogg_stream_packetin(&stream, &commentHeader);
    ogg_stream_packetin(&stream, &codeHeader);
    auto appendPage = [&bytes](const ogg_page& page)
    {
        bytes.append((const char*)page.header, page.header_len);
        bytes.append((const char*)page.body, page.body_len);
    };
    while (ogg_stream_flush(&stream, &page) != 0)
    {
        appendPage(page);
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
                    appendPage(page);
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
        appendPage(page);
    }
    ogg_stream_clear(&stream);
    vorbis_block_clear(&block);
    vorbis_dsp_clear(&dsp);
    vorbis_comment_clear(&comment);
    vorbis_info_clear(&info);
    return bytes;
}
