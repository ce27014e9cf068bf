#include <memory>

#include <quortypes/Dir.h>
#include <tesraparticle/System.h>
#include <tesraparticle/tesraparticle.h>
#include <tesraui/Dataset.h>
#include <tesrauiparticle/ParticleBase.h>
#include <tesrauiparticle/tesrauiparticle.h>

#include "module.h"

namespace tesrauiparticle
{
    ParticleBase::ParticleBase(const hstring& name, kavtypes::Rectangle rect) : tesraui::Object(name, rect) {}

    ParticleBase::~ParticleBase() = default;

    void ParticleBase::notifyEvent(const hstring& type, void* args)
    {
        if (type == "SettingsChanged")
        {
            if (this->filename == "" && this->filepath == "")
                this->unload();
            else if (!this->alwaysEnabled && !isModuleEnabled())
                this->unload();
            else
                this->load();
        }
        else if (type == "Resized")
        {
            this->resizeEmitters();
        }
        tesraui::Object::notifyEvent(type, args);
    }

    QUORTYPES_PROPERTY_TABLE_DESCRIPTIONS_BASE_FIRST(ParticleBase, tesraui::Object, _properties)
    QUORTYPES_PROPERTY_TABLE_GET_SET(ParticleBase, tesraui::Object, _properties)

    const PropertyTable<ParticleBase>& ParticleBase::_properties()
    {
        static const PropertyTable<ParticleBase> table = {
            {"filename", PropertyInfo::STRING, [](ParticleBase& p) { return p.filename; },
             [](ParticleBase& p, const hstring& value)
             {
                 p.filename = value;
                 p.filepath = "";
                 p.notifyEvent("SettingsChanged", nullptr);
             }},
            {"filepath", PropertyInfo::STRING, [](ParticleBase& p) { return p.filepath; },
             [](ParticleBase& p, const hstring& value)
             {
                 p.filepath = value;
                 p.filename = "";
                 p.notifyEvent("SettingsChanged", nullptr);
             }},
            {"always_enabled", PropertyInfo::BOOL,
             [](ParticleBase& p) { return hstring(p.alwaysEnabled ? "1" : "0"); },
             [](ParticleBase& p, const hstring& value) { p.alwaysEnabled = value.toBool(); }},
        };
        return table;
    }

    void ParticleBase::unload()
    {
        this->system.reset();
    }

    void ParticleBase::reset()
    {
        if (this->system != nullptr)
        {
            this->system->reset();
        }
    }

    void ParticleBase::load()
    {
        if (this->system != nullptr)
        {
            return;
        }
        hstring path = this->filepath;
        if (path == "")
        {
            path = getDefaultPath() != "" ? quortypes::Dir::joinPath(getDefaultPath(), this->filename)
                                          : this->filename;
        }
        if (this->dataset != nullptr && this->dataset->getFolderPath() != "")
        {
            path = quortypes::Dir::joinPath(this->dataset->getFolderPath(), path);
        }
        this->system = tesraparticle::loadSystem(quortypes::Dir::normalize(path));
        this->resizeEmitters();
    }

    void ParticleBase::resizeEmitters()
    {
        if (this->system != nullptr)
        {
            resizeEmitterBoxes(this->system->getEmitters(), this->rect.w, this->rect.h);
        }
    }
} // namespace tesrauiparticle
