// A particle system file through the UI objects: a Particle that runs it whole, and a ParticleSystem whose
// first space a ParticleSpace shows, with a ParticleEmitter bound to that space's first emitter. All are
// updated, moved, resized, drawn, reset and unloaded in a hidden window.
#include <cmath>
#include <string>

#include <fuzz_support/Leaks.h>
#include <fuzz_support/Scratch.h>
#include <fuzz_support/Window.h>
#include <quortypes/Resource.h>
#include <quortypes/exception.h>
#include <tesra/RenderSystem.h>
#include <tesra_testing/Png.h>
#include <tesraparticle/Emitter.h>
#include <tesraparticle/Space.h>
#include <tesraparticle/System.h>
#include <tesraparticle/tesraparticle.h>
#include <tesraui/Container.h>
#include <tesraui/Dataset.h>
#include <tesraui/tesraui.h>
#include <tesrauiparticle/Particle.h>
#include <tesrauiparticle/ParticleEmitter.h>
#include <tesrauiparticle/ParticleSpace.h>
#include <tesrauiparticle/ParticleSystem.h>
#include <tesrauiparticle/tesrauiparticle.h>

using kavtypes::Rectangle;

namespace
{
    template <class T> T* add(tesraui::Object* parent, const hstring& name, Rectangle rect)
    {
        T* object = new T(name, rect);
        parent->addChildAndRegister(object);
        return object;
    }

    // Setting a file name loads at once and throws what loading throws.
    void set(tesraui::Object* object, const hstring& name, const hstring& value)
    {
        try
        {
            object->setProperty(name, value);
        }
        catch (const quortypes::exception&)
        {
        }
    }
} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    quortypes::Resource::setCwd(fuzz_support::scratchFolder());
    fuzz_support::checkLeaksBeforeStatics();
    fuzz_support::openWindow(128, 128);
    tesraui::init();
    tesraparticle::init();
    tesrauiparticle::init();
    const std::string dot = tesra_testing::makePng(
        8, 8,
        [](int x, int y)
        {
            const float d = 1.0f - std::sqrt((x - 3.5f) * (x - 3.5f) + (y - 3.5f) * (y - 3.5f)) / 4.0f;
            return tesra::Color(255, 255, 255, (unsigned char)(d > 0.0f ? d * 255.0f : 0.0f));
        });
    fuzz_support::writeFile("particles/dot.png", dot);
    fuzz_support::writeFile("particles/spark.png", dot);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size)
{
    fuzz_support::writeFile("particles/sys.xml", std::string((const char*)data, size));
    {
        tesraui::Dataset dataset("", "fuzz");
        tesraui::Container* root = new tesraui::Container("root", Rectangle(0, 0, 128, 128));
        dataset.registerObjects(root);
        auto* particle = add<tesrauiparticle::Particle>(root, "particle", Rectangle(10, 10, 40, 20));
        auto* system = add<tesrauiparticle::ParticleSystem>(root, "system", Rectangle(0, 0, 0, 0));
        set(particle, "filename", "sys.xml");
        set(system, "filename", "sys.xml");
        if (system->isLoaded() && system->getSystem()->getSpaces().size() > 0)
        {
            tesraparticle::Space* first = system->getSystem()->getSpaces()[0];
            auto* space = add<tesrauiparticle::ParticleSpace>(root, "space", Rectangle(60, 60, 30, 30));
            set(space, "system_object", "system");
            set(space, "space", first->getName());
            if (first->getEmitters().size() > 0)
            {
                auto* emitter =
                    add<tesrauiparticle::ParticleEmitter>(space, "emitter", Rectangle(5, 5, 10, 10));
                set(emitter, "space_object", "space");
                set(emitter, "emitter", first->getEmitters()[0]->getName());
            }
        }
        for (int frame = 0; frame < 4; ++frame)
        {
            root->update(0.1f);
            tesraui::processEvents();
            tesra::rendersys->clear(true, false);
            root->draw();
            if (frame == 1)
            {
                particle->setSize(20.0f, 30.0f);
                particle->setAngle(30.0f);
                if (tesraui::Object* emitter = dataset.tryGetObject("emitter"))
                {
                    emitter->setPosition(2.0f, 3.0f);
                    emitter->setScale(2.0f, 0.5f);
                    emitter->setAngle(-45.0f);
                }
            }
        }
        particle->reset();
        system->reset();
        // The space and its emitter lose what they showed, and bind again to nothing.
        set(system, "filename", "");
        root->update(0.1f);
        root->draw();
    }
    // Loaded systems are kept by file name; the next input has the same one.
    tesraparticle::clearCache();
    return 0;
}
