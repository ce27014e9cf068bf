// Encodes the demo's short looping video: a ball bouncing over an evening sky, 128 x 96 at 25 frames a
// second for two seconds. Writes the .ogv file named by its argument.
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "VideoWriter.h"

namespace
{
    const int width = 128;
    const int height = 96;
    const int fps = 25;
    const int frames = 50;

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
    const std::string bytes =
        videotest::encodeTheora(width, height, fps, 40, frames, 1, false,
                                [](int frame, unsigned char* y, unsigned char* u, unsigned char* v)
                                {
                                    const float t = (float)frame / frames;
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
                                });
    fwrite(bytes.data(), 1, bytes.size(), file);
    fclose(file);
    return 0;
}
