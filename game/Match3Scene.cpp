#include "Match3Scene.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include <quortypes/Log.h>
#include <tesraui/Animator.h>
#include <tesraui/Event.h>
#include <tesraui/EventArgs.h>

#include "Chapter.h"
#include "EngineObjects.h"
#include "GameUiHost.h"
#include "Match3Gui.h"
#include "ScriptTexts.h"
#include "Session.h"
#include "Variables.h"

using namespace vumo;

const hstring Match3Scene::typeName = "match3.scene";
const hstring Match3Scene::logTag = "vumoplayer";

namespace
{
    typedef tesraui::Animator::AnimationFunction Function;

    // A sine swing set on a dynamic animator in place of its straight run.
    void swing(tesraui::Animator* animator, float offset, float amplitude, float timer, float periods)
    {
        animator->setAnimationFunction(Function::Sine);
        animator->setOffset(offset);
        animator->setAmplitude(amplitude);
        animator->setTimer(timer);
        animator->setPeriods(periods);
        animator->setInheritValue(false);
        animator->setUseTarget(false);
    }
} // namespace

Match3Scene::Match3Scene(Chapter* chapter, const hstring& name, const hstring& fileName)
    : MinigameScene(chapter, name, fileName)
{
}

Scene* Match3Scene::create(Chapter* chapter, const hstring& name, const hstring& fileName)
{
    return new Match3Scene(chapter, name, fileName);
}

Match3Element* Match3Scene::getCell(int column, int row) const
{
    if (cells.empty() || column < 0 || row < 0 || column >= columns || row >= rows)
    {
        return nullptr;
    }
    return cells[column * rows + row];
}

bool Match3Scene::findCell(const tesraui::Object* object, int& column, int& row) const
{
    // By the object itself: a tile whose name a game object had taken is named otherwise.
    const auto place = std::find(cells.begin(), cells.end(), object);
    if (object == nullptr || place == cells.end())
    {
        return false;
    }
    const int index = (int)(place - cells.begin());
    column = index / rows;
    row = index % rows;
    return true;
}

void Match3Scene::onActivate()
{
    leaveTo = "";
    const hstring problem = _readSettings();
    if (problem != "")
    {
        getGameUiHost().showErrorOverlay("Match-three scene '" + getFullName() + "' has no board, in file " +
                                         getSceneFile() + ":\n" + problem + ".");
        // A scene without a board has nothing to play: once the player has read why, the game goes back.
        const hstring previous = VariableDictionary::getGlobal().get("prev_scene").value();
        if (previous != getFullName())
        {
            leaveTo = previous;
        }
        return;
    }
    _createElements();
    finished = true;
    _resetBoard();
    finished = false;
    tesraui::Object* gui = _findObject("minigame_gui");
    if (gui != nullptr)
    {
        gui->setAlpha(0);
        gui->fadeAlpha(255, 1.0f);
    }
    _updateHealthDisplay();
}

void Match3Scene::onDeactivate()
{
    // The cells themselves belong to the scene's root object, which deactivation has destroyed.
    cells.clear();
    selectedColumn = selectedRow = -1;
    leaveTo = "";
}

void Match3Scene::_createElements()
{
    if (!cells.empty() || rootObject == nullptr)
    {
        return;
    }
    board = Match3Board(columns, rows);
    // The grid becomes the scene's only whole: a failure halfway takes back the tiles made so far, and the
    // board stays undealt rather than holding empty cells.
    std::vector<Match3Element*> made;
    made.reserve((size_t)columns * rows);
    try
    {
        for (int c = 0; c < columns; ++c)
        {
            for (int r = 0; r < rows; ++r)
            {
                // The board works with its cells from frame to frame: they go only with the scene's root,
                // never on a script's or a destructor object's request. A name a game object already has
                // stays the game's, and the tile takes a free one.
                Match3Element* cell = EngineObjects::attachPart(
                    new Match3Element(
                        EngineObjects::freeName(chapter, formatString("%s_%d_%d", imageBase.c_str(), c, r)),
                        kavtypes::Rectangle(0.0f, 0.0f, -1.0f, -1.0f),
                        [this](const tesraui::Object* parent, float cellHeight, float& top, float& bottom)
                        { return parent == rootObject && getRowBand(cellHeight, top, bottom); }),
                    rootObject, chapter);
                made.push_back(cell);
                cell->registerEvent("MouseDown", std::make_shared<tesraui::MemberCallbackEvent>(
                                                     &Match3Scene::onCellMouseDown, this));
            }
        }
    }
    catch (...)
    {
        for (Match3Element* cell : made)
        {
            if (cell->getDataset() != nullptr)
            {
                cell->getDataset()->destroyObject(cell);
            }
        }
        throw;
    }
    cells = std::move(made);
}

