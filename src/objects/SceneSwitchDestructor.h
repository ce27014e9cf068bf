#pragma once

#include <quortypes/PropertyTable.h>

#include "TimedObject.h"

namespace vumo
{
    // Deletes its parent when the scene is about to change. "chapter" is kept for the data files that set it;
    // it changes nothing.
    class SceneSwitchDestructor : public TimedObject
    {
    public:
        SceneSwitchDestructor(const hstring& name, kavtypes::Rectangle rect) : TimedObject(name, rect) {}
        static tesraui::Object* createInstance(const hstring& name, kavtypes::Rectangle rect);
        hstring getClassName() const override { return "SceneSwitchDestructor"; }

        harray<PropertyInfo> getPropertyDescriptions() const override;
        hstring getProperty(const hstring& name) override;
        bool setProperty(const hstring& name, const hstring& value) override;
        // Two switches in one frame queue the parent's deletion once.
        void notifyEvent(const hstring& type, void* args) override;

    protected:
        hstring chapter;

    private:
        static const PropertyTable<SceneSwitchDestructor>& _properties();
    };
} // namespace vumo
