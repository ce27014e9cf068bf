// Encodes the demo's short looping video: a ball bouncing over an evening sky, 128 x 96 at 25 frames a
// second for two seconds. Writes the .ogv file named by its argument.
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include <ogg/ogg.h>
#include <theora/theoraenc.h>

namespace
{
    const int width = 128;
    const int height = 96;
    const int fps = 25;
    const int frames = 50;

    void writePage(FILE* file, const ogg_page& page)
    {
        fwrite(page.header, 1, page.header_len, file);
        fwrite(page.body, 1, page.body_len, file);
    }

    // Luma and chroma of one pixel of the picture at time t (0..1 over the loop).
    void pixel(int x, int y, float t, unsigned char& luma, unsigned char& u, unsigned char& v)
    {
        float bx = 16.0f + (width - 32) * (0.5f - 0.5f * std::cos(t * 6.2831853f));
        float by = height - 20.0f - 60.0f * std::fabs(std::sin(t * 6.2831853f * 2.0f));
        float dx = x - bx;
        float dy = y - by;
        if (dx * dx + dy * dy < 100.0f)
        {
            luma = 200;
            u = 80;
            v = 170;
            return;
        }
        if (y > height - 10)
        {
            luma = 70;
            u = 110;
            v = 110;
            return;
        }
        luma = (unsigned char)(60 + y * 90 / height);
        u = (unsigned char)(150 - y * 30 / height);
        v = (unsigned char)(120 + y * 20 / height);
    }
} // namespace

int main(int argc, char** argv)
{
    if (argc != 2)
    {
        fprintf(stderr, "usage: %s output.ogv\n", argv[0]);
        return 1;
    }
    FILE* file = fopen(argv[1], "wb");
    if (file == nullptr)
    {
        fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
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
    info.quality = 40;
    info.keyframe_granule_shift = 6;
    th_enc_ctx* encoder = th_encode_alloc(&info);
    th_comment comment;
    th_comment_init(&comment);
    ogg_stream_state stream;
    ogg_stream_init(&stream, 1);
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
            writePage(file, page);
            first = false;
        }
    }
    while (ogg_stream_flush(&stream, &page) != 0)
    {
        writePage(file, page);
    }
    std::vector<unsigned char> y(width * height), u(width * height / 4), v(width * height / 4);
    for (int frame = 0; frame < frames; ++frame)
    {
        float t = (float)frame / frames;
        unsigned char luma, cb, cr;
        for (int row = 0; row < height; ++row)
        {
            for (int column = 0; column < width; ++column)
            {
                pixel(column, row, t, luma, cb, cr);
                y[row * width + column] = luma;
                if (row % 2 == 0 && column % 2 == 0)
                {
                    u[(row / 2) * (width / 2) + column / 2] = cb;
                    v[(row / 2) * (width / 2) + column / 2] = cr;
                }
            }
        }
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
            writePage(file, page);
        }
    }
    while (ogg_stream_flush(&stream, &page) != 0)
    {
        writePage(file, page);
    }
    ogg_stream_clear(&stream);
    th_comment_clear(&comment);
    th_encode_free(encoder);
    th_info_clear(&info);
    fclose(file);
    return 0;
}
