#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "LuaTestSupport.h"

using namespace luatest;

namespace
{
    // Each expression with the start of what it gives (dumpValue form), or of the error it raises without
    // the chunk's position, up to the error's first line.
    typedef std::vector<std::pair<std::string, std::string>> Cases;
} // namespace

class NativeGuards : public LuaTest
{
protected:
    void check(const Cases& cases)
    {
        for (const auto& [expression, expected] : cases)
        {
            std::string got;
            try
            {
                got = eval("return " + expression);
            }
            catch (const quortypes::exception& e)
            {
                const std::string message = e.getMessage();
                const size_t at = message.find(">:1: ");
                got = "error: " + (at == std::string::npos ? message : message.substr(at + 5));
                got = got.substr(0, got.find('\n'));
            }
            EXPECT_EQ(got.substr(0, expected.size()), expected) << expression << " gave " << got;
        }
    }
};

// A script made a userdata pass for a file (debug.setmetatable of a proxy or a gvec2 to the files'
// metatable, and fake:seek crashed in fseek), reached what native functions keep in their upvalues, their
// environments and the registry (newproxy's list of proxy metatables, a coroutine of coroutine.wrap, the io
// functions' default files, what closes a file, the files' metatable by its name) or replaced what a native
// function had checked on its stack. Each is refused now, and the rest of the library works as Lua's.
TEST_F(NativeGuards, TheDebugLibraryReachesNoNativeCodesValues)
{
    start();
    check({
        {"debug.setmetatable(newproxy(false), debug.getmetatable(io.stdout))",
         "error: debug.setmetatable: a userdata keeps the metatable of its type"},
        {"debug.setmetatable(gvec2(1e-300, 1e-300), debug.getmetatable(io.stdout))",
         "error: debug.setmetatable: a userdata keeps the metatable of its type"},
        {"debug.setmetatable(io.stdout, nil)", "error: debug.setmetatable: a userdata keeps the metatable"},
        {"debug.getregistry()", "error: debug.getregistry: the registry holds native code's own types"},
        {"debug.getupvalue(newproxy, 1)", "error: debug.getupvalue: a native function's upvalues"},
        {"debug.setupvalue(coroutine.wrap(function() end), 1, 5)", "error: debug.setupvalue: a native"},
        {"debug.setupvalue(io.stdin:lines(), 1, newproxy(false))", "error: debug.setupvalue: a"},
        {"debug.setupvalue(gvec2.length, 1, 5)", "error: debug.setupvalue: a native function's upvalues"},
        {"debug.getfenv(io.write)", "error: debug.getfenv: a native function's upvalues and environment"},
        {"debug.getfenv(io.stdout)", "error: debug.getfenv: a userdata's environment is its type's own"},
        {"debug.setfenv(io.stdout, {})", "error: debug.setfenv: a userdata's environment is its type's own"},
        {"debug.setfenv(io.write, {})", "error: debug.setfenv: a native function's upvalues and environment"},
        {"table.sort({3, 1, 2}, function(a, b) debug.setlocal(2, 1, newproxy(false)) return a < b end)",
         "error: debug.setlocal: the level is a native function, whose stack is its own"},
        {"(select(2, pcall(function() local t = {2, 1} table.sort(t, function(a, b) "
         "error(select(2, pcall(debug.getlocal, 3, 1))) end) end))):match('debug.getlocal: .*')",
         "debug.getlocal: the level is a native function"},
        // What no debug function gives any more cannot be made otherwise either.
        {"newproxy(io.stdout)", "error: bad argument #1 to 'newproxy' (boolean or proxy expected)"},
        {"setmetatable(newproxy(false), {})", "error: bad argument #1 to 'setmetatable' (table expected"},
        {"io.stdout.seek(newproxy(true))", "error: bad argument #1 to 'seek' (FILE* expected, got userdata)"},
        // The rest is Lua's own.
        {"(function() local x = 7 local f = function() return x end return debug.getupvalue(f, 1) end)()",
         "x|7"},
        {"(function() local f = function() return y end debug.setfenv(f, {y = 3}) return f(), "
         "debug.getfenv(f).y end)()",
         "3|3"},
        {"(function() local secret = 5 local name, value = (function() return debug.getlocal(2, 1) end)() "
         "return name, value end)()",
         "secret|5"},
        {"(function() local t = {} debug.setmetatable(t, {__index = {z = 4}}) return t.z, "
         "getmetatable(newproxy(true)) ~= nil end)()",
         "4|true"},
        {"(function() debug.sethook(function() end, 'c') debug.sethook() return debug.gethook() end)()",
         "nil"},
    });
}

