#include <tesra/RenderSystem.h>
#include <tesra/tesra.h>
#include <tesraparticle/System.h>
#include <tesrauiparticle/Particle.h>

#include "module.h"

namespace tesrauiparticle
{
    tesraui::Object* Particle::createInstance(const hstring& name, kavtypes::Rectangle rect)
    {
        return new Particle(name, rect);
    }

    void Particle::update(float timeDelta)
    {
        if (this->system != nullptr)
        {
            this->system->setEnabled(this->isDerivedEnabled());
            this->system->update(timeDelta);
        }
        ParticleBase::update(timeDelta);
    }

    void Particle::_draw()
    {
        kavtypes::Rectangle rect = this->getDrawRect();
        if (this->system != nullptr)
        {
            this->system->setVisible(this->isDerivedVisible());
            kavtypes::Vector2 center = rect.getCenter();
            this->system->draw(center.x, center.y, this->getDerivedColor());
            tesra::rendersys->setTextureBlendMode(tesra::BlendMode::DEFAULT);
        }
        drawDebugRect(rect);
    }
} // namespace tesrauiparticle
