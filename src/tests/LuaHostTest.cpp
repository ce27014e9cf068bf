#include <cstdio>
#include <string>
#include <vector>

#include <tesra/tesra.h>

#include "LuaTestSupport.h"

using namespace vumo;

using namespace luatest;

namespace
{
    // Each library file adds its name to the global list "order".
    std::string script(const std::string& name)
    {
        return "order = (order or '') .. '" + name + ";'";
    }
} // namespace

TEST_F(LuaTest, StartUpOpensLibrariesThenNamespacesThenStartCodeThenLibraryScripts)
{
    Session::getConfig()["-e"] = "order = 'e;'";
    write("data/lib/a.lua", script("a"));
    LogCapture log;
    start();
    const Lines expected = {"[vumo] initializing Lua interpreter",
                            "[vumo] initializing lua package: ",
                            "[vumo] initializing lua package: table",
                            "[vumo] initializing lua package: math",
                            "[vumo] initializing lua package: string",
                            "[vumo] initializing lua package: debug",
                            "[vumo] initializing lua package: io",
                            "[vumo] initializing lua package: os",
                            "[vumo] initializing lua package: package",
                            "[vumo] creating lua-vumo namespaces",
                            "[vumo] registering lua-vumo interface functions",
                            "[vumo] loading scripts from data/lib",
                            "[vumo] loading data/lib/a.lua"};
    EXPECT_EQ(log.take(), expected);
    EXPECT_EQ(eval("return order"), "e;a;");
    // Base functions are globals; ui reads through to them; the coroutine functions came with base.
    EXPECT_EQ(eval("return type(print), type(ui.print), type(coroutine.create), type(vumo), type(cfg)"),
              "function|function|function|table|table");
    EXPECT_EQ(LuaInterface::getVersion(), "Lua 5.1.5");
}

TEST_F(LuaTest, LibraryScriptsRunInByteOrderDepthFirstSkippingOtherEntries)
{
    write("data/lib/d.lua", script("d"));
    write("data/lib/c/a.lua", script("c/a"));
    write("data/lib/c/B.lua", script("c/B"));
    write("data/lib/b.lua", script("b"));
    write("data/lib/notes.txt", "this is not Lua");
    write("data/lib/x.y/z.lua", script("x.y/z"));
    write("data/lib/C.lua", script("C"));
    start();
    EXPECT_EQ(eval("return order"), "C;b;c/B;c/a;d;");
}

TEST_F(LuaTest, EmptyLibraryFolderAndFailingStartCode)
{
    Session::getConfig()["-e"] = "x = 1; error('bad start')";
    start();
    const Lines journal = host.take();
    ASSERT_EQ(journal.size(), 1u);
    EXPECT_NE(journal[0].find("fatal: "), std::string::npos);
    EXPECT_NE(journal[0].find("bad start"), std::string::npos);
    // Start-up went on after the report.
    EXPECT_EQ(eval("return x, order"), "1|nil");
}

TEST_F(LuaTest, LibraryFileIsReadWholeWithoutChangingBytes)
{
    // Empty, one 64 KiB block less a byte or whole, and longer, each with a byte-order mark kept as it is.
    std::vector<std::string> bodies;
    for (size_t size : {0, 65535, 65536, 70003})
    {
        bodies.push_back(size == 0 ? std::string() : "\xEF\xBB\xBF" + std::string(size - 3, 'x'));
        write("data/lib/big" + std::to_string(size) + ".txt", bodies.back());
    }
    start();
    for (const std::string& body : bodies)
    {
        EXPECT_EQ(LuaInterface::loadLuaFile(("data/lib/big" + std::to_string(body.size()) + ".txt").c_str()),
                  body);
    }
    EXPECT_NE(thrownBy([] { LuaInterface::loadLuaFile("data/lib/none.lua"); })
                  .find("] Lua file 'data/lib/none.lua' not found"),
              std::string::npos);
}

using LuaHostDeathTest = LuaTest;

TEST_F(LuaHostDeathTest, SyntaxErrorInLibraryScriptShowsTheBoxAndEndsTheProgram)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    write("data/lib/a.lua", "x = = 1");
    write("data/lib/b.lua", "ran_b = true");
    EXPECT_EXIT(
        {
            setenv(tesra::messageBoxAnswerVariable, "ok", 1);
            quortypes::Log::setCallback([](const hstring&, const hstring& text)
                                        { fprintf(stderr, "%s\n", text.c_str()); });
            LuaInterface::init();
            fprintf(stderr, "start-up went on\n");
        },
        ::testing::ExitedWithCode(1),
        "Message box 'Scripting Error!': '<data/lib/a.lua>:1: unexpected symbol near '='\n"
        "Context: data/lib/a.lua\nC\\+\\+ file: Execute.cpp:[0-9]+' \\(not shown, answered OK\\)\n$");
}

TEST_F(LuaTest, DestroyClearsTheStateAndInitWorksAgain)
{
    start();
    LuaInterface::execute("x = 5");
    LuaInterface::destroy();
    EXPECT_EQ(LuaInterface::state, nullptr);
    LuaInterface::destroy(); // nothing left to close
    start();
    EXPECT_EQ(eval("return x, type(util.irand)"), "nil|function");
}
