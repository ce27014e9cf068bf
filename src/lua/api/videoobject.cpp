#include "lua/Calls.h"
#include "lua/api/registrars.h"
#include "objects/VumoVideoObject.h"

namespace vumo
{
    namespace LuaInterface
    {
        // The methods of video objects: object.VideoObject.play, pause and stop.
        class play : public LuaCppFunction
        {
        public:
            void execute() override { this->getObjectOf<VumoVideoObject>(1)->play(); }
        };

        class pause : public LuaCppFunction
        {
        public:
            void execute() override { this->getObjectOf<VumoVideoObject>(1)->pause(); }
        };

        class stop : public LuaCppFunction
        {
        public:
            void execute() override { this->getObjectOf<VumoVideoObject>(1)->stop(); }
        };

        void registerVideoObjectMethods()
        {
            beginClassMethods("object.VideoObject");
            registerMethod(callFunctor<play>, "play");
            registerMethod(callFunctor<pause>, "pause");
            registerMethod(callFunctor<stop>, "stop");
            endClassMethods();
        }
    } // namespace LuaInterface
} // namespace vumo
