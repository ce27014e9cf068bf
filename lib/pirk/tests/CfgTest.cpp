#include <quortypes/Resource.h>

#include <pirk/Cfg.h>

#include "PirkTestSupport.h"

namespace
{
    // "[name]extra{key=value;...}" per section.
    std::string flatten(const harray<pirk::CfgCategory>& sections)
    {
        std::string result;
        for (const pirk::CfgCategory& section : sections)
        {
            result += "[" + section.name + "]" + section.extra + "{";
            for (auto& entry : section.values)
            {
                result += entry.first + "=" + entry.second + ";";
            }
            result += "}";
        }
        return result;
    }
} // namespace

TEST(ParseCfg, SectionsValuesAndWarnings)
{
    struct Case
    {
        const char* text;
        std::string sections;
        pirktest::Lines warnings;
    };
    const Case cases[] = {
        // Values split at the first ":" and keep their leading blank; duplicates keep the first value.
        {"[Game]:x\nUrlStore:a:b\nUrlStore:c\nkey: value",
         "[Game]x{UrlStore=a:b;key= value;}",
         {"WARNING: Key 'UrlStore' in CFG Category '[Game]:x' defined more than once!"}},
        // Lines are trimmed; comments and empty lines skipped; CRLF ends read as line ends.
        {"  [A]  \r\n\r\n  # c\r\n  k : v  \r\n", "[A]{k = v;}", {}},
        // A second header of the same name is a second section; text between "]" and ":" is dropped.
        {"[A]\na:1\n[A] junk :e:f\na:2", "[A]{a=1;}[A]e:f{a=2;}", {}},
        {"a:1\n[S]\nc", "[S]{=;}", {"WARNING: No CFG Category defined before line: a:1"}},
        // "[]" and an unclosed header leave the current section in place.
        {"[S]\n[]\n[broken\na:1",
         "[S]{a=1;}",
         {"WARNING: Empty CFG Category not allowed in line: []",
          "WARNING: Malformed CFG Category in line: [broken"}},
    };
    for (const Case& c : cases)
    {
        pirktest::LogCapture log;
        EXPECT_EQ(flatten(pirk::parseCfg(c.text)), c.sections) << c.text;
        EXPECT_EQ(log.take(), c.warnings) << c.text;
    }

    pirktest::ScratchDir dir;
    dir.put("game.cfg", "[Game]\nUrlStore:http://x\n");
    quortypes::Resource::setCwd(dir.path);
    EXPECT_EQ(flatten(pirk::parseCfgResource("game.cfg")), "[Game]{UrlStore=http://x;}");
}
