#include <zlib.h>

#include <quortypes/Resource.h>

#include "Variables.h"

#include "EngineTestSupport.h"

using enginetest::Lines;
using enginetest::LogCapture;
using enginetest::ScratchDir;
using enginetest::thrownText;

namespace
{
    std::string crcLine(const std::string& body)
    {
        unsigned long crc = crc32(0L, (const Bytef*)body.data(), (uInt)body.size());
        char text[32];
        snprintf(text, sizeof(text), "crc: %lX\n", crc);
        return text;
    }

    // "name=value;" for every variable.
    std::string values(const VariableDictionary& vars)
    {
        std::string result;
        for (auto& entry : vars.getVariables())
        {
            result += entry.second.getName() + "=" + entry.second.value() + ";";
        }
        return result;
    }

    Lines journal;

    bool refuseNo(Variable* variable, const hstring& newValue, const hstring& currentValue)
    {
        journal.push_back(variable->getName() + ": " + currentValue + " -> " + newValue);
        return newValue != "no";
    }

    // A dictionary with a, b, items as the game's set-up leaves it.
    VariableDictionary makeVars()
    {
        VariableDictionary vars;
        vars.create("a", "1", true);
        vars.create("b", "x: y", true);
        vars.create("items", "", true);
        vars.captureDefaults();
        vars.setLocked(true);
        return vars;
    }
} // namespace

TEST(Variables, CreateGetAndTheirErrors)
{
    VariableDictionary vars;
    LogCapture log;
    vars.create("hero", "anna");
    EXPECT_EQ(log.take(), Lines{"vumo: Created user variable 'hero'"});
    EXPECT_EQ(vars.get("hero").getDefault(), "anna");
    EXPECT_EQ(thrownText([&] { vars.create("hero", "x"); }),
              "VariableDictionary: Unable to create var 'hero', var already exists.");
    const char* const badNames[] = {"", "a: b", "a\nb", "a\rb", "#a"};
    for (const char* name : badNames)
    {
        EXPECT_EQ(thrownText([&] { vars.create(name, "x"); }),
                  "VariableDictionary: Unable to create var '" + std::string(name) +
                      "', names must not be empty, hold ': ' or a line break, or begin with '#'.");
    }
    EXPECT_EQ(thrownText([&] { vars.create("note", "a\nb"); }),
              "Unable to set variable 'note', line breaks are not allowed");
    EXPECT_FALSE(vars.exists("note"));

    try
    {
        vars.get("nosuch");
        ADD_FAILURE() << "nothing thrown";
    }
    catch (_UnknownVariableException& e)
    {
        EXPECT_EQ(enginetest::messageText(e), "nosuch does not exist");
        EXPECT_STREQ(_UnknownVariableException::typeText, "UnknownVariableException ");
    }
    EXPECT_FALSE(vars.exists("nosuch"));
    // The index operation makes the record, named by its key.
    EXPECT_EQ(vars["made"].getName(), "made");
    EXPECT_TRUE(vars.exists("made"));

    vars.setLocked(true);
    EXPECT_EQ(
        thrownText([&] { vars.create("late", "x"); }),
        "Unable to create new variable, dictionary locked. You can only create variables on system init.");
    EXPECT_EQ(log.take(), Lines{});
}

TEST(Variables, ChangesLogsAndChangeChecks)
{
    VariableDictionary vars = makeVars();
    Variable& a = vars.get("a");
    a.addChangeCheck(&refuseNo);
    journal.clear();
    LogCapture log;
    a.set("2");
    a.set("2");
    a.setValue("3", true);
    // The change is logged before the check refuses it.
    a.set("no");
    EXPECT_EQ(a.value(), "3");
    EXPECT_EQ(journal, (Lines{"a: 1 -> 2", "a: 2 -> 3", "a: 3 -> no"}));
    EXPECT_EQ(log.take(), (Lines{"vumo: $a: '2' (was '1')", "vumo: $a: 'no' (was '3')"}));
    EXPECT_EQ(thrownText([&] { a.set("x\ry"); }), "Unable to set variable 'a', line breaks are not allowed");
    EXPECT_EQ(a.value(), "3");

    a.increment(4);
    EXPECT_EQ(a.toInt(), 7);
    a.setInt(2147483647);
    a.increment(1);
    EXPECT_EQ(a.value(), "-2147483648");

    // A free-standing record takes the other's name; a named one keeps its own.
    Variable loose;
    loose.assign(vars.get("b"));
    EXPECT_EQ(loose.describe(), "b = 'x: y'");
    vars.get("items").assign(vars.get("b"));
    EXPECT_EQ(vars.get("items").describe(), "items = 'x: y'");

    // Reset asks the checks too, without a line per variable.
    journal.clear();
    log.take();
    vars.get("b").set("z");
    vars.resetAll(false);
    EXPECT_EQ(values(vars), "a=1;b=x: y;items=;");
    EXPECT_EQ(journal, Lines{"a: -2147483648 -> 1"});
    EXPECT_EQ(log.take(), (Lines{"vumo: $b: 'z' (was 'x: y')", "vumo: resetting vars"}));
}

