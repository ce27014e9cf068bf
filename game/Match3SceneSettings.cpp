#include "Match3Scene.h"

#include <algorithm>

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

hstring Match3Scene::_readSettings()
{
    Match3SettingReader read(getFullName());
    for (const char* name : {"_match3_columns", "_match3_rows", "_match3_width", "_match3_height"})
    {
        if (!read.has(name))
        {
            read.fail(formatString("'%s' is not set", name));
        }
    }
    imageBase = read.text("_match3_image_base", "");
    x = read.integer("_match3_x", 0);
    y = read.integer("_match3_y", 0);
    columns = read.integer("_match3_columns", 0);
    rows = read.integer("_match3_rows", 0);
    width = read.integer("_match3_width", 0);
    height = read.integer("_match3_height", 0);
    imageWidth = read.integer("_match3_image_width", 0);
    imageHeight = read.integer("_match3_image_height", 0);
    positive = read.text("_match3_positive", "").split(",");
    neutral = read.text("_match3_neutral", "").split(",");
    negative = read.text("_match3_negative", "").split(",");
    time = read.real("_match3_time", 0.0f);
    positiveEffect = read.integer("_match3_positive_effect", 0);
    negativeEffect = read.integer("_match3_negative_effect", 0);
    healthPoints = read.flag("_match3_health_points", false);
    horizontalBars = read.flag("_match3_horizontal_bars", false);
    const std::pair<const char*, int> sides[] = {{"_match3_columns", columns}, {"_match3_rows", rows}};
    for (const auto& side : sides)
    {
        if (side.second < 1 || side.second > Match3Board::maxSide)
        {
            read.fail(
                formatString("'%s' is %d, not from 1 to %d", side.first, side.second, Match3Board::maxSide));
        }
    }
    if (!Match3Board::canHoldMove(columns, rows))
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
    return read.getProblem();
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
