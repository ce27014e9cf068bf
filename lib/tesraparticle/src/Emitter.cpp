#include <algorithm>
#include <cmath>
#include <limits>

#include <quortypes/Log.h>
#include <quortypes/util.h>
#include <tesra/tesra.h>
#include <tesraparticle/Emitter.h>
#include <tesraparticle/Particle.h>
#include <tesraparticle/Space.h>
#include <tesraparticle/tesraparticle.h>

namespace tesraparticle
{
    namespace
    {
        const float TWO_PI = 6.2831855f;
        const float PI = 3.1415927f;

        // A single value sets both ends; otherwise the first and the last piece.
        template <class T, class F> void readRange(Emitter::Range<T>& range, const hstring& text, F read)
        {
            harray<hstring> pieces = text.split(';');
            T min = read(pieces[0]);
            T max = read(pieces[pieces.size() - 1]);
            range.min = min;
            range.max = max;
        }

        float readFloat(const hstring& text)
        {
            return text.toFloat();
        }

        float sample(const Emitter::Range<float>& range)
        {
            return range.min == range.max
                       ? range.min
                       : range.min + quortypes::randomFloat(1.0f) * (range.max - range.min);
        }

        const char* const typeNames[] = {"Point",        "Box",      "HollowBox",     "Sphere",
                                         "HollowSphere", "Cylinder", "HollowCylinder"};
        const char* const blendNames[] = {"default", "alpha", "add", "subtract", "overwrite"};
        const char* const colorNames[] = {"default", "multiply", "lerp", "alpha_map"};

        int findName(const char* const* names, int count, const hstring& value)
        {
            for (int i = 0; i < count; ++i)
            {
                if (value == names[i])
                {
                    return i;
                }
            }
            return -1;
        }
    } // namespace

    Emitter::Emitter(const hstring& name) : SpaceObject(name != "" ? name : tesra::generateName("Emitter"))
    {
        this->setLimit(this->limit);
    }

    Emitter::Emitter(const Emitter& other)
        : SpaceObject(other.name), type(other.type), dimensions(other.dimensions), blendMode(other.blendMode),
          colorMode(other.colorMode), colorModeFactor(other.colorModeFactor),
          emissionRate(other.emissionRate), duration(other.duration), delay(other.delay),
          loopDelay(other.loopDelay), loops(other.loops), reverseRendering(other.reverseRendering),
          life(other.life), direction(other.direction), size(other.size), scale(other.scale),
          angle(other.angle), emissionAccumulator(other.emissionAccumulator), loopTime(other.loopTime),
          totalTime(other.totalTime), running(other.running), loopsDone(other.loopsDone),
          waiting(other.waiting)
    {
        this->visible = other.visible;
        this->enabled = other.enabled;
        this->position = other.position;
        this->setLimit(other.limit);
    }

    QUORTYPES_PROPERTY_TABLE_DESCRIPTIONS_BASE_FIRST(Emitter, SpaceObject, _properties)
    QUORTYPES_PROPERTY_TABLE_SET(Emitter, SpaceObject, _properties)

    const PropertyTable<Emitter>& Emitter::_properties()
    {
        static const PropertyTable<Emitter> table = {
            {"name", PropertyInfo::STRING, nullptr, [](Emitter& e, const hstring& value) { e.name = value; }},
            {"type", PropertyInfo::ENUM, nullptr,
             [](Emitter& e, const hstring& value) { return e._setEnumProperty("type", value); }},
            {"dimensions", PropertyInfo::COLOR, nullptr,
             [](Emitter& e, const hstring& value) { e.dimensions = str_to_gvec3(value); }},
            {"blend_mode", PropertyInfo::ENUM, nullptr,
             [](Emitter& e, const hstring& value) { return e._setEnumProperty("blend_mode", value); }},
            {"color_mode", PropertyInfo::ENUM, nullptr,
             [](Emitter& e, const hstring& value) { return e._setEnumProperty("color_mode", value); }},
            {"color_mode_factor", PropertyInfo::FLOAT, nullptr,
             [](Emitter& e, const hstring& value) { e.colorModeFactor = value.toFloat(); }},
            {"emission_rate", PropertyInfo::FLOAT, nullptr,
             [](Emitter& e, const hstring& value) { e.emissionRate = value.toFloat(); }},
            {"duration", PropertyInfo::FLOAT, nullptr,
             [](Emitter& e, const hstring& value) { e.duration = value.toFloat(); }},
            {"delay", PropertyInfo::FLOAT, nullptr,
             [](Emitter& e, const hstring& value) { e.delay = value.toFloat(); }},
            {"loop_delay", PropertyInfo::FLOAT, nullptr,
             [](Emitter& e, const hstring& value) { e.loopDelay = value.toFloat(); }},
            {"loops", PropertyInfo::INT, nullptr,
             [](Emitter& e, const hstring& value) { e.loops = value.toInt(); }},
            // A limit out of range is warned about and left as it was; the value still counts as taken.
            {"limit", PropertyInfo::INT, nullptr,
             [](Emitter& e, const hstring& value)
             {
                 int newLimit = value.toInt();
                 if (newLimit < 0 || newLimit > MaxLimit)
                 {
                     quortypes::Log::warnf(logTag, "Value '%s' does not exist for property '%s' in '%s'!",
                                           value.c_str(), "limit", e.name.c_str());
                 }
                 else if (newLimit != e.limit)
                 {
                     e.setLimit(newLimit);
                 }
             }},
            {"reverse_rendering", PropertyInfo::BOOL, nullptr,
             [](Emitter& e, const hstring& value) { e.reverseRendering = value.toBool(); }},
            {"life", PropertyInfo::FLOAT_RANGE, nullptr,
             [](Emitter& e, const hstring& value) { readRange(e.life, value, readFloat); }},
            {"direction", PropertyInfo::GVEC3_RANGE, nullptr,
             [](Emitter& e, const hstring& value) { readRange(e.direction, value, str_to_gvec3); }},
            {"size", PropertyInfo::GVEC2_RANGE, nullptr,
             [](Emitter& e, const hstring& value) { readRange(e.size, value, str_to_gvec2); }},
            {"scale", PropertyInfo::FLOAT_RANGE, nullptr,
             [](Emitter& e, const hstring& value) { readRange(e.scale, value, readFloat); }},
            {"angle", PropertyInfo::FLOAT_RANGE, nullptr,
             [](Emitter& e, const hstring& value) { readRange(e.angle, value, readFloat); }},
        };
        return table;
    }

