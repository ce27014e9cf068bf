#include "PausableObject.h"

#include "Session.h"

namespace vumo
{
    tesraui::Object* PausableObject::createInstance(const hstring& name, kavtypes::Rectangle rect)
    {
        return new PausableObject(name, rect);
    }

    void PausableObject::update(float timeDelta)
    {
        tesraui::Object::update(Session::isPaused() ? 0.0f : timeDelta);
    }
} // namespace vumo
