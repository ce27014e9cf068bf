#include <algorithm>
#include <map>
#include <regex>
#include <set>
#include <sstream>

#include <lua.hpp>
#include <tesraui/Animator.h>
#include <tesraui/Object.h>
#include <tesraui/tesraui.h>

#include "EngineHarness.h"
#include "lua/Calls.h"

using namespace vumo;

using harness::Engine;
using harness::GameFolder;
using harness::readFile;

// The game maker's reference in docs/ against what the running engine offers: every script function,
// hook, object type and property has an entry there, and no entry names one that is gone. With
// VUMO_REFERENCE_DUMP set to a folder, the same lists are written there as Markdown skeletons, from which
// new entries are copied (the target vumo_reference_dump does that into the build folder).
namespace
{
    typedef std::set<std::string> Names;

    struct Property
    {
        std::string name;
        std::string type;
        std::string value;
    };

    struct ObjectType
    {
        std::vector<Property> properties;
        std::string base;
    };

    std::string docsDir()
    {
        return std::string(VUMO_SOURCE_DIR) + "/docs";
    }

    std::vector<std::string> markdownFiles(const std::string& folder)
    {
        std::vector<std::string> result;
        for (const auto& entry : std::filesystem::directory_iterator(folder))
        {
            if (entry.path().extension() == ".md")
            {
                result.push_back(entry.path().string());
            }
        }
        std::sort(result.begin(), result.end());
        return result;
    }

    std::vector<std::string> lines(const std::string& text)
    {
        std::vector<std::string> result;
        std::istringstream in(text);
        for (std::string line; std::getline(in, line);)
        {
            result.push_back(line);
        }
        return result;
    }

    // "### `object.create(type, name, parent, properties)`" names object.create.
    std::string entryName(const std::string& heading)
    {
        std::string text;
        for (char c : heading)
        {
            if (c != '`')
            {
                text += c;
            }
        }
        const size_t start = text.find_first_not_of(' ');
        if (start == std::string::npos)
        {
            return "";
        }
        const size_t end = text.find_first_of("( ", start);
        return text.substr(start, end == std::string::npos ? std::string::npos : end - start);
    }

    // Headings of the given level ("### ") in the files, with the file each came from.
    std::map<std::string, std::string> headings(const std::vector<std::string>& files,
                                                const std::string& level)
    {
        std::map<std::string, std::string> result;
        for (const std::string& file : files)
        {
            for (const std::string& line : lines(readFile(file)))
            {
                if (line.compare(0, level.size(), level) == 0)
                {
                    result[entryName(line.substr(level.size()))] =
                        std::filesystem::path(file).filename().string();
                }
            }
        }
        return result;
    }

    // Names of the registered functions below the table on top of the stack, walked raw.
    void walkTable(lua_State* L, const std::string& prefix, int depth, std::set<const void*>& seen,
                   Names& out)
    {
        lua_pushnil(L);
        while (lua_next(L, -2) != 0)
        {
            if (lua_type(L, -2) == LUA_TSTRING)
            {
                const std::string key = lua_tostring(L, -2);
                const std::string name = prefix.empty() ? key : prefix + "." + key;
                if (LuaInterface::isRegisteredFunction(L, -1))
                {
                    out.insert(name);
                }
                // The module registry and the globals' own name would give second paths to the tables.
                else if (lua_istable(L, -1) && depth < 4 &&
                         !(depth == 0 && (key == "package" || key == "_G")) &&
                         seen.insert(lua_topointer(L, -1)).second)
                {
                    walkTable(L, name, depth + 1, seen, out);
                }
            }
            lua_pop(L, 1);
        }
    }

    Names registeredFunctions()
    {
        lua_State* L = LuaInterface::state;
        Names result;
        std::set<const void*> seen;
        lua_pushvalue(L, LUA_GLOBALSINDEX);
        seen.insert(lua_topointer(L, -1));
        walkTable(L, "", 0, seen, result);
        lua_pop(L, 1);
        return result;
    }

