#pragma once

#include <vector>

#include <kavtypes/Vector2.h>
#include <kavtypes/Vector3.h>
#include <quortypes/hdeque.h>
#include <tesra/Color.h>
#include <tesra/RenderModes.h>
#include <tesra/Vertex.h>
#include <tesraparticle/SpaceObject.h>

namespace tesra
{
    class Texture;
}

namespace tesraparticle
{
    class Particle;
    class Space;

    // Creates particles inside a shape at a rate, on a schedule of delay, duration and loops, and draws them
    // as textured quads. Its space owns it and the particles.
    class Emitter : public SpaceObject
    {
    public:
        enum class Type : int
        {
            Point = 0,
            Box = 1,
            HollowBox = 2,
            Sphere = 3,
            HollowSphere = 4,
            Cylinder = 5,
            HollowCylinder = 6
        };

        template <class T> struct Range
        {
            T min;
            T max;
        };

        // Above it "limit" is refused: the vertex array would be too large to be a plausible setting.
        static const int MaxLimit = 100000;

        explicit Emitter(const hstring& name = "");
        // Properties and running state; no particles, no texture, no space.
        Emitter(const Emitter& other);
        Emitter& operator=(const Emitter&) = delete;

        harray<PropertyInfo> getPropertyDescriptions() const override;
        bool setProperty(const hstring& name, const hstring& value);

        void update(float timeDelta);
        void draw(float x, float y);
        void draw(float x, float y, const tesra::Color& color);
        // Starts the schedule again.
        void reset();
        // Forgets the particles; the space deletes them.
        void clearParticles();

        Type getType() const { return this->type; }
        const kavtypes::Vector3& getDimensions() const { return this->dimensions; }
        void setDimensions(const kavtypes::Vector3& value) { this->dimensions = value; }
        float getEmissionRate() const { return this->emissionRate; }
        float getColorModeFactor() const { return this->colorModeFactor; }
        void setColorModeFactor(float value) { this->colorModeFactor = value; }
        int getLimit() const { return this->limit; }
        void setLimit(int value);
        const Range<float>& getLife() const { return this->life; }
        const Range<kavtypes::Vector3>& getDirection() const { return this->direction; }
        void setDirection(const Range<kavtypes::Vector3>& value) { this->direction = value; }
        const Range<kavtypes::Vector2>& getSize() const { return this->size; }
        void setSize(const Range<kavtypes::Vector2>& value) { this->size = value; }
        tesra::Texture* getTexture() const { return this->texture; }
        void setTexture(tesra::Texture* value) { this->texture = value; }
        Space* getSpace() const { return this->space; }
        void setSpace(Space* value) { this->space = value; }
        const hdeque<Particle*>& getParticles() const { return this->particles; }
        int getAlive() const { return this->alive; }
        bool isRunning() const { return this->running; }
        float getEmissionAccumulator() const { return this->emissionAccumulator; }
        float getTotalTime() const { return this->totalTime; }

    protected:
        // The space deletes the particles and must first take them from the emitters' lists.
        friend class Space;

        Type type = Type::Point;
        kavtypes::Vector3 dimensions = kavtypes::Vector3(1.0f, 1.0f, 1.0f);
        tesra::BlendMode blendMode = tesra::BlendMode::DEFAULT;
        tesra::ColorMode colorMode = tesra::ColorMode::DEFAULT;
        float colorModeFactor = 1.0f;
        float emissionRate = 0.0f;
        float duration = -1.0f;
        float delay = 0.0f;
        float loopDelay = 0.0f;
        int loops = -1;
        int limit = 10;
        bool reverseRendering = false;
        Range<float> life = {1.0f, 1.0f};
        Range<kavtypes::Vector3> direction;
        Range<kavtypes::Vector2> size = {kavtypes::Vector2(1.0f, 1.0f), kavtypes::Vector2(1.0f, 1.0f)};
        Range<float> scale = {1.0f, 1.0f};
        Range<float> angle = {0.0f, 0.0f};
        tesra::Texture* texture = nullptr;
        Space* space = nullptr;

        float emissionAccumulator = 0.0f;
        float loopTime = 0.0f;
        float totalTime = 0.0f;
        bool running = true;
        int loopsDone = 0;
        int alive = 0;
        bool waiting = false;
        hdeque<Particle*> particles;
        std::vector<tesra::ColoredTexturedVertex> vertices;
        kavtypes::Vector3 startPosition;
        float radiusFactor = 0.0f;
        float phi = 0.0f;
        float theta = 0.0f;

        void _createParticle(float timeOffset);
        void _dropDeadParticles();
        // update, with the count of its live particles when the caller knows it (else a negative number).
        void _update(float timeDelta, int live);
        // Takes every whole period out of the loop time and counts it, saturating at the int's range: a
        // period below the loop time's float spacing would never be taken out one by one.
        void _finishLoops(float period);
        void _placeStart();
        void _draw(float x, float y, const tesra::Color* color);
        bool _setEnumProperty(const hstring& name, const hstring& value);

    private:
        static const PropertyTable<Emitter>& _properties();
    };
} // namespace tesraparticle
