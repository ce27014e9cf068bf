// One space step per particle under LinearForce, Scaler, ColorChanger and Attractor, and one draw per
// particle, each beside a bare struct-of-arrays loop doing the same arithmetic (and, for drawing, the same
// render call): the floor the library's records and virtual calls add their cost to. Drawing waits for the
// frame to finish. SpaceStepBesideBare times the step and the bare loop interleaved in one run;
// SpaceStepBesideExactBare does so beside a bare loop bound to all of the affectors' arithmetic.
#include <benchmark/benchmark.h>

#include <stdlib.h>

#include <cmath>
#include <memory>
#include <vector>

#include <GL/gl.h>

#include <kavtypes/Matrix3.h>
#include <quortypes/util.h>
#include <tesra/RenderSystem.h>
#include <tesra/tesra.h>
#include <tesraparticle/Emitter.h>
#include <tesraparticle/Particle.h>
#include <tesraparticle/Space.h>
#include <tesraparticle/System.h>
#include <tesraparticle/affectors/Attractor.h>
#include <tesraparticle/affectors/ColorChanger.h>
#include <tesraparticle/affectors/LinearForce.h>
#include <tesraparticle/affectors/Scaler.h>

#include "Compare.h"

namespace
{
    const float step = 1.0f / 60.0f;

    // A space of count immortal particles spread over a box, with the four affectors.
    struct Rig
    {
        tesraparticle::System system;
        tesraparticle::Space* space = new tesraparticle::Space("space");
        tesraparticle::Emitter* emitter = new tesraparticle::Emitter("emitter");
        tesraparticle::Affectors::LinearForce force;
        tesraparticle::Affectors::Scaler scaler;
        tesraparticle::Affectors::ColorChanger colors;
        tesraparticle::Affectors::Attractor attractor;

        explicit Rig(int count)
        {
            quortypes::seedRandom(1);
            this->system.addSpace(this->space);
            this->space->addEmitter(this->emitter);
            for (auto [name, value] : {std::pair<const char*, const char*>{"type", "Box"},
                                       {"dimensions", "400,300,0"},
                                       {"emission_rate", "1e9"},
                                       {"life", "1e6"},
                                       {"size", "0.1,0.1"},
                                       {"direction", "-5,-5,0;5,5,0"}})
                this->emitter->setProperty(name, value);
            this->emitter->setProperty("limit", hstring(count));
            this->attractor.setProperty("radius", "150");
            for (tesraparticle::Affector* affector :
                 std::initializer_list<tesraparticle::Affector*>{&force, &scaler, &colors, &attractor})
                this->space->addAffector(affector);
            this->space->update(step);
            this->emitter->setEnabled(false);
        }
    };

    // The same particles as plain arrays.
    struct Bare
    {
        std::vector<float> x, y, z, dx, dy, dz, timer, life, scale, angle, sx, sy;
        std::vector<unsigned char> r, g, b, a;

        explicit Bare(const tesraparticle::Space& space)
        {
            for (tesraparticle::Particle* p : space.getParticles())
            {
                x.push_back(p->position.x), y.push_back(p->position.y), z.push_back(p->position.z);
                dx.push_back(p->direction.x), dy.push_back(p->direction.y), dz.push_back(p->direction.z);
                timer.push_back(p->timer), life.push_back(p->life), scale.push_back(p->scale);
                angle.push_back(p->angle), sx.push_back(p->size.x), sy.push_back(p->size.y);
                r.push_back(255), g.push_back(255), b.push_back(255), a.push_back(255);
            }
        }

        static unsigned char blend(unsigned char from, unsigned char to, float ratio)
        {
            int value = (int)(from * (1.0f - ratio)) + (int)(to * ratio);
            return (unsigned char)(value > 255 ? 255 : value);
        }

        void step(float dt)
        {
            size_t n = x.size();
            for (size_t i = 0; i < n; ++i)
            {
                timer[i] += dt;
                float ratio = std::min(1.0f, timer[i] / life[i]);
                dy[i] += -1.0f * dt;
                scale[i] = 1.0f * (1.0f - ratio);
                r[i] = blend(255, 255, ratio), g[i] = blend(255, 255, ratio), b[i] = blend(255, 255, ratio);
                a[i] = blend(255, 0, ratio);
                float cx = -x[i], cy = -y[i], cz = -z[i];
                float q = cx * cx + cy * cy + cz * cz;
                float mx = 0.0f, my = 0.0f, mz = 0.0f;
                if (q > 0.02f && 150.0f * 150.0f >= q)
                {
                    float length = std::sqrt(q);
                    float f = (150.0f - length) / 150.0f;
                    f = f * f * (dt / length);
                    mx = cx * f, my = cy * f, mz = cz * f;
                }
                x[i] += mx + dx[i] * dt, y[i] += my + dy[i] * dt, z[i] += mz + dz[i] * dt;
            }
        }

        // step with every operation the affectors are bound to: colours blended with saturation from
        // colours not known in advance, the attractor's direction normalized in double precision and its
        // falloff squared as the power of a whole exponent.
        void exactStep(float dt, const tesra::Color& start, const tesra::Color& end)
        {
            size_t n = x.size();
            for (size_t i = 0; i < n; ++i)
            {
                timer[i] += dt;
                float ratio = std::min(1.0f, timer[i] / life[i]);
                dy[i] += -1.0f * dt;
                scale[i] = 1.0f * (1.0f - ratio);
                tesra::Color color = start * (1.0f - ratio) + end * ratio;
                r[i] = color.r, g[i] = color.g, b[i] = color.b, a[i] = color.a;
                kavtypes::Vector3 d(-x[i], -y[i], -z[i]);
                float q = d.squaredLength();
                kavtypes::Vector3 m;
                if (q > 0.02f && 150.0f * 150.0f >= q)
                {
                    float f = (150.0f - std::sqrt(q)) / 150.0f;
                    m = d.normalized() * (1.0f * 1.0f * (1.0f * (f * f)) * dt);
                }
                x[i] += m.x + dx[i] * dt, y[i] += m.y + dy[i] * dt, z[i] += m.z + dz[i] * dt;
            }
        }

