#include "Match3Board.h"

#include <algorithm>

#include <quortypes/util.h>

Match3Board::Match3Board(int columns, int rows) : columns(std::max(columns, 0)), rows(std::max(rows, 0))
{
    cells.resize((size_t)this->columns * this->rows);
}

void Match3Board::swap(int c1, int r1, int c2, int r2)
{
    std::swap(cells[c1 * rows + r1], cells[c2 * rows + r2]);
}

std::vector<Match3Board::Run> Match3Board::findMatches(bool stopAtFirst) const
{
    std::vector<Run> runs;
    // One pass per line: along the rows first, then along the columns.
    for (int pass = 0; pass < 2; ++pass)
    {
        const bool horizontal = (pass == 0);
        if (!horizontal && stopAtFirst && !runs.empty())
        {
            break;
        }
        const int lines = horizontal ? rows : columns;
        const int length = horizontal ? columns : rows;
        for (int line = 0; line < lines; ++line)
        {
            int start = 0;
            bool recorded = false;
            for (int i = 1; i <= length; ++i)
            {
                const bool same = i < length && (horizontal ? at(i, line) == at(start, line)
                                                            : at(line, i) == at(line, start));
                if (same)
                {
                    const int runLength = i - start + 1;
                    if (runLength >= 3)
                    {
                        Run run = horizontal ? Run{start, line, runLength, true}
                                             : Run{line, start, runLength, false};
                        if (recorded)
                        {
                            runs.back() = run;
                        }
                        else
                        {
                            runs.push_back(run);
                            recorded = true;
                        }
                    }
                    continue;
                }
                if (recorded && stopAtFirst)
                {
                    return runs;
                }
                start = i;
                recorded = false;
            }
        }
    }
    return runs;
}

std::vector<hstring> Match3Board::sorted(const harray<hstring>& negative)
{
    std::vector<hstring> result(negative.begin(), negative.end());
    std::sort(result.begin(), result.end());
    return result;
}

int Match3Board::countRowMoves(const std::vector<hstring>& sortedNegative, bool transposed) const
{
    const int cs = transposed ? rows : columns;
    const int rs = transposed ? columns : rows;
    auto cell = [&](int c, int r) -> const hstring& { return transposed ? at(r, c) : at(c, r); };
    int count = 0;
    for (int r = 0; r < rs; ++r)
    {
        for (int c = 0; c < cs - 1; ++c)
        {
            const hstring& x = cell(c, r);
            if (std::binary_search(sortedNegative.begin(), sortedNegative.end(), x))
            {
                continue;
            }
            const bool above = r > 0;
            const bool below = r < rs - 1;
            if (cell(c + 1, r) == x)
            {
                if (c + 2 < cs)
                {
                    count += (c + 3 < cs && cell(c + 3, r) == x);
                    count += (above && cell(c + 2, r - 1) == x);
                    count += (below && cell(c + 2, r + 1) == x);
                }
                if (c > 0)
                {
                    count += (c >= 2 && cell(c - 2, r) == x);
                    count += (above && cell(c - 1, r - 1) == x);
                    count += (below && cell(c - 1, r + 1) == x);
                }
            }
            if (c + 2 < cs && cell(c + 2, r) == x)
            {
                count += (above && cell(c + 1, r - 1) == x);
                count += (below && cell(c + 1, r + 1) == x);
            }
        }
    }
    return count;
}

int Match3Board::countMoves(const harray<hstring>& negative) const
{
    return countMovesAmong(sorted(negative));
}

int Match3Board::countMovesAmong(const std::vector<hstring>& sortedNegative) const
{
    return countRowMoves(sortedNegative, false) + countRowMoves(sortedNegative, true);
}

std::vector<std::pair<int, int>> Match3Board::runCells(const std::vector<Run>& runs) const
{
    std::vector<std::pair<int, int>> result;
    for (const Run& run : runs)
    {
        for (int i = 0; i < run.length; ++i)
        {
            std::pair<int, int> cell = run.horizontal ? std::make_pair(run.column + i, run.row)
                                                      : std::make_pair(run.column, run.row + i);
            if (std::find(result.begin(), result.end(), cell) == result.end())
            {
                result.push_back(cell);
            }
        }
    }
    return result;
}

bool Match3Board::completesRun(int column, int row, const hstring& type) const
{
    return (column >= 2 && at(column - 1, row) == type && at(column - 2, row) == type) ||
           (row >= 2 && at(column, row - 1) == type && at(column, row - 2) == type);
}

