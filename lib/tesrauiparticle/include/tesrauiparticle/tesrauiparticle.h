#pragma once

#include <quortypes/hstring.h>

namespace tesrauiparticle
{
    // The tag of the library's log lines.
    extern const hstring logTag;

    // Registers the object factories "Particle", "ParticleEmitter", "ParticleSpace" and "ParticleSystem".
    void init();
    // The UI library's shut-down removes the factories.
    void destroy();
    // The folder that "filename" is read under.
    hstring getDefaultPath();
} // namespace tesrauiparticle
