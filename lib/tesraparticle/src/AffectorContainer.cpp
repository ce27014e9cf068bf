#include <tesraparticle/Affector.h>
#include <tesraparticle/AffectorContainer.h>

namespace tesraparticle
{
    bool AffectorContainer::addAffector(Affector* affector)
    {
        if (this->affectors.indexesOf(affector).size() > 0)
        {
            return false;
        }
        this->affectors.push_back(affector);
        return true;
    }

    Affector* AffectorContainer::getAffector(const hstring& name) const
    {
        for (Affector* affector : this->affectors)
        {
            if (affector->getName() == name)
            {
                return affector;
            }
        }
        return nullptr;
    }
} // namespace tesraparticle