bool Match3Board::dealWithoutRuns(const harray<hstring>& pool)
{
    // Cells in the order they are stored, a column at a time: the two before a cell in its row and in its
    // column are dealt already, and a run always ends at such a cell. With three types or more some type
    // always fits; with two, a cell between a pair on its left and another pair above may fit none, and the
    // cells before it are dealt again.
    const int count = (int)cells.size();
    std::vector<std::vector<hstring>> tried(cells.size());
    const long long maxSteps = 16LL * count + 64;
    long long steps = 0;
    harray<hstring> fitting;
    auto fits = [&](int i, int column, int row, const hstring& type)
    {
        return !completesRun(column, row, type) &&
               std::find(tried[i].begin(), tried[i].end(), type) == tried[i].end();
    };
    for (int i = 0; i < count;)
    {
        if (++steps > maxSteps)
        {
            return false;
        }
        const int column = i / rows;
        const int row = i % rows;
        // At most two types complete a run, so a few picks nearly always find one that fits without
        // looking at the whole pool; a pick that fits is as likely for every fitting entry as a choice
        // among all of them would be.
        bool picked = false;
        for (int pick = 0; pick < 4 && !picked && pool.size() > 0; ++pick)
        {
            ++dealWork;
            const hstring& type = pool[quortypes::randomInt(pool.size())];
            if (fits(i, column, row, type))
            {
                cells[i] = type;
                picked = true;
            }
        }
        if (picked)
        {
            tried[i].push_back(cells[i]);
            ++i;
            continue;
        }
        fitting.clear();
        // Every entry of the pool, so that a type listed twice still comes twice as often.
        dealWork += pool.size();
        for (const hstring& type : pool)
        {
            if (fits(i, column, row, type))
            {
                fitting.push_back(type);
            }
        }
        if (fitting.size() == 0)
        {
            tried[i].clear();
            if (i == 0)
            {
                return false;
            }
            --i;
            continue;
        }
        cells[i] = fitting.random();
        tried[i].push_back(cells[i]);
        ++i;
    }
    return true;
}

int Match3Board::rollUntilPlayable(const harray<hstring>& pool, const harray<hstring>& negative, int maxRolls)
{
    dealWork = 0;
    return rollUntilPlayableAmong(pool, sorted(negative), maxRolls);
}

int Match3Board::rollUntilPlayableAmong(const harray<hstring>& pool,
                                        const std::vector<hstring>& sortedNegative, int maxRolls)
{
    int rolls = 0;
    bool dealing = true;
    do
    {
        // A pool that cannot avoid runs (one type) still fills the board, at random from then on.
        dealing = dealing && dealWithoutRuns(pool);
        if (!dealing)
        {
            for (hstring& type : cells)
            {
                type = pool.random();
            }
            dealWork += (long long)cells.size();
        }
        ++rolls;
    } while ((hasRun() || countMovesAmong(sortedNegative) == 0) && rolls <= maxRolls &&
             dealWork <= maxDealWork);
    return rolls;
}

int Match3Board::getMaxRolls() const
{
    const long long boardCells = std::max((long long)cells.size(), 1LL);
    return (int)std::max(std::min(maxRolledCells / boardCells, (long long)maxBoardRolls), 1LL);
}

bool Match3Board::canSettle(const harray<hstring>& pool, const harray<hstring>& negative)
{
    std::vector<hstring> kinds;
    bool movable = false;
    for (const hstring& type : pool)
    {
        if (std::find(kinds.begin(), kinds.end(), type) == kinds.end())
        {
            kinds.push_back(type);
        }
        movable = movable || std::find(negative.begin(), negative.end(), type) == negative.end();
    }
    return kinds.size() >= 2 && movable;
}

bool Match3Board::canHoldMove(int columns, int rows)
{
    const int longer = std::max(columns, rows);
    const int shorter = std::min(columns, rows);
    return longer >= 4 || (longer == 3 && shorter >= 2);
}

bool Match3Board::refillUntilMovable(const std::vector<std::pair<int, int>>& refilled,
                                     const harray<hstring>& pool, const harray<hstring>& negative, int& rolls)
{
    const std::vector<hstring> sortedNegative = sorted(negative);
    dealWork = 0;
    for (rolls = 0; countMovesAmong(sortedNegative) == 0; ++rolls)
    {
        if (rolls == maxRefillRolls)
        {
            // The remaining cells leave the new ones no move: roll the whole board instead.
            rolls += rollUntilPlayableAmong(pool, sortedNegative, getMaxRolls());
            return countMovesAmong(sortedNegative) > 0;
        }
        for (const std::pair<int, int>& slot : refilled)
        {
            set(slot.first, slot.second, pool.random());
        }
    }
    return true;
}
