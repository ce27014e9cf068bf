#include <libyuv.h>
#include <theora/theoradec.h>

#include "VideoTestSupport.h"

using namespace videotest;

namespace
{
    struct Planes
    {
        int width = 0;
        int height = 0;
        std::vector<unsigned char> y, u, v;
    };

    // The first frame of an Ogg Theora file, decoded here without the library.
    Planes decodeFirstFrame(const std::string& bytes)
    {
        Planes planes;
        ogg_sync_state sync;
        ogg_sync_init(&sync);
        char* buffer = ogg_sync_buffer(&sync, (long)bytes.size());
        memcpy(buffer, bytes.data(), bytes.size());
        ogg_sync_wrote(&sync, (long)bytes.size());
        th_info info;
        th_comment comment;
        th_setup_info* setup = nullptr;
        th_info_init(&info);
        th_comment_init(&comment);
        ogg_stream_state stream;
        ogg_stream_init(&stream, 11);
        th_dec_ctx* decoder = nullptr;
        ogg_page page;
        while (ogg_sync_pageout(&sync, &page) > 0 && planes.width == 0)
        {
            if (ogg_page_serialno(&page) != 11)
            {
                continue;
            }
            ogg_stream_pagein(&stream, &page);
            ogg_packet packet;
            while (ogg_stream_packetout(&stream, &packet) > 0)
            {
                if (decoder == nullptr)
                {
                    if (th_decode_headerin(&info, &comment, &setup, &packet) > 0)
                    {
                        continue;
                    }
                    decoder = th_decode_alloc(&info, setup);
                }
                th_decode_packetin(decoder, &packet, nullptr);
                th_ycbcr_buffer out;
                th_decode_ycbcr_out(decoder, out);
                planes.width = out[0].width;
                planes.height = out[0].height;
                for (int row = 0; row < out[0].height; ++row)
                {
                    planes.y.insert(planes.y.end(), out[0].data + row * out[0].stride,
                                    out[0].data + row * out[0].stride + out[0].width);
                }
                for (int row = 0; row < out[1].height; ++row)
                {
                    planes.u.insert(planes.u.end(), out[1].data + row * out[1].stride,
                                    out[1].data + row * out[1].stride + out[1].width);
                    planes.v.insert(planes.v.end(), out[2].data + row * out[2].stride,
                                    out[2].data + row * out[2].stride + out[2].width);
                }
                break;
            }
        }
        th_decode_free(decoder);
        th_setup_free(setup);
        th_comment_clear(&comment);
        th_info_clear(&info);
        ogg_stream_clear(&stream);
        ogg_sync_clear(&sync);
        return planes;
    }

    int expectedAlpha(int luma)
    {
        return luma <= 16 ? 0 : luma >= 235 ? 255 : (luma - 16) * 255 / 219;
    }
} // namespace

