#include "objects/ItemReceiver.h"

namespace vumo
{
    tesraui::Object* ItemReceiver::createInstance(const hstring& name, kavtypes::Rectangle rect)
    {
        return new ItemReceiver(name, rect);
    }
} // namespace vumo