        void draw(std::vector<tesra::ColoredTexturedVertex>& vertices, float W, float H)
        {
            size_t n = x.size();
            static const int order[6] = {0, 1, 2, 1, 2, 3};
            static const float u[6] = {0, 1, 0, 1, 0, 1}, v[6] = {0, 0, 1, 0, 1, 1};
            for (size_t i = 0; i < n; ++i)
            {
                float hw = sx[i] * W * scale[i] * 0.5f, hh = sy[i] * H * scale[i] * 0.5f;
                float cxs[4] = {-hw, hw, -hw, hw}, cys[4] = {-hh, -hh, hh, hh};
                unsigned int color =
                    ((unsigned)r[i] << 24) | ((unsigned)g[i] << 16) | ((unsigned)b[i] << 8) | a[i];
                for (int k = 0; k < 6; ++k)
                    vertices[i * 6 + k] =
                        tesra::ColoredTexturedVertex(cxs[order[k]] + x[i] + 512.0f,
                                                     cys[order[k]] + y[i] + 384.0f, 0.0f, color, u[k], v[k]);
            }
        }
    };

    void perParticle(benchmark::State& state)
    {
        state.counters["per_particle"] =
            benchmark::Counter((double)state.range(0),
                               benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    }

    void BM_SpaceStep(benchmark::State& state)
    {
        Rig rig((int)state.range(0));
        for (auto _ : state)
            rig.space->update(step);
        perParticle(state);
    }

    void BM_BareStep(benchmark::State& state)
    {
        Rig rig((int)state.range(0));
        Bare bare(*rig.space);
        for (auto _ : state)
        {
            bare.step(step);
            benchmark::DoNotOptimize(bare.x.data());
        }
        perParticle(state);
    }

    void SpaceStepBesideBare(benchmark::State& state)
    {
        Rig rig((int)state.range(0));
        Bare bare(*rig.space);
        benchcompare::Side ours{[&] { rig.space->update(step); }};
        benchcompare::Side reference{[&]
                                     {
                                         bare.step(step);
                                         benchmark::DoNotOptimize(bare.x.data());
                                         benchmark::ClobberMemory();
                                     }};
        benchcompare::compare(state, ours, reference, (double)state.range(0));
    }

    // The same beside a bare loop that does every operation the affectors must do (see Bare::exactStep):
    // what the records, the runs and the calls cost on their own.
    void SpaceStepBesideExactBare(benchmark::State& state)
    {
        Rig rig((int)state.range(0));
        Bare bare(*rig.space);
        const tesra::Color start = rig.colors.getStartColor();
        const tesra::Color end = rig.colors.getEndColor();
        benchcompare::Side ours{[&] { rig.space->update(step); }};
        benchcompare::Side reference{[&]
                                     {
                                         bare.exactStep(step, start, end);
                                         benchmark::DoNotOptimize(bare.x.data());
                                         benchmark::ClobberMemory();
                                     }};
        benchcompare::compare(state, ours, reference, (double)state.range(0));
    }

    tesra::Texture* sprite()
    {
        static tesra::Texture* texture = nullptr;
        if (texture == nullptr)
        {
            setenv("SDL_VIDEODRIVER", "offscreen", 0);
            tesra::init();
            tesra::createRenderSystem();
            tesra::createWindow(1024, 768, false, "particles");
            texture = tesra::rendersys->createTexture(8, 8, tesra::Color(255, 255, 255, 255));
        }
        return texture;
    }

    void BM_EmitterDraw(benchmark::State& state)
    {
        tesra::Texture* texture = sprite();
        Rig rig((int)state.range(0));
        rig.emitter->setTexture(texture);
        rig.space->update(0.5f);
        for (auto _ : state)
        {
            rig.space->draw(512.0f, 384.0f, tesra::Color(255, 255, 255, 255));
            glFinish();
        }
        perParticle(state);
    }

    void BM_BareDraw(benchmark::State& state)
    {
        tesra::Texture* texture = sprite();
        Rig rig((int)state.range(0));
        rig.space->update(0.5f);
        Bare bare(*rig.space);
        std::vector<tesra::ColoredTexturedVertex> vertices(bare.x.size() * 6);
        for (auto _ : state)
        {
            bare.draw(vertices, 8.0f, 8.0f);
            tesra::rendersys->setTexture(texture);
            tesra::rendersys->setTextureBlendMode(tesra::BlendMode::DEFAULT);
            tesra::rendersys->setTextureColorMode(tesra::ColorMode::DEFAULT, 1.0f);
            tesra::rendersys->render(tesra::RenderOperation::TRIANGLE_LIST, vertices.data(),
                                     (int)vertices.size());
            glFinish();
        }
        perParticle(state);
    }
} // namespace

BENCHMARK(SpaceStepBesideBare)->Arg(10000)->Iterations(1);
BENCHMARK(SpaceStepBesideExactBare)->Arg(10000)->Iterations(1);
BENCHMARK(BM_SpaceStep)->Arg(1000)->Arg(10000);
BENCHMARK(BM_BareStep)->Arg(1000)->Arg(10000);
BENCHMARK(BM_EmitterDraw)->Arg(1000)->Arg(10000)->UseRealTime();
BENCHMARK(BM_BareDraw)->Arg(1000)->Arg(10000)->UseRealTime();
