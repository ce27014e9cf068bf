#pragma once

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include <ogg/ogg.h>
#include <theora/theoraenc.h>
#include <yim_testing/OggWriter.h>

// Makes .ogv files for the tests. Every frame shows its number as 12 blocks of 16 x 16 pixels (4 across,
// 3 down, lowest bit first), bright and pinkish for a 1, dark and greenish for a 0.
struct VideoPlan
{
    int width = 64; // picture width; an alpha video is twice as wide
    int height = 48;
    int frames = 40;
    int fps = 25;
    int keyframeInterval = 16;
    bool alpha = false; // right half: luma 16, 125 and 235 in three bands
    bool withVorbis = false;
    bool pagePerFrame = true;
};

namespace videotest
{
    const int blockBits = 12;

    inline bool bitBlock(int x, int y, int frame)
    {
        int bit = (y / 16) * 4 + (x / 16);
        return bit < blockBits && ((frame >> bit) & 1) != 0;
    }

    // Reads the number back from a row-major picture: channel is the byte to look at in each pixel.
    inline int readFrameNumber(const unsigned char* pixels, int rowBytes, int bytesPerPixel, int channel)
    {
        int number = 0;
        for (int bit = 0; bit < blockBits; ++bit)
        {
            int x = (bit % 4) * 16 + 8;
            int y = (bit / 4) * 16 + 8;
            if (pixels[y * rowBytes + x * bytesPerPixel + channel] > 128)
            {
                number |= 1 << bit;
            }
        }
        return number;
    }

    using yim_testing::appendPage;

    // A quiet mono saw tooth of that many seconds: the pages of a Vorbis stream to put beside a picture's.
    inline std::vector<std::string> vorbisPages(int seconds)
    {
        return yim_testing::vorbisPages(1, 22050, seconds * 22050, 0.2f, 77,
                                        [](int frame, int) { return 0.1f * (float)(frame % 50) / 50.0f; });
    }

    // Fills the three 4:2:0 planes of one frame; the chroma planes are half the picture each way.
    typedef std::function<void(int frame, unsigned char* y, unsigned char* u, unsigned char* v)> PlaneFiller;

    // A Theora stream of `frames` pictures of width x height (multiples of 16), each filled by `fill`: the
    // bytes of an .ogv file. `fastest` asks the encoder for its quickest setting.
    inline std::string encodeTheora(int width, int height, int fps, int quality, int frames, int serial,
                                    bool fastest, const PlaneFiller& fill)
    {
        th_info info;
        th_info_init(&info);
        info.frame_width = width;
        info.frame_height = height;
        info.pic_width = width;
        info.pic_height = height;
        info.fps_numerator = fps;
        info.fps_denominator = 1;
        info.aspect_numerator = 1;
        info.aspect_denominator = 1;
        info.colorspace = TH_CS_UNSPECIFIED;
        info.pixel_fmt = TH_PF_420;
        info.quality = quality;
        info.keyframe_granule_shift = 6;
        th_enc_ctx* encoder = th_encode_alloc(&info);
        if (fastest)
        {
            int level = 0;
            th_encode_ctl(encoder, TH_ENCCTL_GET_SPLEVEL_MAX, &level, sizeof(level));
            th_encode_ctl(encoder, TH_ENCCTL_SET_SPLEVEL, &level, sizeof(level));
        }
        th_comment comment;
        th_comment_init(&comment);
        ogg_stream_state stream;
        ogg_stream_init(&stream, serial);
        std::string bytes;
        ogg_packet packet;
        ogg_page page;
        bool first = true;
        while (th_encode_flushheader(encoder, &comment, &packet) > 0)
        {
            ogg_stream_packetin(&stream, &packet);
            if (first)
            {
                // The beginning page stands alone.
                ogg_stream_flush(&stream, &page);
                appendPage(bytes, page);
                first = false;
            }
        }
        while (ogg_stream_flush(&stream, &page) != 0)
        {
            appendPage(bytes, page);
        }
        std::vector<unsigned char> y(width * height), u(width * height / 4), v(width * height / 4);
        for (int frame = 0; frame < frames; ++frame)
        {
            fill(frame, y.data(), u.data(), v.data());
            th_ycbcr_buffer planes;
            planes[0] = {width, height, width, y.data()};
            planes[1] = {width / 2, height / 2, width / 2, u.data()};
            planes[2] = {width / 2, height / 2, width / 2, v.data()};
            th_encode_ycbcr_in(encoder, planes);
            while (th_encode_packetout(encoder, frame == frames - 1, &packet) > 0)
            {
                ogg_stream_packetin(&stream, &packet);
            }
            while (ogg_stream_pageout(&stream, &page) != 0)
            {
                appendPage(bytes, page);
            }
        }
        while (ogg_stream_flush(&stream, &page) != 0)
        {
            appendPage(bytes, page);
        }
        ogg_stream_clear(&stream);
        th_comment_clear(&comment);
        th_encode_free(encoder);
        th_info_clear(&info);
        return bytes;
    }

