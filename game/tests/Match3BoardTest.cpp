#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <quortypes/util.h>

#include "Match3Board.h"
#include "Match3Types.h"

using match3test::types;

namespace
{
    // Rows of letters, top first; "." is a cell of its own type that matches nothing.
    Match3Board board(const std::vector<std::string>& lines)
    {
        Match3Board result((int)lines[0].size(), (int)lines.size());
        for (int r = 0; r < (int)lines.size(); ++r)
        {
            for (int c = 0; c < (int)lines[r].size(); ++c)
            {
                const char letter = lines[r][c];
                result.set(c, r, letter == '.' ? formatString("f%d_%d", c, r) : hstring(letter));
            }
        }
        return result;
    }

    // The same board with columns and rows exchanged.
    std::vector<std::string> transposed(const std::vector<std::string>& lines)
    {
        std::vector<std::string> result(lines[0].size(), std::string(lines.size(), '.'));
        for (size_t r = 0; r < lines.size(); ++r)
        {
            for (size_t c = 0; c < lines[r].size(); ++c)
            {
                result[c][r] = lines[r][c];
            }
        }
        return result;
    }
} // namespace

TEST(Match3Board, EachMovePatternCountsOnceAlongRowsAndColumns)
{
    // Every shape a single swap turns into a run, with X the first cell of the pair or split pair.
    const std::vector<std::pair<const char*, std::vector<std::string>>> patterns = {
        {"pair, then one beyond the gap", {"......", ".AA.A.", "......"}},
        {"pair, then above the gap", {"....A.", "..AA..", "......"}},
        {"pair, then below the gap", {"......", "..AA..", "....A."}},
        {"one before the gap, then pair", {"......", "A.AA..", "......"}},
        {"above before the pair", {".A....", "..AA..", "......"}},
        {"below before the pair", {"......", "..AA..", ".A...."}},
        {"split pair, middle above", {"..A...", ".A.A..", "......"}},
        {"split pair, middle below", {"......", ".A.A..", "..A..."}},
    };
    for (const auto& pattern : patterns)
    {
        EXPECT_EQ(board(pattern.second).countMoves({}), 1) << pattern.first;
        EXPECT_EQ(board(transposed(pattern.second)).countMoves({}), 1) << pattern.first << ", column-wise";
        EXPECT_EQ(board(pattern.second).countMoves({"A"}), 0) << pattern.first << ", negative";
        EXPECT_FALSE(board(pattern.second).hasRun()) << pattern.first;
    }
    EXPECT_EQ(board({"......", "......", "......"}).countMoves({}), 0);
}

TEST(Match3Board, RunsAreMaximalRowsFirstAndCrossingRunsCountApart)
{
    struct Case
    {
        const char* what;
        std::vector<std::string> lines;
        std::vector<std::vector<int>> runs; // column, row, length, horizontal
    };
    const std::vector<Case> cases = {
        {"five in a row", {".......", ".AAAAA.", "......."}, {{1, 1, 5, 1}}},
        {"two runs in one row", {"AAA.BBB"}, {{0, 0, 3, 1}, {4, 0, 3, 1}}},
        {"an L of three and three", {"A....", "A....", "AAA.."}, {{0, 2, 3, 1}, {0, 0, 3, 0}}},
        {"a cross", {".A.", "AAA", ".A."}, {{0, 1, 3, 1}, {1, 0, 3, 0}}},
        {"two are no run", {"AA.", "...", "A.."}, {}},
    };
    for (const Case& c : cases)
    {
        const std::vector<Match3Board::Run> runs = board(c.lines).findMatches();
        ASSERT_EQ(runs.size(), c.runs.size()) << c.what;
        for (size_t i = 0; i < runs.size(); ++i)
        {
            EXPECT_EQ(
                (std::vector<int>{runs[i].column, runs[i].row, runs[i].length, runs[i].horizontal ? 1 : 0}),
                c.runs[i])
                << c.what << ", run " << i;
        }
    }
    // Stopping at the first run never looks at columns once a row has one.
    const std::vector<Match3Board::Run> first = board({"A....", "A....", "AAA.."}).findMatches(true);
    ASSERT_EQ(first.size(), 1u);
    EXPECT_TRUE(first[0].horizontal);
    EXPECT_EQ(
        board({"A....", "A....", "AAA.."}).runCells(board({"A....", "A....", "AAA.."}).findMatches()).size(),
        5u);
}

