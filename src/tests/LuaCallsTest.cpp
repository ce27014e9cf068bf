#include <tesraui/Dataset.h>
#include <tesraui/Object.h>
#include <tesraui/tesraui.h>

#include "LuaTestSupport.h"

using namespace vumo;

using namespace luatest;
using kavtypes::Rectangle;

namespace
{
    // Checks its arguments against the type string in "checked.typeString", then returns "ok".
    int checked(lua_State* L)
    {
        lua_getglobal(L, "typeString");
        const hstring types = lua_tostring(L, -1);
        lua_pop(L, 1);
        LuaInterface::checkArgumentTypes(L, "checked", types.c_str());
        return LuaInterface::push(L, "ok");
    }

    int objectName(lua_State* L)
    {
        return LuaInterface::push(L, LuaInterface::getObject(L, 1)->getFullName());
    }

    // Two datasets, "menu" with "button" and "a.b" with "c", and a scene dataset with "door".
    struct Datasets
    {
        tesraui::Dataset* menu = new tesraui::Dataset("", "menu");
        tesraui::Dataset* ab = new tesraui::Dataset("", "a.b");
        tesraui::Dataset* scene = new tesraui::Dataset("", "scene");
        Datasets()
        {
            menu->registerObjects(new tesraui::Object("button", Rectangle(0, 0, 10, 10)));
            ab->registerObjects(new tesraui::Object("c", Rectangle(0, 0, 10, 10)));
            scene->registerObjects(new tesraui::Object("door", Rectangle(0, 0, 10, 10)));
        }
        ~Datasets()
        {
            delete menu;
            delete ab;
            delete scene;
        }
    };
} // namespace

TEST_F(LuaTest, ArgumentCountsAndTypes)
{
    start();
    LuaInterface::registerFunction(checked, "checked");
    const std::vector<std::tuple<const char*, const char*, std::string>> cases = {
        {"ss", "'a', 1",
         "Error calling checked(string, string), passed argument 2 as a number, expected string"},
        {"ss", "'a', nil", "ok"},
        {"no", "1, {}", "ok"},
        {"no", "1, print",
         "Error calling checked(number, object), passed argument 2 as a function, expected object"},
        {"b", "io.stdout", "ok"},
        {"t?", "{}, print", "ok"},
        // Arguments beyond the letters are taken as "?".
        {"s", "'a', 2, {}", "ok"},
        {"fx", "print, 1", "Error calling checked(function, ?), passed argument 2 as a number, expected ?"},
    };
    for (const auto& [types, args, expected] : cases)
    {
        LuaInterface::execute(hstring("typeString = '") + types + "'");
        const std::string message = pcallMessage(hstring("return checked(") + args + ")");
        EXPECT_EQ(message == "ok" ? message : message.substr(message.find(": ") + 2), expected) << args;
    }
    EXPECT_EQ(pcallMessage("util.include()"),
              "[string \"test\"]:1: Error calling util.include(string, [string]) with 0 arguments, function "
              "expects 1 to 2 arguments)");
    EXPECT_EQ(pcallMessage("util.transformPoint(1, 2)"),
              "[string \"test\"]:1: Error calling util.transformPoint(number, number, object, object) with 2 "
              "arguments, function expects 4 arguments)");
    EXPECT_EQ(LuaInterface::describeSignature("object.create", "ssot", 2),
              "object.create(string, string, [object], [table])");
    EXPECT_EQ(LuaInterface::describeSignature("f", nullptr, 0), "f()");
}

TEST_F(LuaTest, ObjectArguments)
{
    Datasets datasets;
    start();
    LuaInterface::registerFunction(objectName, "objectName");
    const std::vector<std::pair<const char*, std::string>> cases = {
        {"'menu.button'", "menu.button"},
        {"'a.b.c'", "a.b.c"},
        {"{__name = 'menu.button'}", "menu.button"},
        {"'door'", "Unable to get scene object 'door', there's no active scene."},
        {"{}",
         "C++ interface: Unable to convert table to Object instance at stack index 1. The provided object "
         "table is invalid."},
        {"true",
         "C++ interface: Unable to convert boolean to Object instance at stack index 1. Objects should be "
         "referenced as strings or object tables"},
        {"12",
         "C++ interface: Unable to convert number to Object instance at stack index 1. Objects should be "
         "referenced as strings or object tables"},
        {"'menu.nothing'", "Object 'nothing' not found in 'menu' dataset."},
        {"'menu.%d%s%n'", "Object '%d%s%n' not found in 'menu' dataset."},
        {"'nodata.x'", "[tesraui:98] Dataset 'nodata' doesn't exist!"},
    };
    for (const auto& [arg, expected] : cases)
    {
        const std::string message = pcallMessage(hstring("return objectName(") + arg + ")");
        EXPECT_EQ(message.substr(message.find("]:1: ") == std::string::npos ? 0 : message.find("]:1: ") + 5),
                  expected)
            << arg;
    }
    host.scene = reinterpret_cast<Scene*>(&datasets);
    EXPECT_EQ(
        pcallMessage("return objectName('door')"),
        "[string \"test\"]:1: Unable to get scene object 'door', active scene's dataset isn't initialised.");
    host.dataset = datasets.scene;
    EXPECT_EQ(eval("return objectName('door')"), "scene.door");
    EXPECT_EQ(pcallMessage("return objectName('%d%s%n')"),
              "[string \"test\"]:1: Scene object '%d%s%n' not found.");

    // Object tables: the full name as a raw field and the shared metatable.
    LuaInterface::execute("__object__metatable = {}");
    LuaInterface::pushObject(L(), datasets.menu->getObject("button"));
    lua_setglobal(L(), "pushed");
    EXPECT_EQ(eval("return pushed, rawget(pushed, '__name'), getmetatable(pushed) == __object__metatable"),
              "{ __name: menu.button }|menu.button|true");
    LuaInterface::pushObject(L(), nullptr);
    EXPECT_TRUE(lua_isnil(L(), -1));
    lua_pop(L(), 1);
}