void Match3Scene::_setType(int column, int row, const hstring& type)
{
    board.set(column, row, type);
    Match3Element* cell = getCell(column, row);
    try
    {
        cell->setImageByName(imageBase + type);
    }
    catch (const quortypes::exception& e)
    {
        quortypes::Log::error(logTag, e.getMessage());
    }
    if (imageWidth > 0 && imageHeight > 0)
    {
        cell->setSize((float)imageWidth, (float)imageHeight);
    }
}

void Match3Scene::_resetBoard()
{
    try
    {
        VariableDictionary::getGlobal().get("inn_templar_count").increment(1);
    }
    catch (const quortypes::exception& e)
    {
        quortypes::Log::error(logTag, e.getMessage());
    }
    const harray<hstring> pool = _pool();
    const int rolls = board.rollUntilPlayable(pool, negative, board.getMaxRolls());
    if (board.hasRun() || !board.hasMove(negative))
    {
        quortypes::Log::error(logTag, formatString("Match-three scene '%s' found no board without a run and "
                                                   "with a move in %d rolls; playing the last one.",
                                                   getFullName().c_str(), rolls));
    }
    for (int c = 0; c < columns; ++c)
    {
        for (int r = 0; r < rows; ++r)
        {
            Match3Element* cell = getCell(c, r);
            _setType(c, r, board.at(c, r));
            cell->resetCenter();
            cell->setPosition(slotX(c), slotY(r));
            cell->setScale(0.0f, 0.0f);
            cell->setAngle(0.0f);
            cell->setColor(tesra::Color());
            cell->setZOrder(9001);
            cell->moveStop();
            cell->scaleStop();
            cell->rotateStop();
            cell->fadeColorStop();
            // The cells pop in along the diagonals.
            const float delay = (2 * c + r) * 0.05f;
            cell->scaleQueue(1.3f, 1.3f, 4.0f, delay);
            swing(cell->scaleXQueue(1.3f, 4.0f, delay + 0.25f), 1.15f, 0.15f, 0.0625f, 0.75f);
            swing(cell->scaleYQueue(1.3f, 4.0f, delay + 0.25f), 1.15f, 0.15f, 0.0625f, 0.75f);
            swing(cell->scaleXQueue(1.0f, 4.0f, delay + 0.375f), 1.05f, 0.05f, 0.1875f, 1.75f);
            swing(cell->scaleYQueue(1.0f, 4.0f, delay + 0.375f), 1.05f, 0.05f, 0.1875f, 1.75f);
        }
    }
    timeLeft = time;
    health = 1000;
    busy = true;
    dealt = false;
    selectedColumn = selectedRow = -1;
    _markSelection();
}

void Match3Scene::onCellMouseDown(tesraui::EventArgs* args)
{
    // A finished board takes no more moves, whether it was won or skipped.
    if (busy || scorePending || finished || args == nullptr || args->object == nullptr)
    {
        return;
    }
    int column = 0;
    int row = 0;
    if (!findCell(args->object, column, row))
    {
        return;
    }
    _playSetting("._match3_click_sound");
    if (selectedColumn < 0)
    {
        _select(column, row);
    }
    else if (column == selectedColumn && row == selectedRow)
    {
        _deselect();
    }
    else if (std::abs(column - selectedColumn) + std::abs(row - selectedRow) == 1)
    {
        _trySwap(column, row);
    }
    else
    {
        // A tile that is no neighbour is picked instead: the player changed their mind.
        _deselect();
        _select(column, row);
    }
    _markSelection();
}

