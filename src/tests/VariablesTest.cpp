#include <zlib.h>

#include <algorithm>
#include <tuple>

#include "Variables.h"

#include "EngineTestSupport.h"

using namespace vumo;

using enginetest::Lines;
using enginetest::LogCapture;
using enginetest::thrownText;

namespace
{
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

    Lines checked;

    bool refuseNo(Variable* variable, const hstring& newValue, const hstring& currentValue)
    {
        checked.push_back(variable->getName() + ": " + currentValue + " -> " + newValue);
        return newValue != "no";
    }

    // a, b and items as the game's set-up leaves them.
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

TEST(Variables, CreateLookUpAndChange)
{
    // Other cases' checks note here too.
    checked.clear();
    VariableDictionary vars;
    LogCapture log;
    vars.create("hero", "anna");
    for (const char* name : {"hero", "", "a: b", "a\nb", "#a"})
    {
        EXPECT_NE(
            thrownText([&] { vars.create(name, "x"); }).find("VariableDictionary: Unable to create var '"),
            std::string::npos);
    }
    EXPECT_EQ(thrownText([&] { vars.create("note", "a\rb"); }),
              "Unable to set variable 'note', line breaks are not allowed");
    EXPECT_EQ(thrownText([&] { vars.get("nosuch"); }), "nosuch does not exist");
    EXPECT_THROW(vars.get("nosuch"), _UnknownVariableException);
    // The index operation makes the record, named by its key.
    EXPECT_EQ(vars["made"].getName(), "made");
    vars.setLocked(true);
    // The refusal names the variable: a script creating several after start-up would not know which one.
    EXPECT_EQ(
        thrownText([&] { vars.create("late", "x"); }),
        "Unable to create new variable 'late', dictionary locked. You can only create variables on system "
        "init.");

    Variable& hero = vars.get("hero");
    hero.addChangeCheck(&refuseNo);
    hero.set("bob");
    hero.set("bob");
    hero.setValue("cid", true);
    // The change is logged before the check refuses it.
    hero.set("no");
    EXPECT_EQ(hero.value(), "cid");
    EXPECT_EQ(checked, (Lines{"hero: anna -> bob", "hero: bob -> cid", "hero: cid -> no"}));
    EXPECT_EQ(thrownText([&] { hero.set("x\ny"); }),
              "Unable to set variable 'hero', line breaks are not allowed");
    EXPECT_EQ(log.take(), (Lines{"vumo: Created user variable 'hero'", "vumo: $hero: 'bob' (was 'anna')",
                                 "vumo: $hero: 'no' (was 'cid')"}));
    // Reset asks the checks too, without a line per variable; increments wrap.
    vars["made"].setInt(2147483647);
    vars["made"].increment(1);
    EXPECT_EQ(vars["made"].value(), "-2147483648");
    hero.addChangeCheck([](Variable*, const hstring& to, const hstring&) { return to != "anna"; });
    vars.resetAll(true);
    EXPECT_EQ(values(vars), "hero=cid;made=;");
}

// Listeners hear a change once it is stored: they read the new value, and a change they make in turn is
// stored after it and heard too; copies of the dictionary take no listeners along.
TEST(Variables, ListenersHearStoredChangesAndMayChangeTheValueAgain)
{
    static Lines heard;
    heard.clear();
    VariableDictionary vars = makeVars();
    Variable& items = vars.get("items");
    items.addChangeCheck(&refuseNo);
    items.addChangeListener(
        [](Variable* variable, const hstring& value, const hstring& previous)
        {
            heard.push_back(previous + " -> " + value + " (reads " + variable->value() + ")");
            if (value == "a")
            {
                variable->set("a,b");
            }
        });
    items.set("a");
    items.set("no");
    items.set("a,b");
    VariableDictionary copy = vars;
    copy.get("items").set("c");
    vars.resetAll(true);
    EXPECT_EQ(items.value(), "");
    EXPECT_EQ(heard, (Lines{" -> a (reads a)", "a -> a,b (reads a,b)", "a,b ->  (reads )"}));
}

TEST(VariablesDiff, WrittenTexts)
{
    VariableDictionary vars = makeVars();
    EXPECT_EQ(vars.writeDiff(), "crc: 0\n");
    vars.get("b").set("k: l");
    vars["zz"].set("1");
    const std::string body = "b: k: l\nzz: 1\n";
    EXPECT_EQ(vars.writeDiff(),
              formatString("crc: %lX\n", crc32(0L, (const Bytef*)body.data(), body.size())) + body);
    // Upper case, no leading zeros: this body's CRC-32 is 0x08DE71CC.
    vars.resetAll(true);
    vars.get("a").set("13");
    EXPECT_EQ(vars.writeDiff(), "crc: 8DE71CC\na: 13\n");
}

TEST(Variables, TakeTheValuesOfAnotherDictionary)
{
    VariableDictionary live = makeVars();
    VariableDictionary kept;
    kept.create("a", "1", true);
    kept.create("zz", "own", true);
    kept.get("a").addChangeCheck([](Variable*, const hstring&, const hstring&) { return false; });
    live.get("b").set("q");
    live["aa"].set("new");
    live["zzz"].set("last");
    // Records for the names it lacks, in their place; its own names stay; no change checks asked.
    EXPECT_TRUE(kept.takeValuesOf(live));
    EXPECT_EQ(values(kept), "a=1;aa=new;b=q;items=;zz=own;zzz=last;");
    EXPECT_EQ(kept.get("aa").getDefault(), "");
    EXPECT_FALSE(kept.takeValuesOf(live));
    live.get("a").set("2");
    EXPECT_TRUE(kept.takeValuesOf(live));
    EXPECT_EQ(kept.get("a").value(), "2");
}

TEST(VariablesDiff, ChecksumLineAndBody)
{
    // (text, matches, body handed back)
    const std::tuple<std::string, bool, std::string> cases[] = {
        {"crc: 0", true, ""},
        {"crc: 0\n", true, ""},
        {"crc: 0\r\n", true, ""},
        {"crc: ignore\nx: 1\n", true, "x: 1\n"},
        {"crc: 8DE71CC\na: 13\n", true, "a: 13\n"},
        {"crc: 8de71cc\na: 13\n", false, "kept"},
        {"crc: 8DE71CC\na: 13", false, "kept"},
        {"a: 13\n", false, "kept"},
        {"", false, "kept"},
    };
    for (const auto& [text, matches, body] : cases)
    {
        hstring got = "kept";
        EXPECT_EQ(VariableDictionary::diffCrcMatches(text, &got), matches) << text;
        EXPECT_EQ(got, body) << text;
    }
    // A large diff, as a save of many variables writes it, checks out and loads back whole.
    VariableDictionary many;
    for (int i = 0; i < 5000; ++i)
    {
        many.create(formatString("v%05d", i), "0", true);
    }
    for (int i = 0; i < 5000; i += 3)
    {
        many.get(formatString("v%05d", i)).setValue(hstring(i + 1), true);
    }
    const hstring text = many.writeDiff();
    hstring body;
    ASSERT_TRUE(VariableDictionary::diffCrcMatches(text, &body));
    EXPECT_EQ(body.size(), 21302); // 1,667 lines "vNNNNN: " and the number
    VariableDictionary back;
    back.applyDiff(text, "many", false, true, true);
    EXPECT_EQ(back.getVariables().size(), 1667);
    EXPECT_EQ(back.get("v04998").value(), "4999");
}

TEST(VariablesDiff, LoadsChecksAndRefusals)
{
    enginetest::ScratchDir dir;
    VariableDictionary vars = makeVars();
    vars.get("b").set("k: l: m");
    vars["found"].set("yes");
    vars.saveDiff(dir / "vars.diff");
    const std::string saved = enginetest::readFile(dir / "vars.diff");

    VariableDictionary loaded = makeVars();
    loaded.get("items").set("sword");
    LogCapture log;
    ASSERT_TRUE(loaded.loadDiff(dir / "vars.diff", true, false, true, false));
    EXPECT_EQ(values(loaded), "a=1;b=k: l: m;found=yes;items=;");
    EXPECT_EQ(log.take(), (Lines{"vumo: loading variables diff from " + dir / "vars.diff",
                                 "vumo: resetting vars", "vumo: loaded 2 variables from diff file"}));
    // A record made by the load is saved back under its own name.
    EXPECT_EQ(loaded.writeDiff(), saved);

    // One changed body byte, or no CRC line: refused before any reset, nothing touched.
    std::string damaged = saved;
    damaged[damaged.size() - 2] = 'x';
    for (const std::string& text : {damaged, std::string("a: 5\n")})
    {
        dir.put("bad.diff", text);
        EXPECT_FALSE(loaded.loadDiff(dir / "bad.diff", true, true, true, false));
        EXPECT_EQ(values(loaded), "a=1;b=k: l: m;found=yes;items=;");
    }
    // Without the check the first line is just a line without ": ".
    EXPECT_TRUE(loaded.loadDiff(dir / "bad.diff", false, true, false, false));
    EXPECT_EQ(values(loaded), "a=5;b=k: l: m;found=yes;items=;");

    // "ignore" takes any body; comments are skipped. The CRC covers the bytes as they lie, "\r" included,
    // and each line loses one "\r".
    dir.put("free.diff", "crc: ignore\r\n# a: 9\nb: q\r\nitems: s\r\r\n");
    EXPECT_TRUE(loaded.loadDiff(dir / "free.diff", false, true, true, false));
    EXPECT_EQ(values(loaded), "a=5;b=q;found=yes;items=;");
    EXPECT_EQ(log.take(), Lines{"vumo: WARNING: Skipping variable 'items' in " + dir / "free.diff" +
                                ", its value holds a line break"});
    EXPECT_EQ(thrownText([&] { loaded.loadDiff(dir / "none.diff", true, true, true, false); }),
              "Unable to load variable diff, file '" + dir / "none.diff" + "' not found!");
}

namespace
{
    // The diff text worked out the plain way, from the dictionary's own walk, for checking the real one.
    std::string plainDiff(const VariableDictionary& vars)
    {
        std::string body;
        for (auto& entry : vars.getVariables())
        {
            const std::string value = entry.second.value();
            if (value != std::string(entry.second.getDefault()))
            {
                body += std::string(entry.second.getName()) + ": " + value + "\n";
            }
        }
        return formatString("crc: %lX\n", crc32(0L, (const Bytef*)body.data(), body.size())) + body;
    }
} // namespace

TEST(VariablesDiff, CopiesMovesAndAddedRecordsWriteTheSameTexts)
{
    // Values that differ from their defaults only late, only in length, not at all, or run past what a
    // string holds inline; names that sort before and after the others.
    const std::string longValue(300, 'q');
    VariableDictionary vars;
    const std::pair<const char*, std::string> created[] = {
        {"m_same", "x"},       {"m_late", "abcdefghij"},        {"m_shorter", "abc"}, {"m_empty", ""},
        {"m_long", longValue}, {"m_utf8", "\xC3\xA9t\xC3\xA9"}, {"m_colon", "a: b"},
    };
    for (const auto& [name, value] : created)
    {
        vars.create(name, value, true);
    }
    vars.captureDefaults();
    vars.get("m_late").setValue("abcdefghiJ", true);
    vars.get("m_shorter").setValue("ab", true);
    vars.get("m_empty").setValue("0", true);
    vars.get("m_long").setValue(longValue.substr(0, 299) + "r", true);
    vars.get("m_utf8").setValue("\xC3\xA9t\xC3\xA8", true);
    vars.get("m_colon").setValue("", true);
    const std::string expected = plainDiff(vars);
    EXPECT_EQ(std::count(expected.begin(), expected.end(), '\n'), 7);
    EXPECT_EQ(vars.writeDiff(), expected);

    VariableDictionary copy = vars;
    EXPECT_EQ(copy.writeDiff(), expected);
    EXPECT_EQ(values(copy), values(vars));
    // Records added after the copy, alone and by the bulk operations, are written in their place.
    copy["a_first"].setValue("1", true);
    copy["z_last"].setValue("2", true);
    EXPECT_EQ(copy.writeDiff(), plainDiff(copy));
    VariableDictionary kept = vars;
    VariableDictionary live = vars;
    live["m_new"].setValue("3", true);
    live.get("m_same").setValue("y", true);
    EXPECT_TRUE(kept.takeValuesOf(live));
    EXPECT_EQ(kept.writeDiff(), plainDiff(kept));
    EXPECT_NE(kept.writeDiff().find("m_new: 3\nm_same: y\n"), std::string::npos);
    kept.applyDiff("crc: ignore\nb_loaded: 4\nm_same: x\n", "test", false, true, true);
    EXPECT_EQ(kept.writeDiff(), plainDiff(kept));
    EXPECT_EQ(kept.writeDiff().find("m_same"), std::string::npos);

    // Moved and assigned dictionaries write their own records; the moved-from one stays usable.
    VariableDictionary moved = std::move(copy);
    EXPECT_EQ(moved.writeDiff(), plainDiff(moved));
    EXPECT_EQ(copy.writeDiff(), plainDiff(copy));
    copy = kept;
    EXPECT_EQ(copy.writeDiff(), plainDiff(kept));
    VariableDictionary& same = copy;
    copy = same;
    EXPECT_EQ(copy.writeDiff(), plainDiff(kept));
    copy = std::move(moved);
    EXPECT_EQ(copy.writeDiff(), plainDiff(copy));
    copy.resetAll(true);
    EXPECT_EQ(copy.writeDiff(), "crc: 0\n");
}

TEST(Variables, TakeTheValuesOfADictionaryWithTheSameNamesOrAlmost)
{
    // Set-up ends with the defaults captured, as the engine's does.
    auto made = [](std::initializer_list<std::pair<const char*, const char*>> records)
    {
        VariableDictionary vars;
        for (const auto& [name, value] : records)
        {
            vars.create(name, value, true);
        }
        vars.captureDefaults();
        return vars;
    };
    VariableDictionary live = made({{"a", "1"}, {"b", "1"}, {"c", "1"}});
    VariableDictionary kept = live;
    EXPECT_FALSE(kept.takeValuesOf(live));
    live.get("c").setValue("2", true);
    live.get("a").setValue("", true);
    EXPECT_TRUE(kept.takeValuesOf(live));
    EXPECT_EQ(values(kept), "a=;b=1;c=2;");
    EXPECT_EQ(kept.writeDiff(), plainDiff(kept));

    // As many names, but not the same ones: the values before the first other name are taken, and the
    // rest merged as for any other dictionary.
    VariableDictionary other = made({{"a", "2"}, {"b", "1"}, {"y", ""}});
    VariableDictionary mine = made({{"a", "1"}, {"b", "1"}, {"x", "1"}});
    EXPECT_TRUE(mine.takeValuesOf(other));
    EXPECT_EQ(values(mine), "a=2;b=1;x=1;y=;");
    EXPECT_FALSE(mine.takeValuesOf(other));
    EXPECT_EQ(mine.writeDiff(), plainDiff(mine));
}