TEST_F(LuaTest, DottedRegistrationMakesMissingTablesOnly)
{
    start();
    LuaInterface::execute("x = {keep = 1}");
    LuaInterface::registerFunction(checked, "x.y.z");
    LuaInterface::beginClassMethods("object.Thing");
    LuaInterface::registerMethod(checked, "play");
    LuaInterface::endClassMethods();
    LuaInterface::registerMethod(checked, "plain");
    EXPECT_EQ(eval("return x.keep, type(x.y.z), ___x___y___z, type(object.Thing.play), type(plain)"),
              "1|function|nil|function|function");
}

TEST_F(LuaTest, ConversionsAndTableFields)
{
    start();
    lua_State* state = L();
    // Property values by type code: 0 to 3 numbers, 4 a boolean, the rest strings.
    for (const auto& [value, code, expected] :
         std::vector<std::tuple<hstring, int, std::string>>{{"2.5", 1, "number 2.500000"},
                                                            {"0", 4, "boolean false"},
                                                            {"false", 4, "boolean false"},
                                                            {"no", 4, "boolean true"},
                                                            {"12", 7, "string 12"}})
    {
        LuaInterface::pushTyped(state, value, code);
        EXPECT_EQ(luaL_typename(state, -1) + std::string(" ") + LuaInterface::dumpValue(state, -1), expected);
        lua_pop(state, 1);
    }
    LuaInterface::execute("t = {n = 4, b = true}");
    LuaInterface::registerFunction(
        [](lua_State* L)
        {
            lua_getglobal(L, "t");
            const int t = lua_gettop(L);
            hstring out = "unchanged";
            const bool found = LuaInterface::getTableString(L, -1, lua_tostring(L, 1), out);
            LuaInterface::push(L, found ? out : hstring("-"));
            LuaInterface::push(L, LuaInterface::getTableStringOr(L, t, lua_tostring(L, 1), "dflt"));
            if (lua_toboolean(L, 2))
                LuaInterface::push(L, LuaInterface::getTableValueString(L, t, lua_tostring(L, 1)));
            else
                LuaInterface::push(L, LuaInterface::getTableNumberRequired(L, t, lua_tostring(L, 1)));
            return 3;
        },
        "field");
    EXPECT_EQ(eval("return field('n', false)"), "4|4|4");
    EXPECT_EQ(eval("return field('b', true)"), "-|true|true");
    EXPECT_EQ(pcallMessage("field('x', true)"), "[string \"test\"]:1: No key in Lua table: x");
    EXPECT_EQ(pcallMessage("field('x', false)"), "[string \"test\"]:1: No key in Lua table: 'x'");
    LuaInterface::registerFunction(
        [](lua_State* L) { return LuaInterface::push(L, LuaInterface::toString(L, 1)); }, "str");
    EXPECT_EQ(pcallMessage("str({})"),
              "[string \"test\"]:1: C++ interface: Unable to convert table to string at stack index 1");
}

TEST_F(LuaTest, LiteralsRoundTripAnyBytes)
{
    start();
    EXPECT_EQ(LuaInterface::literal("door"), "\"door\"");
    EXPECT_EQ(LuaInterface::literal("door", '\''), "'door'");
    const hstring awkward("a\"b'c\\d\ne\rf\0"
                          "1g",
                          13);
    for (char quote : {'"', '\''})
    {
        LuaInterface::execute("value = " + LuaInterface::literal(awkward, quote));
        lua_getglobal(L(), "value");
        size_t length = 0;
        const char* text = lua_tolstring(L(), -1, &length);
        EXPECT_EQ(hstring(text, (int)length), awkward);
        lua_pop(L(), 1);
    }
}

TEST_F(LuaTest, UserdataTypes)
{
    start();
    static const LuaInterface::NamedFunction methods[] = {
        {"size", [](lua_State* L) { return LuaInterface::push(L, (int)lua_objlen(L, 1)); }},
        {nullptr, nullptr}};
    static const LuaInterface::NamedFunction metamethods[] = {
        {"__tostring", [](lua_State* L) { return LuaInterface::push(L, "box"); }}, {nullptr, nullptr}};
    LuaInterface::registerUserdataType("box", methods, metamethods, true,
                                       [](lua_State* L)
                                       {
                                           lua_newuserdata(L, (size_t)lua_tonumber(L, 2));
                                           luaL_getmetatable(L, "box");
                                           lua_setmetatable(L, -2);
                                           return 1;
                                       });
    const int top = lua_gettop(L());
    EXPECT_EQ(eval("local b = box(6) return b:size(), tostring(b), getmetatable(b) == box"), "6|box|true");
    EXPECT_EQ(lua_gettop(L()), top);
}
