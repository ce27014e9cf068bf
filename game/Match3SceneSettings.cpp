#include "Match3Scene.h"

#include <algorithm>
#include <limits>

#include <quortypes/exception.h>

#include "Chapter.h"
#include "Match3SettingReader.h"
#include "lua/LuaInterface.h"

using namespace vumo;

// The scene's settings: the script globals named after the scene that shape its board, and the sounds
// they name.

hstring Match3Scene::_setting(const hstring& suffix)
{
    return LuaInterface::getGlobalString(getFullName() + suffix);
}

hstring Match3Scene::getSceneFile() const
{
    return chapter->getCurrentFolder() + "/scenes/" + getFileName();
}

hstring Match3Scene::_readSettings()
{
    typedef Match3SettingReader::Outside Outside;
    Match3SettingReader read(getFullName(), getSceneFile(), logTag);
    // Every setting the board cannot go without, named at once.
    harray<hstring> unset;
    for (const char* name : {"_match3_columns", "_match3_rows", "_match3_width", "_match3_height"})
    {
        if (!read.has(name))
        {
            unset.push_back(hstring("'") + name + "'");
        }
    }
    if (unset.size() == 1)
    {
        read.fail(unset[0] + " is not set");
    }
    else if (unset.size() > 1)
    {
        const hstring last = unset.back();
        unset.pop_back();
        read.fail(unset.joined(", ") + " and " + last + " are not set");
    }
    const int anyInt = std::numeric_limits<int>::max();
    imageBase = read.text("_match3_image_base", "");
    x = read.integer("_match3_x", 0, -maxOrigin, maxOrigin);
    y = read.integer("_match3_y", 0, -maxOrigin, maxOrigin);
    columns = read.integer("_match3_columns", 0, 1, Match3Board::maxSide, Outside::Refused);
    rows = read.integer("_match3_rows", 0, 1, Match3Board::maxSide, Outside::Refused);
    width = read.integer("_match3_width", 0, -maxSpacing, maxSpacing);
    height = read.integer("_match3_height", 0, -maxSpacing, maxSpacing);
    imageWidth = read.integer("_match3_image_width", 0, -anyInt - 1, anyInt);
    imageHeight = read.integer("_match3_image_height", 0, -anyInt - 1, anyInt);
    positive = read.text("_match3_positive", "").split(",");
    neutral = read.text("_match3_neutral", "").split(",");
    negative = read.text("_match3_negative", "").split(",");
    const float anyFloat = std::numeric_limits<float>::max();
    time = read.real("_match3_time", 0.0f, -anyFloat, anyFloat);
    // An effect is a loss: one below 0 would raise the health or the time past where they start.
    positiveEffect = read.integer("_match3_positive_effect", 0, 0, maxEffect);
    negativeEffect = read.integer("_match3_negative_effect", 0, 0, maxEffect);
    healthPoints = read.flag("_match3_health_points", false);
    horizontalBars = read.flag("_match3_horizontal_bars", false);
    if (columns >= 1 && rows >= 1 && !Match3Board::canHoldMove(columns, rows))
    {
        read.fail(
            formatString("a board of %d x %d never holds a move: that takes a side of 4, or sides of 3 and 2",
                         columns, rows));
    }
    if (!Match3Board::canSettle(_pool(), negative))
    {
        read.fail("'_match3_positive', '_match3_neutral' and '_match3_negative' never deal a board without a "
                  "run and with a move: that takes two different tile types, one of them not negative");
    }
    return read.getProblems().joined(";\n");
}

harray<hstring> Match3Scene::_pool() const
{
    harray<hstring> pool = positive + neutral + negative;
    pool.removeAll("");
    return pool;
}

bool Match3Scene::_isPositive(const hstring& type) const
{
    return std::find(positive.begin(), positive.end(), type) != positive.end();
}

bool Match3Scene::_isNegative(const hstring& type) const
{
    return std::find(negative.begin(), negative.end(), type) != negative.end();
}

void Match3Scene::_playSetting(const hstring& suffix)
{
    hstring name;
    try
    {
        name = _setting(suffix);
    }
    catch (const quortypes::exception&)
    {
        return; // a sound nobody named plays nothing
    }
    if (name != "")
    {
        MinigameScene::playSound(chapter->getFullSceneName(name));
    }
}
