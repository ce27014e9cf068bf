#include "objects/ItemReceiver.h"

tesraui::Object* ItemReceiver::createInstance(const hstring& name, kavtypes::Rectangle rect)
{
    return new ItemReceiver(name, rect);
}
