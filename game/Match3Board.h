#pragma once

#include <vector>

#include <quortypes/harray.h>
#include <quortypes/hstring.h>

// The tile types of a match-three board, [column][row], with the run search and the move count the duel
// plays by. Two cells match when their types are equal.
class Match3Board
{
public:
    struct Run
    {
        int column;
        int row;
        int length;
        bool horizontal;
    };

    Match3Board() = default;
    Match3Board(int columns, int rows);

    int getColumns() const { return columns; }
    int getRows() const { return rows; }
    const hstring& at(int column, int row) const { return cells[column * rows + row]; }
    void set(int column, int row, const hstring& type) { cells[column * rows + row] = type; }
    void swap(int c1, int r1, int c2, int r2);

    // Maximal runs of three or more, rows first (top to bottom, each from the left), then columns. With
    // stopAtFirst the search ends at the first run, and columns are only searched when no row has one.
    std::vector<Run> findMatches(bool stopAtFirst = false) const;
    bool hasRun() const { return !findMatches(true).empty(); }
    // The move patterns counted row-wise and column-wise; cells of a negative type never start one.
    int countMoves(const harray<hstring>& negative) const;
    bool hasMove(const harray<hstring>& negative) const { return countMoves(negative) > 0; }

    // The cells of every run, each once, in the order the runs list them.
    std::vector<std::pair<int, int>> runCells(const std::vector<Run>& runs) const;

    // Deals the whole board from the pool with no run on it, until it also has a move, at most maxRolls
    // times; a pool that cannot deal a board without a run fills it at random. The result is the number of
    // deals made; above maxRolls the board could not be settled.
    int rollUntilPlayable(const harray<hstring>& pool, const harray<hstring>& negative, int maxRolls);
    // Every cell a type from the pool that makes no run with the cells dealt before it; false (the board
    // partly dealt) when the pool cannot, or not within a bound of work in proportion to the cells.
    bool dealWithoutRuns(const harray<hstring>& pool);
    // The whole-board rolls a player can wait for on a board of this size.
    int getMaxRolls() const;

    // New types for the refilled cells until the board has a move, at most maxRefillRolls times; then whole
    // boards as rollUntilPlayable does, at most getMaxRolls of them. False when no board with a move came
    // within the bounds.
    bool refillUntilMovable(const std::vector<std::pair<int, int>>& refilled, const harray<hstring>& pool,
                            const harray<hstring>& negative, int& rolls);

    // Whether a pool can ever deal a board without a run and with a move: a line of three of one type is a
    // run, and cells of a negative type never start a move. A type listed twice counts once.
    static bool canSettle(const harray<hstring>& pool, const harray<hstring>& negative);
    // Whether a board of the size can ever hold a move: a swap that makes a line of three needs a line of
    // four, or a line of three beside another line.
    static bool canHoldMove(int columns, int rows);

    // The deals of a whole board and the rolls of a refill a player can wait for: a board dealt without runs
    // nearly always has a move at once, and a refill comes within a few dozen rolls whenever one can come
    // at all. Each deal costs work in proportion to the cells, so larger boards get fewer: no more cells are
    // dealt than in maxBoardRolls boards of 8 x 8.
    static constexpr int maxBoardRolls = 100000;
    static constexpr long long maxRolledCells = 64LL * maxBoardRolls;
    // The deals of one roll or refill look at pool entries too: a large pool must not multiply the work
    // the cells are allowed. Counted in cells dealt and pool entries looked at.
    static constexpr long long maxDealWork = 16LL * maxRolledCells;
    static constexpr int maxRefillRolls = 200;
    // The longest side a board may have.
    static constexpr int maxSide = 32;

private:
    int columns = 0;
    int rows = 0;
    std::vector<hstring> cells;

    // The pool entries and cells the deals of the current roll have looked at.
    long long dealWork = 0;

    // Negative types sorted, looked up once per cell.
    static std::vector<hstring> sorted(const harray<hstring>& negative);
    int countMovesAmong(const std::vector<hstring>& sortedNegative) const;
    int countRowMoves(const std::vector<hstring>& sortedNegative, bool transposed) const;
    // Whether the type at the cell would end a run with the two cells before it in its row or its column.
    bool completesRun(int column, int row, const hstring& type) const;
    int rollUntilPlayableAmong(const harray<hstring>& pool, const std::vector<hstring>& sortedNegative,
                               int maxRolls);
};
