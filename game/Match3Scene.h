#pragma once

#include <functional>
#include <vector>

#include <quortypes/hdict.h>
#include <tesraui/ImageBox.h>

#include "Match3Board.h"
#include "Match3Element.h"
#include "MinigameScene.h"

namespace tesraui
{
    class EventArgs;
}
// The match-three duel: runs of positive types damage the enemy, negative ones cost the player time, neutral
// ones only clear the board. A won board runs the scene's "OnSolved()", a lost one (the time ran out) its
// "OnLost()" when it has one, before a new board is dealt. Its settings are Lua values of the scene's table,
// read at activation; docs/match3.md lists them.
// "_match3_columns", "_match3_rows", "_match3_width" and "_match3_height" must be given; every other
// setting left out takes its default: no image base, origin 0, 0, cells at their images' size, no tile
// types of that kind, no time limit, no effect, health as bars shrinking along y. Booleans may be Lua
// booleans or numbers. A setting of the wrong kind, a board side outside 1 to Match3Board::maxSide or
// tile types that can never deal a playable board leave the scene without a board: the error overlay names
// every such setting and the scene's file, and once it is closed the game goes back to the scene it came
// from. A number beyond what the board's arithmetic holds is held at the end of its range with a warning.
class Match3Scene : public MinigameScene
{
public:
    static const hstring typeName;
    static const hstring logTag;

    // What the board's int arithmetic holds: a slot is the origin plus up to Match3Board::maxSide spacings
    // (half of int each), and a run scores its length less two, at most maxSide - 2, times an effect.
    static constexpr int maxOrigin = 1073741823;
    static constexpr int maxSpacing = maxOrigin / Match3Board::maxSide;
    static constexpr int maxEffect = 2147483647 / (Match3Board::maxSide - 2);

    Match3Scene(vumo::Chapter* chapter, const hstring& name, const hstring& fileName);
    static vumo::Scene* create(vumo::Chapter* chapter, const hstring& name, const hstring& fileName);

    void onActivate() override;
    void onDeactivate() override;
    void onUpdate(float timeDelta) override;
    void skip() override;

    // What a test or a tool needs to read and drive a running board.
    const Match3Board& getBoard() const { return board; }
    Match3Element* getCell(int column, int row) const;
    hstring getImageBase() const { return imageBase; }
    int getHealth() const { return health; }
    float getTimeLeft() const { return timeLeft; }
    bool isBusy() const { return busy || scorePending; }
    // Whether the dealt board has rested once, so that it can be played: the time runs from then.
    bool isDealt() const { return dealt; }
    bool isFinished() const { return finished; }
    bool hasSelection() const { return selectedColumn >= 0; }
    int getSelectedColumn() const { return selectedColumn; }
    int getSelectedRow() const { return selectedRow; }
    // The cell's column and row in the grid; false for an object that is no cell of it.
    bool findCell(const tesraui::Object* object, int& column, int& row) const;
    // The cell slot's top-left corner.
    float slotX(int column) const { return (float)(x + column * width); }
    float slotY(int row) const { return (float)(y + row * height); }
    void onCellMouseDown(tesraui::EventArgs* args);
    // The band of the root object's y that the board's rows cover, for a cell of that height; false without
    // a board.
    bool getRowBand(float cellHeight, float& top, float& bottom) const;
    // The file the scene's settings come from.
    hstring getSceneFile() const;

protected:
    hstring imageBase;
    int x = 0;
    int y = 0;
    int columns = 0;
    int rows = 0;
    int width = 0;
    int height = 0;
    int imageWidth = 0;
    int imageHeight = 0;
    harray<hstring> positive;
    harray<hstring> neutral;
    harray<hstring> negative;
    float time = 0.0f;
    int positiveEffect = 0;
    int negativeEffect = 0;
    bool healthPoints = false;
    bool horizontalBars = false;

    std::vector<Match3Element*> cells;
    Match3Board board;
    int selectedColumn = -1;
    int selectedRow = -1;
    float timeLeft = 0.0f;
    int health = 1000;
    bool finished = false;
    bool lost = false;
    bool restartPending = false;
    bool busy = false;
    bool scorePending = false;
    bool collapsePending = false;
    bool checkPending = false;
    bool dealt = false;
    // The scene to go back to once the player has read why there is no board; empty for none.
    hstring leaveTo;

    hstring _setting(const hstring& suffix);
    // Every setting that rules a board out, described, a line each; empty when the board can be dealt.
    hstring _readSettings();
    harray<hstring> _pool() const;
    bool _isPositive(const hstring& type) const;
    bool _isNegative(const hstring& type) const;
    void _playSetting(const hstring& suffix);
    tesraui::Object* _findObject(const hstring& name) const;

    void _createElements();
    void _setType(int column, int row, const hstring& type);
    void _resetBoard();
    void _scoreMatches();
    void _collapseAndRefill();
    void _refillUntilMovable(const std::vector<std::pair<int, int>>& refilled);
    void _updateHealthDisplay();
    bool _isAnimating() const;
    void _select(int column, int row);
    // The selected cell stops pulsing and the selection is cleared.
    void _deselect();
    // Shows the scene's object "selection_marker", when there is one, over the selected cell; hides it
    // without a selection.
    void _markSelection();
    void _trySwap(int column, int row);
};
