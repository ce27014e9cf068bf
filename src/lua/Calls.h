#pragma once

#include <quortypes/harray.h>
#include <quortypes/hstring.h>
#include <tesrauilua/tesrauilua.h>

namespace tesraui
{
    class Object;
}

namespace vumo
{
    // How native functions meet Lua: registration behind the one exception boundary, argument checks with
    // their messages, conversions, object references and Lua text built from data.
    namespace LuaInterface
    {
        // The binding layer the engine shares with the libraries above the UI framework.
        using tesrauilua::checkArgs;
        using tesrauilua::checkArgsExact;
        using tesrauilua::checkArgumentTypes;
        using tesrauilua::checkOptionalTableArgument;
        using tesrauilua::checkTableArgument;
        using tesrauilua::describeSignature;
        using tesrauilua::findObject;
        using tesrauilua::getObject;
        using tesrauilua::getTableNumber;
        using tesrauilua::getTableNumberRequired;
        using tesrauilua::getTableString;
        using tesrauilua::getTableStringOr;
        using tesrauilua::getTableValueString;
        using tesrauilua::isRegisteredFunction;
        using tesrauilua::literal;
        using tesrauilua::push;
        using tesrauilua::pushFunction;
        using tesrauilua::pushObject;
        using tesrauilua::pushStrings;
        using tesrauilua::pushTyped;
        using tesrauilua::raiseLuaError;
        using tesrauilua::registerFunction;
        using tesrauilua::toBool;
        using tesrauilua::toInt;
        using tesrauilua::toString;

        // Bare object names from then on name objects of the active scene's dataset; init calls it.
        void installSceneObjectResolver();

        // On the global state; a dotted name creates the missing tables along its path.
        void registerFunction(lua_CFunction function, const hstring& name);
        // Methods of a UI object class, reached through object tables: beginClassMethods("object." + class
        // name), registerMethod(callFunctor<F>, name) for each method, endClassMethods().
        void beginClassMethods(const hstring& prefix);
        void endClassMethods();
        void registerMethod(lua_CFunction function, const hstring& name);

        struct NamedFunction
        {
            const char* name;
            lua_CFunction function;
        };
        // Both lists end with an entry whose name is null.
        void registerUserdataType(const hstring& typeName, const NamedFunction* methods,
                                  const NamedFunction* metamethods, bool methodsAsIndex,
                                  lua_CFunction constructor = nullptr);

        // Both arguments strings, for the string table's functions.
        void checkTwoStrings(lua_State* L);
        // The number argument; a NaN or an infinity raises "<function> failed, NaN/INF value passed as
        // argument <index>.", since what it would reach (a position, a gain, a size) never clears it again.
        float finiteArgument(lua_State* L, int index, const hstring& functionName);
        // The number argument where an infinity has a plain meaning (a speed that ends at once, a delay
        // that never runs out) and only NaN has none: it raises "<function> failed, NaN value passed as
        // argument <index>."
        float numberArgument(lua_State* L, int index, const hstring& functionName);

        // Native code called from Lua as an object: a subclass implements execute, reads its arguments
        // from state and sets results.
        class LuaCppFunction
        {
        public:
            virtual ~LuaCppFunction() = default;
            virtual void execute() = 0;

            int call(lua_State* L);
            [[noreturn]] void error(const hstring& message);
            tesraui::Object* getObject(int index);
            // The object argument as a T; an object of another class raises "Class mismatch".
            template <class T> T* getObjectOf(int index)
            {
                T* result = dynamic_cast<T*>(this->getObject(index));
                if (result == nullptr)
                {
                    this->error("Class mismatch");
                }
                return result;
            }

        protected:
            lua_State* state = nullptr;
            int results = 0;
        };

        // The native function of a functor-form method (registerMethod): a fresh functor for every call.
        template <class Functor> int callFunctor(lua_State* L)
        {
            Functor functor;
            return functor.call(L);
        }

        // Lua's own global error, behind the caller's position.
        class error : public LuaCppFunction
        {
        public:
            void execute() override;
        };
    } // namespace LuaInterface
} // namespace vumo