TEST(VariablesDiff, WrittenTexts)
{
    VariableDictionary vars = makeVars();
    EXPECT_EQ(vars.writeDiff(), "crc: 0\n");
    vars.get("a").set("2");
    EXPECT_EQ(vars.writeDiff(), crcLine("a: 2\n") + "a: 2\n");
    vars.get("items").set("key,ring");
    vars["zz"].set("1");
    std::string body = "a: 2\nitems: key,ring\nzz: 1\n";
    EXPECT_EQ(vars.writeDiff(), crcLine(body) + body);
    // Upper case, no leading zeros: this body's CRC-32 is 0x08DE71CC.
    vars.resetAll(true);
    vars.get("a").set("13");
    EXPECT_EQ(vars.writeDiff(), "crc: 8DE71CC\na: 13\n");
}

TEST(VariablesDiff, LoadsChecksAndRefusals)
{
    ScratchDir dir;
    VariableDictionary vars = makeVars();
    vars.get("a").set("2");
    vars.get("b").set("k: l: m");
    vars["found"].set("yes");
    vars.saveDiff(dir / "vars.diff");
    const std::string saved = dir.read("vars.diff");

    VariableDictionary loaded = makeVars();
    loaded.get("items").set("sword");
    LogCapture log;
    ASSERT_TRUE(loaded.loadDiff(dir / "vars.diff", true, false, true, false));
    EXPECT_EQ(values(loaded), "a=2;b=k: l: m;found=yes;items=;");
    EXPECT_EQ(log.take(), (Lines{"vumo: loading variables diff from " + dir / "vars.diff",
                                 "vumo: resetting vars", "vumo: loaded 3 variables from diff file"}));
    // A record made by the load is saved back under its own name.
    EXPECT_EQ(loaded.writeDiff(), saved);

    // One changed byte of the body: refused before any reset, nothing touched.
    VariableDictionary other = makeVars();
    other.get("items").set("sword");
    std::string damaged = saved;
    damaged[damaged.size() - 2] = 'x';
    dir.put("bad.diff", damaged);
    EXPECT_FALSE(other.loadDiff(dir / "bad.diff", true, true, true, false));
    dir.put("bad.diff", "a: 5\n");
    EXPECT_FALSE(other.loadDiff(dir / "bad.diff", true, true, true, false));
    EXPECT_EQ(values(other), "a=1;b=x: y;items=sword;");
    // Without the check the first line is just a line without ": ".
    EXPECT_TRUE(other.loadDiff(dir / "bad.diff", false, true, false, false));
    EXPECT_EQ(values(other), "a=5;b=x: y;items=sword;");

    // "ignore" takes any body; comments and lines without ": " are skipped.
    dir.put("free.diff", "crc: ignore\n# a: 9\nb: q\nnonsense\n\n");
    EXPECT_TRUE(other.loadDiff(dir / "free.diff", false, true, true, false));
    EXPECT_EQ(values(other), "a=5;b=q;items=sword;");

    EXPECT_EQ(thrownText([&] { other.loadDiff(dir / "none.diff", true, true, true, false); }),
              "Unable to load variable diff, file '" + dir / "none.diff" + "' not found!");
}

TEST(VariablesDiff, CrlfFilesAndResources)
{
    ScratchDir dir;
    // The CRC covers the bytes as they lie, "\r" included; the lines lose one "\r" each.
    std::string body = "a: 7\r\nb: s\r\r\n";
    dir.put("data/win.diff", "crc: " + crcLine(body).substr(5, crcLine(body).size() - 6) + "\r\n" + body);
    VariableDictionary vars = makeVars();
    LogCapture log;
    hstring old = quortypes::Resource::getCwd();
    quortypes::Resource::setCwd(dir.path);
    ASSERT_TRUE(vars.loadDiff("data/win.diff", true, true, true, true));
    quortypes::Resource::setCwd(old);
    EXPECT_EQ(values(vars), "a=7;b=x: y;items=;");
    EXPECT_EQ(log.take(),
              Lines{"vumo: WARNING: Skipping variable 'b' in data/win.diff, its value holds a line break"});
}