    bool Emitter::_setEnumProperty(const hstring& name, const hstring& value)
    {
        int index = -1;
        if (name == "type")
        {
            index = findName(typeNames, 7, value);
            if (index >= 0)
                this->type = (Type)index;
        }
        else if (name == "blend_mode")
        {
            index = findName(blendNames, 5, value);
            if (index >= 0)
                this->blendMode = (tesra::BlendMode)index;
        }
        else
        {
            index = findName(colorNames, 4, value);
            if (index >= 0)
                this->colorMode = (tesra::ColorMode)index;
        }
        if (index < 0)
        {
            quortypes::Log::warnf(logTag, "Value '%s' does not exist for property '%s' in '%s'!",
                                  value.c_str(), name.c_str(), this->name.c_str());
        }
        return true;
    }

    void Emitter::setLimit(int value)
    {
        if (value < 0 || value > MaxLimit)
        {
            return;
        }
        this->limit = value;
        this->vertices.assign(value * 6, tesra::ColoredTexturedVertex());
        static const float u[6] = {0.0f, 1.0f, 0.0f, 1.0f, 0.0f, 1.0f};
        static const float v[6] = {0.0f, 0.0f, 1.0f, 0.0f, 1.0f, 1.0f};
        for (size_t i = 0; i < this->vertices.size(); ++i)
        {
            this->vertices[i].u = u[i % 6];
            this->vertices[i].v = v[i % 6];
        }
    }

    void Emitter::reset()
    {
        this->emissionAccumulator = 0.0f;
        this->loopTime = 0.0f;
        this->totalTime = 0.0f;
        this->loopsDone = 0;
        this->running = true;
    }

    void Emitter::clearParticles()
    {
        this->alive = 0;
        this->particles.clear();
    }

    void Emitter::_dropDeadParticles()
    {
        int dead = 0;
        while (dead < this->particles.size() && this->particles[dead]->isDead())
        {
            ++dead;
        }
        this->particles.erase(this->particles.begin(), this->particles.begin() + dead);
    }

    void Emitter::update(float timeDelta)
    {
        this->_update(timeDelta, -1);
    }

    void Emitter::_update(float timeDelta, int live)
    {
        this->_dropDeadParticles();
        if (live < 0)
        {
            // Counted in a local: the member would be loaded and stored for every particle.
            live = 0;
            for (const Particle* particle : this->particles)
            {
                live += particle->isDead() ? 0 : 1;
            }
        }
        this->alive = live;
        if (!this->enabled)
        {
            return;
        }
        float t = timeDelta;
        this->totalTime += timeDelta;
        this->loopTime += timeDelta;
        if (this->delay > 0.0f)
        {
            if (this->totalTime <= this->delay)
            {
                return;
            }
            if (this->delay > this->totalTime - timeDelta)
            {
                this->loopTime -= this->delay;
                if (this->loopTime <= timeDelta)
                {
                    t = this->loopTime;
                }
            }
        }
        if (this->running)
        {
            this->waiting = false;
            if (this->duration > 0.0f && this->loopTime >= this->duration)
            {
                if (this->loopDelay > 0.0f)
                {
                    this->_finishLoops(this->duration + this->loopDelay);
                    this->waiting = (this->loopTime >= this->duration);
                }
                else
                {
                    this->_finishLoops(this->duration);
                }
            }
            if (this->loops >= 1 && this->loopsDone >= this->loops)
            {
                this->running = false;
            }
        }
        if (!this->running || this->waiting)
        {
            return;
        }
        this->emissionAccumulator += t;
        if (this->emissionRate <= 0.0f)
        {
            return;
        }
        // Compared as a float first: a huge rate must not overflow the conversion.
        float wanted = this->emissionRate * this->emissionAccumulator;
        int count = wanted < (float)this->limit ? (int)wanted : this->limit;
        if (this->alive < this->limit)
        {
            if (this->emissionAccumulator <= 1.0f / this->emissionRate)
            {
                return;
            }
            count = std::min(count, this->limit - this->alive);
            this->alive += count;
            for (int i = 0; i < count; ++i)
            {
                this->_createParticle(i * t / count);
            }
        }
        this->emissionAccumulator = 0.0f;
    }

