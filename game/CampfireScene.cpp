#include "CampfireScene.h"

#include <quortypes/Log.h>
#include <quortypes/exception.h>
#include <tesrauiparticle/Particle.h>

#include "Session.h"

using namespace vumo;

namespace
{
    Scene* create(Chapter* chapter, const hstring& name, const hstring& fileName)
    {
        return new CampfireScene(chapter, name, fileName);
    }
} // namespace

void CampfireScene::registerType()
{
    Scene::registerFactory("campfire.scene", &create);
}

void CampfireScene::onActivate()
{
    Scene::onActivate();
    if (this->getRootObject() == nullptr)
    {
        return;
    }
    // The emitter's base is as wide as the object, at the foot of the left hill.
    tesrauiparticle::Particle* fire =
        new tesrauiparticle::Particle(this->getFullName() + "_fire", kavtypes::Rectangle(192, 440, 16, 4));
    this->attachObject(fire);
    try
    {
        // Relative to the chapter's folder, where the object now belongs.
        fire->setProperty("filepath", "../../particles/fire.xml");
    }
    catch (const quortypes::exception& e)
    {
        // Without its fire the scene still works.
        quortypes::Log::error(Session::logTag, e.getMessage());
    }
}
