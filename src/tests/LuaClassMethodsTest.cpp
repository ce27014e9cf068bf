#include <tesraui/Dataset.h>
#include <tesraui/Object.h>

#include "LuaTestSupport.h"

using namespace vumo;

using namespace luatest;
using kavtypes::Rectangle;

namespace
{
    // A class that exists only here, with methods of its own for scripts.
    class Gadget : public tesraui::Object
    {
    public:
        explicit Gadget(const hstring& name) : tesraui::Object(name, Rectangle(0, 0, 10, 10)) {}
        hstring getClassName() const override { return "Gadget"; }
        int pokes = 0;
    };

    class poke : public LuaInterface::LuaCppFunction
    {
    public:
        void execute() override { ++this->getObjectOf<Gadget>(1)->pokes; }
    };

    class visible : public LuaInterface::LuaCppFunction
    {
    public:
        void execute() override
        {
            lua_pushstring(this->state, "the method");
            this->results = 1;
        }
    };

    void registerGadgetMethods()
    {
        LuaInterface::beginClassMethods("object.Gadget");
        LuaInterface::registerMethod(LuaInterface::callFunctor<poke>, "poke");
        LuaInterface::registerMethod(LuaInterface::callFunctor<visible>, "visible");
        LuaInterface::endClassMethods();
    }

    struct Workshop
    {
        tesraui::Dataset dataset{"", "shop"};
        Gadget* gadget = new Gadget("gadget");
        tesraui::Object* plain = new tesraui::Object("plain", Rectangle(0, 0, 1, 1));
        Workshop()
        {
            dataset.registerObjects(gadget);
            dataset.registerObjects(plain);
        }
    };
} // namespace

TEST_F(LuaTest, ClassMethodsComeAfterObjectFunctionsAndBeforeProperties)
{
    start();
    registerGadgetMethods();
    Workshop shop;
    LuaInterface::execute("g = object.getObject('shop.gadget') p = object.getObject('shop.plain')");

    EXPECT_EQ(eval("g:poke() g.poke('shop.gadget') return type(object.Gadget.poke)"), "function");
    EXPECT_EQ(shop.gadget->pokes, 2);
    // "visible" is a property of every object, but the class's method wins for gadgets.
    EXPECT_EQ(eval("return g:visible(), object.getProperty(g, 'visible'), p.visible"),
              "the method|true|true");
    // An object function wins over both.
    EXPECT_EQ(eval("return g.getObject == object.getObject, g.x, g.nonsense, g.type"), "true|0|nil|Gadget");
    EXPECT_EQ(pcallMessage("object.Gadget.poke('shop.plain')"), "[string \"test\"]:1: Class mismatch");
    EXPECT_EQ(eval("return p.poke"), "nil");
    EXPECT_EQ(shop.gadget->pokes, 2);
}