    // Internal helpers the engine's own Lua text calls carry a leading underscore in their last part.
    bool isInternal(const std::string& name)
    {
        const size_t dot = name.rfind('.');
        return name[dot == std::string::npos ? 0 : dot + 1] == '_';
    }

    Names matches(const std::string& text, const std::regex& pattern)
    {
        Names result;
        for (std::sregex_iterator it(text.begin(), text.end(), pattern), end; it != end; ++it)
        {
            result.insert((*it)[1].str());
        }
        return result;
    }

    std::string sources(const std::vector<std::string>& folders)
    {
        std::string text;
        for (const std::string& folder : folders)
        {
            for (const auto& entry :
                 std::filesystem::directory_iterator(std::string(VUMO_SOURCE_DIR) + "/" + folder))
            {
                if (entry.path().extension() == ".cpp")
                {
                    text += readFile(entry.path().string());
                }
            }
        }
        return text;
    }

    // The hooks of the table "ui" are the ui.* names the engine's Lua texts call or look up and that no
    // native function provides.
    Names uiHooks(const Names& functions)
    {
        const std::string text = sources({"src", "src/ui", "src/objects"});
        Names result;
        const std::regex called("[\"' ]ui\\.([A-Za-z]\\w*)\\s*\\(");
        const std::regex lookedUp("(?:callHook|isFunction)\\(\"ui\\.([A-Za-z]\\w*)\"");
        // The message box builder's name is a constant of its own.
        const std::regex builder("builderName = \"(\\w+)\"");
        for (const Names& found : {matches(text, called), matches(text, lookedUp), matches(text, builder)})
        {
            for (const std::string& name : found)
            {
                if (functions.count("ui." + name) == 0)
                {
                    result.insert("ui." + name);
                }
            }
        }
        return result;
    }

    // Functions a scene's script may define, which the scene calls when it has them.
    Names sceneHooks()
    {
        const std::string text = sources({"src"});
        Names result = matches(text, std::regex("type\\((On[A-Z]\\w*)\\) == 'function'"));
        const Names named = matches(text, std::regex("functionName = \"(On[A-Z]\\w*)\""));
        result.insert(named.begin(), named.end());
        return result;
    }

    std::string typeName(int type)
    {
        static const char* const names[] = {
            "int",         "float",       "char",    "uchar",   "bool",        "string",
            "enum",        "rect",        "gvec2",   "color",   "color range", "float range",
            "gvec2 range", "gvec3 range", "timings", "timings", "timings"};
        return type >= 0 && type < int(sizeof(names) / sizeof(names[0])) ? names[type] : "?";
    }

    Names propertyNames(const ObjectType& type)
    {
        Names result;
        for (const Property& property : type.properties)
        {
            result.insert(property.name);
        }
        return result;
    }

    // The properties all the named types have, under a name of their own.
    ObjectType sharedProperties(const std::map<std::string, ObjectType>& types, const Names& members)
    {
        ObjectType result;
        if (members.empty())
        {
            return result;
        }
        std::map<std::string, int> counts;
        for (const std::string& member : members)
        {
            for (const std::string& name : propertyNames(types.at(member)))
            {
                ++counts[name];
            }
        }
        // The member with the fewest properties gives their order and kinds: it has the least of its own.
        std::string smallest = *members.begin();
        for (const std::string& member : members)
        {
            if (types.at(member).properties.size() < types.at(smallest).properties.size())
            {
                smallest = member;
            }
        }
        Names taken;
        for (const Property& property : types.at(smallest).properties)
        {
            if (counts[property.name] == int(members.size()) && taken.insert(property.name).second)
            {
                result.properties.push_back(property);
            }
        }
        return result;
    }