void Match3Scene::_markSelection()
{
    tesraui::Object* marker = _findObject("selection_marker");
    if (marker == nullptr)
    {
        return;
    }
    Match3Element* cell = getCell(selectedColumn, selectedRow);
    marker->setVisible(cell != nullptr);
    if (cell != nullptr)
    {
        // Centred on the cell's slot, whatever the two sizes.
        marker->setPosition(slotX(selectedColumn) + (cell->getWidth() - marker->getWidth()) * 0.5f,
                            slotY(selectedRow) + (cell->getHeight() - marker->getHeight()) * 0.5f);
    }
}

void Match3Scene::_select(int column, int row)
{
    Match3Element* cell = getCell(column, row);
    selectedColumn = column;
    selectedRow = row;
    swing(cell->scaleX(1.1f, 2.0f), 1.1f, 0.1f, 0.375f, -1.0f);
    tesraui::Animator* animator = cell->scaleY(1.1f, 2.0f);
    swing(animator, 1.1f, 0.1f, 0.375f, -1.0f);
    animator->setDelay(0.125f);
}

void Match3Scene::_deselect()
{
    if (Match3Element* cell = getCell(selectedColumn, selectedRow))
    {
        cell->scale(1.0f, 1.0f, 8.0f);
    }
    selectedColumn = selectedRow = -1;
}

void Match3Scene::_trySwap(int column, int row)
{
    const int sc = selectedColumn;
    const int sr = selectedRow;
    board.swap(sc, sr, column, row);
    const bool run = board.hasRun();
    board.swap(sc, sr, column, row);
    if (!run)
    {
        return;
    }
    Match3Element* selected = getCell(sc, sr);
    Match3Element* clicked = getCell(column, row);
    selectedColumn = selectedRow = -1;
    selected->scaleStop();
    selected->setScale(1.0f, 1.0f);
    // Each cell takes the other's image and place, so nothing seems to change until they move home.
    const hstring selectedType = board.at(sc, sr);
    _setType(sc, sr, board.at(column, row));
    _setType(column, row, selectedType);
    const kavtypes::Vector2 selectedPosition = selected->getPosition();
    selected->setPosition(clicked->getPosition());
    clicked->setPosition(selectedPosition);
    clicked->setZOrder(9200);
    selected->setZOrder(9100);
    clicked->move(slotX(column), slotY(row), 4.0f);
    selected->move(slotX(sc), slotY(sr), 4.0f);
    for (tesraui::Animator* animator : {clicked->scaleX(1.3f, 2.0f), clicked->scaleY(1.3f, 2.0f),
                                        selected->scaleX(0.7f, 2.0f), selected->scaleY(0.7f, 2.0f)})
    {
        animator->setAnimationFunction(Function::Sine);
        animator->setPeriods(0.5f);
    }
    busy = true;
    scorePending = true;
}

void Match3Scene::_scoreMatches()
{
    const std::vector<Match3Board::Run> runs = board.findMatches();
    for (const Match3Board::Run& run : runs)
    {
        const hstring& type = board.at(run.column, run.row);
        if (_isPositive(type))
        {
            health = std::max(health - (run.length - 2) * positiveEffect, 0);
        }
        else if (_isNegative(type))
        {
            timeLeft = std::max(timeLeft - (float)((run.length - 2) * negativeEffect), 0.0f);
        }
    }
    bool kinds[3] = {false, false, false};
    for (const std::pair<int, int>& slot : board.runCells(runs))
    {
        Match3Element* cell = getCell(slot.first, slot.second);
        const hstring& type = board.at(slot.first, slot.second);
        if (_isPositive(type))
        {
            kinds[0] = true;
            cell->scale(1.3f, 1.3f, 1.0f);
            cell->fadeRed(0, 2.0f);
            cell->fadeBlue(0, 2.0f);
            cell->fadeAlpha(0, 1.0f);
        }
        else if (_isNegative(type))
        {
            kinds[2] = true;
            cell->scale(0.75f, 0.75f, 1.0f);
            cell->fadeGreen(0, 4.0f);
            cell->fadeBlue(0, 4.0f);
            cell->fadeAlpha(0, 1.0f);
        }
        else
        {
            kinds[1] = true;
            cell->rotate(360.0f, 2.0f);
            cell->scale(0.0f, 0.0f, 2.0f);
            cell->fadeAlpha(0, 2.0f);
        }
    }
    const char* sounds[3] = {"._match3_positive_sound", "._match3_neutral_sound", "._match3_negative_sound"};
    for (int i = 0; i < 3; ++i)
    {
        if (kinds[i])
        {
            _playSetting(sounds[i]);
        }
    }
}

