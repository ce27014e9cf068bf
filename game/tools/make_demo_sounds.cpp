// Writes the demo game's sounds as OGG files below the given demo folder: the meadow's looping theme and
// the UI's click. Their output is committed; run it again only to change them:
//   cmake --build build --target make_demo_sounds && build/game/make_demo_sounds game/demo
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include <yim_testing/OggWriter.h>

using yim_testing::encodeOgg;

namespace
{
    const int rate = 22050;
    const double pi = 3.14159265358979323846;

    double frequency(int semitonesFromA4)
    {
        return 440.0 * std::pow(2.0, semitonesFromA4 / 12.0);
    }

    // A soft plucked tone: a quick rise, an exponential fall, silent by the end of its slot, so that the
    // loop's seam falls between two notes.
    double note(double semitones, double t, double length)
    {
        if (t < 0.0 || t >= length)
        {
            return 0.0;
        }
        const double f = frequency((int)semitones);
        const double rise = std::min(1.0, t / 0.01);
        const double fall = std::exp(-3.0 * t / length) * (1.0 - t / length);
        const double tone = std::sin(2.0 * pi * f * t) + 0.3 * std::sin(4.0 * pi * f * t);
        return rise * fall * tone;
    }

    // Eight beats of a pentatonic tune over two bass notes per bar, at 96 beats a minute: 5 s in all.
    float theme(int frame)
    {
        const double beat = 60.0 / 96.0;
        const int melody[16] = {3, 7, 10, 7, 12, 10, 7, 5, 3, 5, 7, 10, 7, 5, 3, -2};
        const int bass[4] = {-21, -14, -16, -19};
        const double t = frame / (double)rate;
        const double eighth = beat * 0.5;
        const int step = (int)(t / eighth);
        double value = 0.35 * note(melody[step % 16], t - step * eighth, eighth);
        const int bar = (int)(t / (beat * 2.0));
        value += 0.4 * note(bass[bar % 4], t - bar * beat * 2.0, beat * 2.0);
        return (float)(0.6 * value);
    }

    // A 25 ms tick: a falling high tone.
    float click(int frame)
    {
        const double t = frame / (double)rate;
        return (float)(0.7 * std::exp(-t / 0.004) * std::sin(2.0 * pi * 2200.0 * t));
    }

    // A rising major arpeggio, each note held to the end.
    float solved(int frame)
    {
        const double t = frame / (double)rate;
        const int notes[4] = {3, 7, 10, 15};
        double value = 0.0;
        for (int i = 0; i < 4; ++i)
        {
            value += 0.3 * note(notes[i], t - i * 0.12, 1.0 - i * 0.12);
        }
        return (float)(0.7 * value);
    }

    bool write(const std::string& path, const std::string& bytes)
    {
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        std::ofstream out(path, std::ios::binary);
        out << bytes;
        std::printf("%s: %d bytes\n", path.c_str(), (int)bytes.size());
        return !bytes.empty() && (bool)out;
    }
} // namespace

int main(int argc, char** argv)
{
    if (argc != 2)
    {
        std::fprintf(stderr, "usage: %s <demo folder>\n", argv[0]);
        return 2;
    }
    const std::string demo = argv[1];
    const int themeFrames = (int)std::lround(8 * (60.0 / 96.0) * rate);
    bool ok = write(demo + "/data/chapters/meadow/audio/music/theme.ogg",
                    encodeOgg(1, rate, themeFrames, [](int frame, int) { return theme(frame); }));
    ok = write(demo + "/data/ui/audio/fx/click.ogg",
               encodeOgg(1, rate, rate / 40, [](int frame, int) { return click(frame); })) &&
         ok;
    ok = write(demo + "/data/ui/audio/fx/minigame_solved.ogg",
               encodeOgg(1, rate, rate, [](int frame, int) { return solved(frame); })) &&
         ok;
    return ok ? 0 : 1;
}