// Every mode against colours made here: R, G and B from libyuv's plain RGB conversion of the same
// planes, Y, U and V from the planes, A from the luma of the right half, X not compared.
TEST(ModesTest, EveryModeWritesItsByteOrder)
{
    LogCapture log;
    VideoPlan plan;
    plan.alpha = true;
    plan.frames = 2;
    const std::string& bytes = video(plan);
    Planes planes = decodeFirstFrame(bytes);
    ASSERT_EQ(128, planes.width);
    int chromaStride = planes.width / 2;
    std::vector<unsigned char> rgb(planes.width * planes.height * 3);
    libyuv::I420ToRAW(planes.y.data(), planes.width, planes.u.data(), chromaStride, planes.v.data(),
                      chromaStride, rgb.data(), planes.width * 3, planes.width, planes.height);
    const char* orders[] = {"",     "RGB",  "RGBA", "RGBX", "ARGB", "XRGB", "BGR",  "BGRA",
                            "BGRX", "ABGR", "XBGR", "Y",    "YYY",  "YYYA", "YYYX", "AYYY",
                            "XYYY", "YUV",  "YUVA", "YUVX", "AYUV", "XYUV"};
    bool sawTransparent = false, sawOpaque = false, sawMiddle = false;
    for (int mode = 1; mode <= 21; ++mode)
    {
        std::string order = orders[mode];
        bool alpha = order.find('A') != std::string::npos;
        EXPECT_EQ(alpha, theoraIsAlphaMode(mode)) << mode;
        EXPECT_EQ((int)order.size(), theoraBytesPerPixel(mode)) << mode;
        std::unique_ptr<TheoraVideoClip_Theora> clip = manualClip(plan, mode, 2);
        clip->decodeNextFrame();
        TheoraVideoFrame* frame = clip->getNextFrame();
        ASSERT_NE(nullptr, frame);
        int width = alpha ? 64 : 128;
        ASSERT_EQ(width, clip->getWidth());
        int bpp = (int)order.size();
        int mismatches = 0;
        for (int row = 0; row < planes.height; ++row)
        {
            for (int column = 0; column < width; ++column)
            {
                const unsigned char* pixel = frame->getBuffer() + (row * width + column) * bpp;
                const unsigned char* colour = &rgb[(row * planes.width + column) * 3];
                int luma = planes.y[row * planes.width + column];
                int chroma = (row / 2) * chromaStride + column / 2;
                for (int i = 0; i < bpp; ++i)
                {
                    int expected = -1;
                    switch (order[i])
                    {
                    case 'R':
                        expected = colour[0];
                        break;
                    case 'G':
                        expected = colour[1];
                        break;
                    case 'B':
                        expected = colour[2];
                        break;
                    case 'Y':
                        expected = luma;
                        break;
                    case 'U':
                        expected = planes.u[chroma];
                        break;
                    case 'V':
                        expected = planes.v[chroma];
                        break;
                    case 'A':
                        expected = expectedAlpha(planes.y[row * planes.width + 64 + column]);
                        break;
                    }
                    if (expected >= 0 && pixel[i] != expected && ++mismatches < 4)
                    {
                        ADD_FAILURE() << "mode " << mode << " at " << column << "," << row << " byte " << i
                                      << ": " << (int)pixel[i] << " != " << expected;
                    }
                    if (order[i] == 'A')
                    {
                        sawTransparent |= pixel[i] == 0;
                        sawOpaque |= pixel[i] == 255;
                        sawMiddle |= pixel[i] > 0 && pixel[i] < 255;
                    }
                }
            }
        }
    }
    EXPECT_TRUE(sawTransparent && sawOpaque && sawMiddle);
}

TEST(ModesTest, AlphaVideoReportsHalfItsWidthAndAlphaFromTheRightHalf)
{
    LogCapture log;
    VideoPlan plan;
    plan.alpha = true;
    plan.frames = 2;
    std::unique_ptr<TheoraVideoClip_Theora> clip = manualClip(plan, TH_BGRA, 2);
    EXPECT_EQ(64, clip->getWidth());
    EXPECT_EQ(64, clip->getSubFrameWidth());
    EXPECT_EQ(48, clip->getSubFrameHeight());
    EXPECT_EQ(0, clip->getSubFrameOffsetX());
    EXPECT_EQ(0, clip->getSubFrameOffsetY());
    clip->decodeNextFrame();
    TheoraVideoFrame* frame = clip->getNextFrame();
    ASSERT_NE(nullptr, frame);
    const unsigned char* row = frame->getBuffer() + 20 * 64 * 4;
    // Bands of luma 16, 125 and 235 across the right half, each about 21 pixels wide.
    EXPECT_EQ(0, row[5 * 4 + 3]);
    EXPECT_NEAR(126, row[32 * 4 + 3], 3);
    EXPECT_EQ(255, row[60 * 4 + 3]);
    EXPECT_EQ(0, frameNumber(clip.get(), frame));
}
