#pragma once

#include <vector>

#include <quortypes/hstring.h>

struct lua_State;

namespace vumo
{
    namespace LuaInterface
    {
        // A hook called every frame is a Lua function called straight with its number, where the text that
        // used to call it would have done nothing else: the text is made only when the call fails, so that
        // the error reads as the text's would (its context, and a traceback that shows the text's own
        // frame below the hook's).
        struct HookText
        {
            // The name the text's call gives the function ("update" for "ui.update(...)").
            const char* functionName = "";
            // The text returns the call ("return f(...)"): its frame gives way to the function's.
            bool tailCall = false;
            // Writes the code and chunk name of the text the call stands for; left empty when no maker
            // was set.
            void make(hstring& code, hstring& chunkName) const
            {
                if (this->run != nullptr)
                {
                    this->run(this->maker, code, chunkName);
                }
            }
            // The maker is the caller's callable, taking (hstring& code, hstring& chunkName), and must
            // outlive the call: the text refers to it, so that a hook called every frame builds nothing.
            template <class Make> void setMake(const Make& make)
            {
                this->maker = &make;
                this->run = [](const void* maker, hstring& code, hstring& chunkName)
                { (*static_cast<const Make*>(maker))(code, chunkName); };
            }
            template <class Make> void setMake(const Make&& make) = delete;

        private:
            const void* maker = nullptr;
            void (*run)(const void* maker, hstring& code, hstring& chunkName) = nullptr;
        };

        enum class HookCall
        {
            // The function ran (or failed: then _LuaError was thrown).
            Called,
            // The text would have found nothing to call.
            Absent,
            // Something the straight call cannot stand for (a metamethod on the way, a value that is not a
            // Lua function, a number the text would not write): run the text instead.
            RunText
        };

        // The Lua strings of an environment's path ("global" or "global.field", split at the first point),
        // kept by a caller between calls of a hook: made again when setScene changes the path or the state's
        // interned keys were dropped, so that a call reads its tables afresh without making strings.
        class EnvironmentKeys
        {
        public:
            EnvironmentKeys() = default;
            explicit EnvironmentKeys(const hstring& environment);
            // The environment chapter + "." + scene.
            void setScene(const hstring& chapter, const hstring& scene);
            bool isSet() const { return this->environment.size() > 0; }

        private:
            friend HookCall callEnvironmentHook(EnvironmentKeys& keys, const char* name, float value,
                                                const HookText& text);
            hstring environment;
            // The function's name: a string literal.
            const char* name = nullptr;
            unsigned long stamp = 0;
            bool usable = false;
            int global = 0;
            int field = 0;
            int nameKey = 0;
            bool nested = false;
        };

        // The Lua strings of a dotted path of names and of the name a path function is called with, kept by a
        // caller between calls.
        class PathKeys
        {
        public:
            PathKeys() = default;
            PathKeys(const hstring& path, const hstring& name);
            const hstring& getPath() const { return this->path; }
            const hstring& getName() const { return this->name; }

        private:
            friend HookCall callPathFunction(PathKeys& keys, float value, const HookText& text, int& results,
                                             float& result);
            hstring path;
            hstring name;
            unsigned long stamp = 0;
            // Every part is a name.
            bool usable = false;
            std::vector<int> parts;
            int nameKey = 0;
        };

        // The text "if table.field ~= nil then table.field(value) end" run without environment, table a
        // global name. The names here and below are string literals.
        HookCall callFieldHook(const char* table, const char* field, float value, const HookText& text);
        // The text "if type(name) == 'function' then name(value) end" run in the environment table of the
        // dotted path (a global, or a field of one).
        HookCall callEnvironmentHook(const hstring& environment, const char* name, float value,
                                     const HookText& text);
        // The same with the environment's strings kept by the caller: the tables are still read on every
        // call.
        HookCall callEnvironmentHook(EnvironmentKeys& keys, const char* name, float value,
                                     const HookText& text);
        // The text "return path(name, value)" run without environment, path a dotted path of names: the
        // results' count, and the only result as the text's results read as a float.
        HookCall callPathFunction(const hstring& path, const hstring& name, float value, const HookText& text,
                                  int& results, float& result);
        // The same with the path's strings kept by the caller: the tables are still read on every call.
        HookCall callPathFunction(PathKeys& keys, float value, const HookText& text, int& results,
                                  float& result);

        // The failure of a chunk that ran: throws _LuaError from the one place every run's failure comes
        // from, so that the source position in its text is the same for a text and a straight call.
        [[noreturn]] void throwChunkFailure(const hstring& message, const hstring& chunkName,
                                            const hstring& code);
        // A number result as dumpValue's text of it reads back through hstring::toFloat.
        float textFloat(double value);
        // The number a "%f" of value in a code text reads back as.
        double fixedValue(float value);
    } // namespace LuaInterface
} // namespace vumo
