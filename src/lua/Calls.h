#pragma once

#include <quortypes/harray.h>
#include <quortypes/hstring.h>

struct lua_State;
typedef int (*lua_CFunction)(lua_State* L);

namespace tesraui
{
    class Object;
}

// How native functions meet Lua: registration behind the one exception boundary, argument checks with
// their messages, conversions, object references and Lua text built from data.
namespace LuaInterface
{
    // Every registered function runs inside this boundary: quortypes::exception and std::exception
    // become Lua errors carrying their text.
    void pushFunction(lua_State* L, lua_CFunction function);

    // True when the value at index is a function that registerFunction, registerMethod or
    // registerUserdataType put there, as opposed to Lua's own or a script's.
    bool isRegisteredFunction(lua_State* L, int index);
    // A dotted name creates the missing tables along its path.
    void registerFunction(lua_CFunction function, const hstring& name);
    void registerFunction(lua_State* L, lua_CFunction function, const hstring& name);
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

    // Argument checks; on failure they raise a Lua error and do not return. A null type string skips
    // the type check.
    void checkArgs(lua_State* L, int min, int max, const hstring& functionName, const char* typeString);
    void checkArgsExact(lua_State* L, int count, const hstring& functionName, const char* typeString);
    void checkArgumentTypes(lua_State* L, const hstring& functionName, const char* typeString);
    void checkTwoStrings(lua_State* L);
    // A "t" argument about to be walked: the type check lets nil and userdata through, so anything but
    // a table raises the type message here. The optional form answers false for nil or an absent one.
    void checkTableArgument(lua_State* L, int index, const hstring& functionName, const char* typeString);
    bool checkOptionalTableArgument(lua_State* L, int index, const hstring& functionName,
                                    const char* typeString);
    hstring describeSignature(const hstring& functionName, const char* typeString, int firstOptional);

    // Raises message as a Lua error behind the caller's position.
    [[noreturn]] void raiseLuaError(lua_State* L, const hstring& message);

    hstring toString(lua_State* L, int index, const hstring& errorMessage = "");
    bool toBool(lua_State* L, int index);
    // A number as an int, clamped to the int range; NaN and non-numbers give 0.
    int toInt(lua_State* L, int index);
    tesraui::Object* getObject(lua_State* L, int index);
    tesraui::Object* findObject(lua_State* L, const hstring& name);
    int pushObject(lua_State* L, tesraui::Object* object);
    int push(lua_State* L, const hstring& value);
    int push(lua_State* L, const char* value);
    int push(lua_State* L, float value);
    int push(lua_State* L, bool value);
    int push(lua_State* L, int value);
    int pushStrings(lua_State* L, const harray<hstring>& values);
    // A property value as its declared type code: 0 to 3 numbers, 4 a boolean, the rest strings.
    int pushTyped(lua_State* L, const hstring& value, int typeCode);

    // Fields of the table at index; each leaves the stack as it was.
    bool getTableString(lua_State* L, int index, const hstring& key, hstring& out);
    hstring getTableStringOr(lua_State* L, int index, const hstring& key, const hstring& defaultValue);
    hstring getTableValueString(lua_State* L, int index, const hstring& key);
    float getTableNumber(lua_State* L, int index, const hstring& key, float defaultValue);
    float getTableNumberRequired(lua_State* L, int index, const hstring& key);

    // Data as a Lua string literal between the given quotes: backslash, both quotes, line breaks and
    // zero bytes escaped. Every piece of data pasted into Lua text goes through here.
    hstring literal(const hstring& text, char quote = '"');

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
