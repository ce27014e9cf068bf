#pragma once

#include <quortypes/PropertyTable.h>
#include <quortypes/harray.h>
#include <quortypes/hstring.h>

namespace tesraparticle
{
    // A named part of a system that can be hidden and switched off.
    class ActiveObject
    {
    public:
        explicit ActiveObject(const hstring& name);
        virtual ~ActiveObject() = default;

        virtual harray<PropertyInfo> getPropertyDescriptions() const;
        // False, after a warning, for a name the object does not have.
        bool setProperty(const hstring& name, const hstring& value);

        const hstring& getName() const { return this->name; }
        void setName(const hstring& value) { this->name = value; }
        bool isVisible() const { return this->visible; }
        void setVisible(bool value) { this->visible = value; }
        bool isEnabled() const { return this->enabled; }
        void setEnabled(bool value) { this->enabled = value; }

    protected:
        hstring name;
        bool visible = true;
        bool enabled = true;

    private:
        static const PropertyTable<ActiveObject>& _properties();
    };
} // namespace tesraparticle
