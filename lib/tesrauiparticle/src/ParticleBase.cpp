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

    ParticleBase::~ParticleBase()
    {
        delete this->system;
    }

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

    harray<PropertyInfo> ParticleBase::getPropertyDescriptions() const
    {
        static const harray<PropertyInfo> own = {PropertyInfo("filename", PropertyInfo::STRING),
                                                 PropertyInfo("filepath", PropertyInfo::STRING),
                                                 PropertyInfo("always_enabled", PropertyInfo::BOOL)};
        return tesraui::Object::getPropertyDescriptions() + own;
    }

    hstring ParticleBase::getProperty(const hstring& name)
    {
        if (name == "filename")
            return this->filename;
        if (name == "filepath")
            return this->filepath;
        if (name == "always_enabled")
            return this->alwaysEnabled ? "1" : "0";
        return tesraui::Object::getProperty(name);
    }

    bool ParticleBase::setProperty(const hstring& name, const hstring& value)
    {
        if (name == "filename")
        {
            this->filename = value;
            this->filepath = "";
            this->notifyEvent("SettingsChanged", nullptr);
        }
        else if (name == "filepath")
        {
            this->filepath = value;
            this->filename = "";
            this->notifyEvent("SettingsChanged", nullptr);
        }
        else if (name == "always_enabled")
        {
            this->alwaysEnabled = value.toBool();
        }
        else
        {
            return tesraui::Object::setProperty(name, value);
        }
        return true;
    }

    void ParticleBase::unload()
    {
        delete this->system;
        this->system = nullptr;
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