void Match3Scene::_collapseAndRefill()
{
    const std::vector<std::pair<int, int>> removedCells = board.runCells(board.findMatches());
    std::vector<std::pair<int, int>> refilled;
    for (int c = 0; c < columns; ++c)
    {
        std::vector<bool> removed(rows, false);
        for (const std::pair<int, int>& slot : removedCells)
        {
            if (slot.first == c)
            {
                removed[slot.second] = true;
            }
        }
        // Each removed cell rises past the remaining ones above it; those keep their order and their looks.
        for (int r = 0; r < rows; ++r)
        {
            for (int k = r; k > 0 && removed[k] && !removed[k - 1]; --k)
            {
                Match3Element* lower = getCell(c, k);
                Match3Element* upper = getCell(c, k - 1);
                const hstring lowerType = board.at(c, k);
                _setType(c, k, board.at(c, k - 1));
                _setType(c, k - 1, lowerType);
                const float lowerY = lower->getY();
                lower->setY(upper->getY());
                upper->setY(lowerY);
                const kavtypes::Vector2 lowerScale = lower->getScale();
                lower->setScale(upper->getScale());
                upper->setScale(lowerScale);
                const float lowerAngle = lower->getAngle();
                lower->setAngle(upper->getAngle());
                upper->setAngle(lowerAngle);
                const unsigned char lowerAlpha = lower->getAlpha();
                lower->setAlpha(upper->getAlpha());
                upper->setAlpha(lowerAlpha);
                removed[k] = false;
                removed[k - 1] = true;
            }
        }
        const int k = (int)std::count(removed.begin(), removed.end(), true);
        for (int j = 0; j < k; ++j)
        {
            _setType(c, j, _pool().random());
            getCell(c, j)->setY(slotY(j - k));
            refilled.emplace_back(c, j);
        }
    }
    _refillUntilMovable(refilled);
    for (int c = 0; c < columns; ++c)
    {
        for (int r = 0; r < rows; ++r)
        {
            Match3Element* cell = getCell(c, r);
            cell->setScale(1.0f, 1.0f);
            cell->setAlpha(255);
            const float distance = std::fabs(cell->getY() - slotY(r)) / (float)std::max(height, 1);
            if (distance > 0.0f)
            {
                cell->moveY(slotY(r), 3.0f / distance)->setAcceleration(2.5f);
            }
        }
    }
}

void Match3Scene::_refillUntilMovable(const std::vector<std::pair<int, int>>& refilled)
{
    int rolls = 0;
    if (!board.refillUntilMovable(refilled, _pool(), negative, rolls))
    {
        quortypes::Log::error(logTag, formatString("Match-three scene '%s' found no refill with a move in %d "
                                                   "rolls; playing the board as it is.",
                                                   getFullName().c_str(), rolls));
    }
    for (int c = 0; c < columns; ++c)
    {
        for (int r = 0; r < rows; ++r)
        {
            _setType(c, r, board.at(c, r));
        }
    }
}

bool Match3Scene::getRowBand(float cellHeight, float& top, float& bottom) const
{
    if (cells.empty())
    {
        return false;
    }
    const float first = slotY(0);
    const float last = slotY(rows - 1);
    top = std::min(first, last);
    bottom = std::max(first, last) + std::max(cellHeight, 0.0f);
    return true;
}

tesraui::Object* Match3Scene::_findObject(const hstring& name) const
{
    return Match3Gui::namedObjects(rootObject).tryGet(name, nullptr);
}

void Match3Scene::_updateHealthDisplay()
{
    Match3Gui::Standing standing;
    standing.healthPoints = healthPoints;
    standing.horizontalBars = horizontalBars;
    standing.health = health;
    standing.time = time;
    standing.timeLeft = timeLeft;
    standing.positiveEffect = positiveEffect;
    standing.negativeEffect = negativeEffect;
    // One walk of the scene's tree a frame, however many markers there are.
    Match3Gui::showStanding(Match3Gui::namedObjects(rootObject), standing);
}
