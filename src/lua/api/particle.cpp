#include <tesrauiparticle/Particle.h>
#include <tesrauiparticle/ParticleSystem.h>

#include "lua/Calls.h"
#include "lua/api/registrars.h"

namespace vumo
{
    namespace LuaInterface
    {
        // Restarts the spaces of a Particle object's system.
        class reset : public LuaCppFunction
        {
        public:
            void execute() override { getObjectOf<tesrauiparticle::Particle>(1)->reset(); }
        };

        // The same for a ParticleSystem object, whose reset restarts its own system.
        class resetParticleSystem : public LuaCppFunction
        {
        public:
            void execute() override { getObjectOf<tesrauiparticle::ParticleSystem>(1)->reset(); }
        };

        void registerParticleMethods()
        {
            beginClassMethods("object.Particle");
            registerMethod(callFunctor<reset>, "reset");
            endClassMethods();
            beginClassMethods("object.ParticleSystem");
            registerMethod(callFunctor<resetParticleSystem>, "reset");
            endClassMethods();
        }
    } // namespace LuaInterface
} // namespace vumo