    // Every type object.create can name, with its properties as a fresh object reports them. The
    // properties every type has are those of "Object", the ones every animator has those of "Animator";
    // each type's base is the type, of these and the real ones, whose properties are the largest part of
    // its own.
    std::map<std::string, ObjectType> objectTypes()
    {
        std::map<std::string, ObjectType> result;
        Names all;
        Names animators;
        harray<hstring> names = tesraui::getObjectTypeNames();
        for (const hstring& name : tesraui::getAnimatorTypeNames())
        {
            names.push_back(name);
            animators.insert(name.c_str());
        }
        for (const hstring& name : names)
        {
            std::unique_ptr<tesraui::Object> object(
                tesraui::createObject(name, "reference_probe", kavtypes::Rectangle(0, 0, 100, 100)));
            if (object == nullptr)
            {
                object.reset(tesraui::createAnimator(name, "reference_probe"));
            }
            if (object == nullptr)
            {
                continue;
            }
            all.insert(name.c_str());
            ObjectType& type = result[name.c_str()];
            for (const PropertyInfo& info : object->getPropertyDescriptions())
            {
                Property property{info.name.c_str(), typeName(info.type), ""};
                try
                {
                    property.value = object->getProperty(info.name).c_str();
                }
                catch (const quortypes::exception&)
                {
                    property.value = "";
                }
                type.properties.push_back(property);
            }
        }
        const std::map<std::string, ObjectType> shared = {{"Object", sharedProperties(result, all)},
                                                          {"Animator", sharedProperties(result, animators)}};
        for (const auto& entry : shared)
        {
            result[entry.first] = entry.second;
        }
        for (auto& entry : result)
        {
            const Names own = propertyNames(entry.second);
            size_t best = 0;
            for (const auto& other : result)
            {
                const Names theirs = propertyNames(other.second);
                // A type with no properties beyond a shared list is based on that list.
                const bool smaller = theirs.size() < own.size() ||
                                     (shared.count(other.first) > 0 && shared.count(entry.first) == 0);
                // The shared lists build on each other only.
                const bool kin = shared.count(entry.first) == 0 || shared.count(other.first) > 0;
                const bool part = other.first != entry.first && smaller && kin &&
                                  std::includes(own.begin(), own.end(), theirs.begin(), theirs.end());
                // Of equal candidates the shared lists come first, then the name order.
                const bool better =
                    theirs.size() > best || (theirs.size() == best && shared.count(other.first) > 0 &&
                                             shared.count(entry.second.base) == 0);
                if (part && (entry.second.base.empty() || better))
                {
                    best = theirs.size();
                    entry.second.base = other.first;
                }
            }
        }
        return result;
    }

    // The property rows of each "## Type" section of the objects page.
    std::map<std::string, Names> documentedProperties(const std::string& file)
    {
        std::map<std::string, Names> result;
        std::string section;
        for (const std::string& line : lines(readFile(file)))
        {
            if (line.compare(0, 3, "## ") == 0)
            {
                section = entryName(line.substr(3));
                result[section];
            }
            else if (!section.empty() && line.compare(0, 1, "|") == 0)
            {
                const size_t end = line.find('|', 1);
                const std::string name = entryName(line.substr(1, end == std::string::npos ? end : end - 1));
                if (!name.empty() && name != "Property" && name != "Variable" && name[0] != '-')
                {
                    result[section].insert(name);
                }
            }
        }
        return result;
    }

    void write(const std::string& path, const std::string& text)
    {
        std::ofstream(path, std::ios::binary) << text;
    }

    class ScriptReference : public ::testing::Test
    {
    protected:
        GameFolder folder;
        std::unique_ptr<Engine> engine;

        void SetUp() override
        {
            folder.config();
            folder.put("data/ui/ui.dts", "<Dataset/>");
            std::filesystem::create_directories(folder.path + "/data/ui/fonts");
            engine.reset(new Engine(folder));
            engine->start();
        }
    };
} // namespace

