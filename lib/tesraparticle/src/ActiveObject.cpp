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
        return _properties().getDescriptions();
    }

    bool ActiveObject::setProperty(const hstring& name, const hstring& value)
    {
        return _properties().set(*this, name, value,
                                 [&]
                                 {
                                     quortypes::Log::warnf(logTag, "Property '%s' does not exist in '%s'!",
                                                           name.c_str(), this->name.c_str());
                                     return false;
                                 });
    }

    const PropertyTable<ActiveObject>& ActiveObject::_properties()
    {
        static const PropertyTable<ActiveObject> table = {
            {"name", PropertyInfo::STRING, nullptr,
             [](ActiveObject& o, const hstring& value) { o.name = value; }},
            {"visible", PropertyInfo::BOOL, nullptr,
             [](ActiveObject& o, const hstring& value) { o.visible = value.toBool(); }},
            {"enabled", PropertyInfo::BOOL, nullptr,
             [](ActiveObject& o, const hstring& value) { o.enabled = value.toBool(); }},
        };
        return table;
    }
} // namespace tesraparticle