    inline std::string encodeVideo(const VideoPlan& plan)
    {
        int width = plan.alpha ? plan.width * 2 : plan.width;
        th_info info;
        th_info_init(&info);
        info.frame_width = (width + 15) & ~15;
        info.frame_height = (plan.height + 15) & ~15;
        info.pic_width = width;
        info.pic_height = plan.height;
        info.fps_numerator = plan.fps;
        info.fps_denominator = 1;
        info.aspect_numerator = 1;
        info.aspect_denominator = 1;
        info.colorspace = TH_CS_UNSPECIFIED;
        info.pixel_fmt = TH_PF_420;
        info.quality = 56;
        info.keyframe_granule_shift = 6;
        th_enc_ctx* encoder = th_encode_alloc(&info);
        ogg_uint32_t keyframes = plan.keyframeInterval;
        th_encode_ctl(encoder, TH_ENCCTL_SET_KEYFRAME_FREQUENCY_FORCE, &keyframes, sizeof(keyframes));
        th_comment comment;
        th_comment_init(&comment);
        ogg_stream_state stream;
        ogg_stream_init(&stream, 11);
        std::string bytes;
        std::vector<std::string> audio;
        if (plan.withVorbis)
        {
            audio = vorbisPages(plan.frames / plan.fps + 1);
        }
        size_t nextAudio = 0;
        ogg_packet packet;
        ogg_page page;
        bool first = true;
        while (th_encode_flushheader(encoder, &comment, &packet) > 0)
        {
            ogg_stream_packetin(&stream, &packet);
            if (first)
            {
                // Both beginning pages come before any other page.
                ogg_stream_flush(&stream, &page);
                appendPage(bytes, page);
                if (!audio.empty())
                {
                    bytes += audio[nextAudio++];
                }
                first = false;
            }
        }
        while (ogg_stream_flush(&stream, &page) != 0)
        {
            appendPage(bytes, page);
        }
        int w = info.frame_width, h = info.frame_height;
        std::vector<unsigned char> y(w * h), u(w * h / 4), v(w * h / 4);
        for (int frame = 0; frame < plan.frames; ++frame)
        {
            for (int row = 0; row < h; ++row)
            {
                for (int column = 0; column < w; ++column)
                {
                    unsigned char luma;
                    if (column < plan.width || !plan.alpha)
                    {
                        luma = bitBlock(column, row, frame) ? 210 : 40;
                    }
                    else
                    {
                        int band = (column - plan.width) * 3 / plan.width;
                        luma = (band == 0 ? 16 : band == 1 ? 125 : 235);
                    }
                    y[row * w + column] = luma;
                }
            }
            for (int row = 0; row < h / 2; ++row)
            {
                for (int column = 0; column < w / 2; ++column)
                {
                    bool on = column * 2 < plan.width && bitBlock(column * 2, row * 2, frame);
                    u[row * (w / 2) + column] = on ? 150 : 110;
                    v[row * (w / 2) + column] = on ? 170 : 100;
                }
            }
            th_ycbcr_buffer planes;
            planes[0] = {w, h, w, y.data()};
            planes[1] = {w / 2, h / 2, w / 2, u.data()};
            planes[2] = {w / 2, h / 2, w / 2, v.data()};
            th_encode_ycbcr_in(encoder, planes);
            while (th_encode_packetout(encoder, frame == plan.frames - 1, &packet) > 0)
            {
                ogg_stream_packetin(&stream, &packet);
            }
            if (plan.pagePerFrame)
            {
                while (ogg_stream_flush(&stream, &page) != 0)
                {
                    appendPage(bytes, page);
                }
            }
            else
            {
                while (ogg_stream_pageout(&stream, &page) != 0)
                {
                    appendPage(bytes, page);
                }
            }
            if (nextAudio < audio.size() && frame % 2 == 0)
            {
                bytes += audio[nextAudio++];
            }
        }
        while (ogg_stream_flush(&stream, &page) != 0)
        {
            appendPage(bytes, page);
        }
        while (nextAudio < audio.size())
        {
            bytes += audio[nextAudio++];
        }
        ogg_stream_clear(&stream);
        th_comment_clear(&comment);
        th_encode_free(encoder);
        th_info_clear(&info);
        return bytes;
    }
} // namespace videotest
