#include "Match3Board.h"

#include <algorithm>

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

int Match3Board::countRowMoves(const harray<hstring>& negative, bool transposed) const
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
            if (std::find(negative.begin(), negative.end(), x) != negative.end())
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
    return countRowMoves(negative, false) + countRowMoves(negative, true);
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

int Match3Board::rollUntilPlayable(const harray<hstring>& pool, const harray<hstring>& negative, int maxRolls)
{
    int rolls = 0;
    do
    {
        for (hstring& type : cells)
        {
            type = pool.random();
        }
        ++rolls;
    } while ((hasRun() || !hasMove(negative)) && rolls <= maxRolls);
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

bool Match3Board::refillUntilMovable(const std::vector<std::pair<int, int>>& refilled,
                                     const harray<hstring>& pool, const harray<hstring>& negative, int& rolls)
{
    for (rolls = 0; !hasMove(negative); ++rolls)
    {
        if (rolls == maxRefillRolls)
        {
            // The remaining cells leave the new ones no move: roll the whole board instead.
            rolls += rollUntilPlayable(pool, negative, getMaxRolls());
            return hasMove(negative);
        }
        for (const std::pair<int, int>& slot : refilled)
        {
            set(slot.first, slot.second, pool.random());
        }
    }
    return true;
}