// The socket library took a userdata for a socket when its metatable had a field of the socket's group,
// which a script writes into a proxy's metatable or a file's: a forged socket closed a descriptor read from
// past its block. Each function of a socket class takes only the classes it came with, however the
// library was opened.
TEST_F(NativeGuards, SocketFunctionsTakeOnlyTheirOwnSockets)
{
    start();
    LuaInterface::execute("sys.initLuaSocket()\n"
                          "tcpMethods = getmetatable(socket.tcp()).__index\n"
                          "function forged(group) local p = newproxy(true) getmetatable(p)[group] = true "
                          "return p end\n"
                          "function nativeModulePath(name)\n"
                          "  for template in package.cpath:gmatch('[^;]+') do\n"
                          "    local path = template:gsub('%?', name)\n"
                          "    local file = io.open(path) if file then file:close() return path end\n"
                          "  end\n"
                          "end\n");
    const std::string tcp = "(tcp{client}, tcp{master} or tcp{server} expected)";
    check({
        {"tcpMethods.getfd(forged('tcp{any}'))", "error: bad argument #1 to 'getfd' " + tcp},
        {"tcpMethods.close(forged('tcp{any}'))", "error: bad argument #1 to 'close' " + tcp},
        {"(function() local u = socket.udp() getmetatable(u)['tcp{any}'] = true return tcpMethods.close(u) "
         "end)()",
         "error: bad argument #1 to 'close' " + tcp},
        {"(function() getmetatable(io.stdout)['tcp{any}'] = true return tcpMethods.getfd(io.stdout) end)()",
         "error: bad argument #1 to 'getfd' " + tcp},
        {"getmetatable(socket.tcp()).__gc(forged('tcp{any}'))", "error: bad argument #1 to '__gc' " + tcp},
        {"tcpMethods.getfd()", "error: bad argument #1 to 'getfd' " + tcp},
        // Its own sockets work as before.
        {"type(socket.tcp():getfd()), tostring(socket.udp()):sub(1, 16), socket.udp():close()",
         "number|udp{unconnected}|1"},
        {"require('socket.core') == socket", "true"},
        // Opened again by a script through the native loaders, it is guarded again.
        {"(function() local path = nativeModulePath('socket/core') if not path then return 'no module' end "
         "package.loadlib(path, 'luaopen_socket_core')() return tcpMethods.getfd(forged('tcp{any}')) end)()",
         "error: bad argument #1 to 'getfd' " + tcp},
        {"(function() if not nativeModulePath('socket/unix') then return 'no module' end "
         "return getmetatable(require('socket.unix').stream()).__index.getfd(forged('unixstream{any}')) "
         "end)()",
         "error: bad argument #1 to 'getfd' (unixstream{client}, unixstream{master} or unixstream{server} "
         "expected)"},
    });
}

// A metamethod the engine's own lookups ran could take the function running them from debug.getinfo and
// call it with a userdata of its own, which the function then read as the path it was given. Each refuses a
// script's call.
TEST_F(NativeGuards, TheEnginesLookupsTakeNothingAScriptGives)
{
    start();
    LuaInterface::execute("leaked = {}\n"
                          "setmetatable(_G, {__index = function(t, k) local info = debug.getinfo(2, 'f') "
                          "if info and type(info.func) == 'function' then leaked[k] = info.func end end})\n");
    // Each lookup fails, as the names are not there; what matters is what the metamethod took meanwhile.
    for (const auto& lookup :
         std::vector<std::function<void()>>{[] { LuaInterface::execute("local x = 1", "probeEnvironment"); },
                                            [] { LuaInterface::isFunction("probePath.inner"); }})
    {
        try
        {
            lookup();
        }
        catch (...)
        {
        }
    }
    LuaInterface::execute("setmetatable(_G, nil)");
    check({
        {"type(leaked.probeEnvironment), type(leaked.probePath)", "function|function"},
        {"leaked.probeEnvironment(newproxy(false))", "error: a step of the engine's own lookups cannot be"},
        {"leaked.probeEnvironment(io.stdout)", "error: a step of the engine's own lookups cannot be"},
        {"leaked.probePath(gvec2(1e-300, 1e-300))", "error: a step of the engine's own lookups cannot be"},
    });
}