TEST_F(ScriptReference, EveryFunctionHasAnEntryAndEveryEntryAFunction)
{
    const Names functions = registeredFunctions();
    ASSERT_GT(functions.size(), 100u) << "the walk over the script tables found the registered functions";
    const auto entries = headings(markdownFiles(docsDir() + "/api"), "### ");
    for (const std::string& name : functions)
    {
        EXPECT_TRUE(isInternal(name) || entries.count(name) > 0)
            << "script function " << name << " has no \"### " << name << "(...)\" entry in docs/api/";
    }
    for (const auto& entry : entries)
    {
        EXPECT_TRUE(functions.count(entry.first) > 0)
            << "docs/api/" << entry.second << " has an entry for " << entry.first
            << ", which is no registered script function";
    }
}

TEST_F(ScriptReference, EveryHookHasAnEntryAndEveryEntryAHook)
{
    Names hooks = uiHooks(registeredFunctions());
    ASSERT_GT(hooks.size(), 20u) << "the hooks of the table ui were found in the sources";
    const Names scene = sceneHooks();
    ASSERT_GT(scene.size(), 2u) << "the scene hooks were found in the sources";
    hooks.insert(scene.begin(), scene.end());
    const auto entries = headings({docsDir() + "/hooks.md"}, "### ");
    for (const std::string& name : hooks)
    {
        EXPECT_TRUE(entries.count(name) > 0)
            << "hook " << name << " has no \"### " << name << "(...)\" entry in docs/hooks.md";
    }
    for (const auto& entry : entries)
    {
        EXPECT_TRUE(hooks.count(entry.first) > 0)
            << "docs/hooks.md has an entry for " << entry.first << ", which the engine no longer calls";
    }
}

TEST_F(ScriptReference, EveryObjectTypeAndPropertyHasAnEntry)
{
    const std::map<std::string, ObjectType> types = objectTypes();
    ASSERT_GT(types.size(), 30u) << "the object and animator factories were found";
    const std::map<std::string, Names> documented = documentedProperties(docsDir() + "/objects.md");
    for (const auto& type : types)
    {
        EXPECT_TRUE(documented.count(type.first) > 0) << "object type " << type.first << " has no \"## "
                                                      << type.first << "\" section in docs/objects.md";
        for (const Property& property : type.second.properties)
        {
            bool found = false;
            for (std::string at = type.first; !found && !at.empty(); at = types.at(at).base)
            {
                found = documented.count(at) > 0 && documented.at(at).count(property.name) > 0;
            }
            EXPECT_TRUE(found) << "property " << property.name << " of " << type.first
                               << " has no row in docs/objects.md, in its section or its base's ("
                               << type.second.base << ")";
        }
    }
    for (const auto& section : documented)
    {
        const auto type = types.find(section.first);
        if (type == types.end())
        {
            ADD_FAILURE() << "docs/objects.md has a section for " << section.first
                          << ", which is no object type";
            continue;
        }
        for (const std::string& name : section.second)
        {
            const auto& properties = type->second.properties;
            EXPECT_TRUE(std::any_of(properties.begin(), properties.end(),
                                    [&](const Property& p) { return p.name == name; }))
                << "docs/objects.md lists property " << name << " under " << section.first
                << ", which has no such property";
        }
    }
}

