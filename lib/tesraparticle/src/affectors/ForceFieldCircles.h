#pragma once

#include <tesra/Vertex.h>

namespace tesraparticle
{
    namespace Affectors
    {
        // Unit circles in the planes xy, yz and xz, 91 points each, for the force field's debug drawing.
        extern tesra::PlainVertex forceFieldCircles[3][91];
        void prepareForceFieldCircles();
    } // namespace Affectors
} // namespace tesraparticle
