#include <quortypes/Log.h>
#include <tesra/tesra.h>
#include <tesraparticle/ActiveObject.h>
#include <tesraparticle/tesraparticle.h>

namespace tesraparticle
{
    ActiveObject::ActiveObject(const hstring& name)
        : name(name != "" ? name : tesra::generateName("ActiveObject"))
    {
    }

    harray<PropertyInfo> ActiveObject::getPropertyDescriptions() const
    {
        static const harray<PropertyInfo> own = {PropertyInfo("name", PropertyInfo::STRING),
                                                 PropertyInfo("visible", PropertyInfo::BOOL),
                                                 PropertyInfo("enabled", PropertyInfo::BOOL)};
        return own;
    }

    bool ActiveObject::setProperty(const hstring& name, const hstring& value)
    {
        if (name == "name")
        {
            this->name = value;
        }
        else if (name == "visible")
        {
            this->visible = value.toBool();
        }
        else if (name == "enabled")
        {
            this->enabled = value.toBool();
        }
        else
        {
            quortypes::Log::warnf(logTag, "Property '%s' does not exist in '%s'!", name.c_str(),
                                  this->name.c_str());
            return false;
        }
        return true;
    }
} // namespace tesraparticle