TEST_F(ScriptReference, DumpsTheListsWhenAskedTo)
{
    const char* folderName = getenv("VUMO_REFERENCE_DUMP");
    if (folderName == nullptr)
    {
        GTEST_SKIP() << "VUMO_REFERENCE_DUMP names no folder";
    }
    const std::string out = folderName;
    std::filesystem::create_directories(out);
    const Names functions = registeredFunctions();
    std::string text = "# Registered script functions\n";
    std::string table;
    for (const std::string& name : functions)
    {
        const std::string head = name.substr(0, name.find('.'));
        if (head != table)
        {
            table = head;
            text += "\n## " + table + "\n";
        }
        text += "\n### " + name + "()" + (isInternal(name) ? " (internal)" : "") + "\n";
    }
    write(out + "/functions.md", text);
    text = "# Hooks\n";
    Names hooks = uiHooks(functions);
    const Names scene = sceneHooks();
    hooks.insert(scene.begin(), scene.end());
    for (const std::string& name : hooks)
    {
        text += "\n### " + name + "()\n";
    }
    write(out + "/hooks.md", text);
    text = "# Object types\n";
    const std::map<std::string, ObjectType> types = objectTypes();
    for (const auto& type : types)
    {
        text += "\n## " + type.first + "\n\n";
        Names inherited;
        if (!type.second.base.empty())
        {
            text += "Has the properties of " + type.second.base + ", and these:\n\n";
            inherited = propertyNames(types.at(type.second.base));
        }
        text += "| Property | Type | Default | |\n|---|---|---|---|\n";
        // Where and what the probe object is says nothing about a type's defaults.
        const Names probed = {"rect", "position", "size",     "x",        "y",    "w",
                              "h",    "center",   "center_x", "center_y", "name", "full_name"};
        Names listed;
        for (const Property& p : type.second.properties)
        {
            if (inherited.count(p.name) == 0 && listed.insert(p.name).second)
            {
                const std::string value = probed.count(p.name) > 0 ? "" : "`" + p.value + "`";
                text += "| `" + p.name + "` | " + p.type + " | " + value + " | |\n";
            }
        }
    }
    write(out + "/objects.md", text);
}

// The configuration keys are read by name where they are used; the page lists every one of them.
TEST(ScriptReferenceConfiguration, EveryKeyTheEngineReadsHasARow)
{
    std::string text = sources({"src", "src/ui", "src/objects", "src/lua", "src/lua/api", "game"});
    Names keys;
    for (const char* pattern : {"(?:get|has)ConfigValue\\(\"([a-z_]+)\"\\)", "config\\[\"([a-z_]+)\"\\]",
                                "config\\.tryGet\\(\"([a-z_]+)\""})
    {
        const Names found = matches(text, std::regex(pattern));
        keys.insert(found.begin(), found.end());
    }
    ASSERT_GT(keys.size(), 15u) << "the configuration keys were found in the sources";
    Names documented;
    for (const std::string& line : lines(readFile(docsDir() + "/configuration.md")))
    {
        const size_t end = line.find('|', 1);
        if (line.compare(0, 1, "|") == 0 && end != std::string::npos)
        {
            const std::string cell = line.substr(1, end - 1);
            const Names named = matches(cell, std::regex("`([a-z_]+)`"));
            documented.insert(named.begin(), named.end());
        }
    }
    for (const std::string& key : keys)
    {
        EXPECT_TRUE(documented.count(key) > 0)
            << "configuration key " << key << " has no row in docs/configuration.md";
    }
}

// The variables the engine declares for itself, all that a game declaring none has, are the rows of the
// table "## Engine variables" of docs/api/vars.md.
TEST_F(ScriptReference, EveryVariableOfTheEngineHasARowAndEveryRowAVariable)
{
    Names declared;
    for (const auto& entry : VariableDictionary::getGlobal().getVariables())
    {
        declared.insert(std::string(entry.first.c_str()));
    }
    ASSERT_GT(declared.size(), 3u);
    // The section's key is the first word of its heading.
    const auto sections = documentedProperties(docsDir() + "/api/vars.md");
    ASSERT_EQ(sections.count("Engine"), 1u) << "docs/api/vars.md has its section \"## Engine variables\"";
    const Names rows = sections.at("Engine");
    for (const std::string& name : declared)
    {
        EXPECT_EQ(rows.count(name), 1u)
            << "the engine's variable " << name << " has no row in docs/api/vars.md";
    }
    for (const std::string& row : rows)
    {
        EXPECT_EQ(declared.count(row), 1u)
            << "docs/api/vars.md has a row for " << row << ", which the engine does not declare";
    }
}
