#pragma once

#include <quortypes/harray.h>
#include <quortypes/hstring.h>

namespace tesraparticle
{
    class Affector;

    // An ordered list of affectors; whether it owns them is up to the class that holds it.
    class AffectorContainer
    {
    public:
        virtual ~AffectorContainer() = default;

        // False, changing nothing, when the affector is listed already.
        bool addAffector(Affector* affector);
        // The first listed affector of that name, or null.
        Affector* getAffector(const hstring& name) const;
        const harray<Affector*>& getAffectors() const { return this->affectors; }

    protected:
        harray<Affector*> affectors;
    };
} // namespace tesraparticle
