#pragma once

#include <functional>
#include <utility>

#include "Match3Board.h"

namespace match3test
{
    // A neighbour swap that makes a line, as a player looks for one: first one that lines up a wanted type,
    // else, unless asked for only those, any. False when no such swap is there.
    inline bool findLineSwap(const Match3Board& board, const std::function<bool(const hstring&)>& wanted,
                             int& c1, int& r1, int& c2, int& r2, bool onlyWanted = false)
    {
        Match3Board tried = board;
        for (int pass = 0; pass < (onlyWanted ? 1 : 2); ++pass)
        {
            for (int c = 0; c < tried.getColumns(); ++c)
            {
                for (int r = 0; r < tried.getRows(); ++r)
                {
                    for (const std::pair<int, int>& step : {std::make_pair(1, 0), std::make_pair(0, 1)})
                    {
                        const int c2_ = c + step.first;
                        const int r2_ = r + step.second;
                        if (c2_ >= tried.getColumns() || r2_ >= tried.getRows())
                        {
                            continue;
                        }
                        tried.swap(c, r, c2_, r2_);
                        bool found = false;
                        for (const Match3Board::Run& run : tried.findMatches())
                        {
                            found = found || pass == 1 || wanted(tried.at(run.column, run.row));
                        }
                        tried.swap(c, r, c2_, r2_);
                        if (found)
                        {
                            c1 = c, r1 = r, c2 = c2_, r2 = r2_;
                            return true;
                        }
                    }
                }
            }
        }
        return false;
    }
} // namespace match3test