TEST(Match3Board, SeededResetsAndRefillsAreAlwaysPlayable)
{
    for (int size : {8, 5})
    {
        for (int typeCount = 4; typeCount <= 6; ++typeCount)
        {
            const harray<hstring> pool = types(std::string("ABCDEF").substr(0, typeCount));
            for (unsigned int seed = 1; seed <= 40; ++seed)
            {
                quortypes::seedRandom(seed);
                Match3Board b(size, size);
                b.rollUntilPlayable(pool, {"D"}, Match3Board::maxBoardRolls);
                EXPECT_FALSE(b.hasRun()) << size << " " << typeCount << " " << seed;
                EXPECT_TRUE(b.hasMove({"D"})) << size << " " << typeCount << " " << seed;
                // The top row refilled, as after a run along it.
                std::vector<std::pair<int, int>> refilled;
                for (int c = 0; c < size; ++c)
                {
                    refilled.emplace_back(c, 0);
                }
                int rolls = 0;
                EXPECT_TRUE(b.refillUntilMovable(refilled, pool, {"D"}, rolls));
                EXPECT_TRUE(b.hasMove({"D"}));
            }
        }
    }
}

TEST(Match3Board, BoardsThatCannotSettleEndWithinTheBound)
{
    quortypes::seedRandom(7);
    Match3Board oneType(8, 8);
    EXPECT_EQ(oneType.rollUntilPlayable(types("A"), {}, Match3Board::maxBoardRolls),
              Match3Board::maxBoardRolls + 1);
    EXPECT_TRUE(oneType.hasRun());

    Match3Board allNegative(8, 8);
    allNegative.rollUntilPlayable(types("NM"), types("NM"), Match3Board::maxBoardRolls);
    EXPECT_FALSE(allNegative.hasMove(types("NM")));
    int rolls = 0;
    EXPECT_FALSE(allNegative.refillUntilMovable({{0, 0}}, types("NM"), types("NM"), rolls));
    EXPECT_EQ(rolls, Match3Board::maxRefillRolls + Match3Board::maxBoardRolls + 1);

    // Remaining cells that leave the refilled one no move fall back to whole boards.
    Match3Board stuck = board({"AB.", "BA.", "..."});
    EXPECT_TRUE(stuck.refillUntilMovable({{2, 2}}, types("ABC"), {}, rolls));
    EXPECT_GT(rolls, Match3Board::maxRefillRolls);
    EXPECT_TRUE(stuck.hasMove({}));
}

TEST(Match3Board, LargeBoardsOfFewTypesAreDealtWithoutARunAtOnce)
{
    // Whole-board rolls met their bound on these with runs left on the board; a deal places no run.
    const struct
    {
        int side;
        const char* pool;
    } cases[] = {{10, "ABC"},
                 {12, "ABCD"},
                 {16, "ABCDE"},
                 {20, "ABCDEF"},
                 {32, "ABC"},
                 // Two types: a cell may fit neither, and the cells before it are dealt again.
                 {8, "AB"},
                 {20, "AB"},
                 {32, "AB"},
                 // A type listed twice, and one the moves never start from.
                 {10, "AAB"}};
    for (const auto& c : cases)
    {
        const harray<hstring> negative = (std::string(c.pool) == "AAB" ? types("B") : harray<hstring>());
        int slowest = 0;
        for (unsigned int seed = 1; seed <= 20; ++seed)
        {
            quortypes::seedRandom(seed);
            Match3Board b(c.side, c.side);
            const int rolls = b.rollUntilPlayable(types(c.pool), negative, b.getMaxRolls());
            slowest = std::max(slowest, rolls);
            EXPECT_FALSE(b.hasRun()) << c.side << " " << c.pool << " " << seed;
            EXPECT_TRUE(b.hasMove(negative)) << c.side << " " << c.pool << " " << seed;
        }
        EXPECT_EQ(slowest, 1) << c.side << " " << c.pool;
    }
}

TEST(Match3Board, ATypeListedTwiceIsDealtMoreOften)
{
    quortypes::seedRandom(3);
    Match3Board b(20, 20);
    ASSERT_TRUE(b.dealWithoutRuns(types("AABC")));
    int counts[3] = {0, 0, 0};
    for (int c = 0; c < 20; ++c)
        for (int r = 0; r < 20; ++r)
            ++counts[b.at(c, r)[0] - 'A'];
    // Less than twice as often: runs of the frequent type are turned away more often.
    EXPECT_GT(counts[0], counts[1] * 5 / 4);
    EXPECT_GT(counts[0], counts[2] * 5 / 4);
}