    void Emitter::_placeStart()
    {
        const kavtypes::Vector3& d = this->dimensions;
        kavtypes::Vector3& p = this->startPosition;
        switch (this->type)
        {
        case Type::Point:
            p.set(0.0f, 0.0f, 0.0f);
            break;
        case Type::Box:
            p.x = quortypes::randomFloat(-0.5f, 0.5f) * d.x;
            p.y = quortypes::randomFloat(-0.5f, 0.5f) * d.y;
            p.z = quortypes::randomFloat(-0.5f, 0.5f) * d.z;
            break;
        case Type::HollowBox:
            p.x = d.x * 0.5f - quortypes::randomInt(2) * d.x;
            p.y = d.y * 0.5f - quortypes::randomInt(2) * d.y;
            p.z = d.z * 0.5f - quortypes::randomInt(2) * d.z;
            break;
        case Type::Sphere:
        case Type::HollowSphere:
        {
            this->radiusFactor = this->type == Type::Sphere ? quortypes::randomFloat(1.0f) : 1.0f;
            this->phi = quortypes::randomFloat(TWO_PI);
            this->theta = quortypes::randomFloat(PI);
            float rho = this->radiusFactor;
            float s = rho * std::sin(this->phi);
            p.set(d.x * 0.5f * rho * std::cos(this->phi), d.y * 0.5f * s * std::sin(this->theta),
                  d.z * 0.5f * s * std::cos(this->theta));
            break;
        }
        case Type::Cylinder:
        case Type::HollowCylinder:
        {
            this->radiusFactor = this->type == Type::Cylinder ? quortypes::randomFloat(1.0f) : 1.0f;
            this->phi = quortypes::randomFloat(TWO_PI);
            this->theta = quortypes::randomFloat(PI);
            float rho = this->radiusFactor;
            p.x = d.x * 0.5f * rho * std::cos(this->phi);
            p.y = quortypes::randomFloat(-0.5f, 0.5f) * d.y;
            p.z = d.z * 0.5f * rho * std::sin(this->phi);
            break;
        }
        }
    }

    void Emitter::_finishLoops(float period)
    {
        if (!(this->loopTime >= period))
        {
            return;
        }
        // The count only has to be right for counts an int holds; the remainder is exact.
        const double whole = std::max(1.0, std::floor((double)this->loopTime / (double)period));
        this->loopTime = std::isfinite(this->loopTime) ? std::fmod(this->loopTime, period) : 0.0f;
        const double room = (double)std::numeric_limits<int>::max() - (double)this->loopsDone;
        this->loopsDone += (int)std::min(whole, room);
    }

    void Emitter::_createParticle(float timeOffset)
    {
        this->_placeStart();
        kavtypes::Vector3 start = this->startPosition + this->position;
        if (this->space != nullptr)
        {
            start += this->space->getPosition();
        }
        // Without a space nothing would own the particle; it is still drawn up, so that the random numbers
        // run the same course.
        Particle unowned;
        Particle* particle = this->space != nullptr ? this->space->_createParticle() : &unowned;
        particle->life = sample(this->life);
        particle->position = start;
        if (this->direction.min == this->direction.max)
        {
            particle->direction = this->direction.min;
        }
        else
        {
            particle->direction = this->direction.min +
                                  (this->direction.max - this->direction.min) * quortypes::randomFloat(1.0f);
        }
        if (this->size.min == this->size.max)
        {
            particle->size = this->size.min;
        }
        else
        {
            particle->size =
                this->size.min + (this->size.max - this->size.min) * quortypes::randomFloat(1.0f);
        }
        particle->scale = sample(this->scale);
        particle->angle = sample(this->angle);
        if (this->space != nullptr)
        {
            this->particles.push_back(particle);
            this->space->setCurrentParticle(particle);
            this->space->addNewParticle(timeOffset);
        }
    }
} // namespace tesraparticle
