#pragma once

#include <memory>

#include <quortypes/PropertyTable.h>
#include <tesraui/Object.h>

namespace tesraparticle
{
    class System;
}

namespace tesrauiparticle
{
    // A UI object that loads a particle system file when "filename" or "filepath" is set, and owns the
    // system.
    class ParticleBase : public tesraui::Object
    {
    public:
        ParticleBase(const hstring& name, kavtypes::Rectangle rect);
        ~ParticleBase() override;

        // "SettingsChanged" loads or unloads; "Resized" fits the emitters to the object.
        void notifyEvent(const hstring& type, void* args) override;
        hstring getClassName() const override { return "ParticleBase"; }
        harray<PropertyInfo> getPropertyDescriptions() const override;
        hstring getProperty(const hstring& name) override;
        // Setting a file name loads at once, and throws what loading throws.
        bool setProperty(const hstring& name, const hstring& value) override;

        virtual void unload();
        // Restarts every space.
        virtual void reset();
        // Does nothing while a system is loaded.
        virtual void load();
        // The first emitter's box takes the object's size; the other emitters keep their proportion to it.
        virtual void resizeEmitters();

        const hstring& getFilename() const { return this->filename; }
        const hstring& getFilepath() const { return this->filepath; }
        bool isAlwaysEnabled() const { return this->alwaysEnabled; }
        tesraparticle::System* getSystem() const { return this->system.get(); }
        bool isLoaded() const { return this->system != nullptr; }

    protected:
        hstring filename;
        hstring filepath;
        bool alwaysEnabled = false;
        std::unique_ptr<tesraparticle::System> system;

    private:
        static const PropertyTable<ParticleBase>& _properties();
    };
} // namespace tesrauiparticle
