#include <ctime>
#include <string>

#include <gtest/gtest.h>

#include <quortypes/util.h>

#include "Match3Board.h"
#include "Match3Types.h"

using match3test::types;

TEST(Match3BoardLimits, OnlyPoolsWithTwoTypesAndOneNotNegativeCanSettle)
{
    const struct
    {
        const char* pool;
        const char* negative;
        bool settles;
    } cases[] = {
        {"", "", false},  {"A", "", false},   {"AAAA", "", false}, {"AB", "AB", false},
        {"AB", "", true}, {"AAB", "B", true}, {"AB", "A", true},   {"ABCD", "D", true},
    };
    for (const auto& c : cases)
    {
        EXPECT_EQ(Match3Board::canSettle(types(c.pool), types(c.negative)), c.settles)
            << "pool " << c.pool << ", negative " << c.negative;
    }
}

TEST(Match3BoardLimits, OnlyBoardsWithALineOfFourOrThreeBesideAnotherCanHoldAMove)
{
    const struct
    {
        int columns;
        int rows;
        bool holds;
    } cases[] = {
        {1, 1, false}, {2, 2, false}, {3, 1, false}, {1, 3, false}, {2, 32, true}, {3, 2, true},
        {2, 3, true},  {4, 1, true},  {1, 4, true},  {3, 3, true},  {8, 8, true},
    };
    for (const auto& c : cases)
    {
        EXPECT_EQ(Match3Board::canHoldMove(c.columns, c.rows), c.holds) << c.columns << " x " << c.rows;
    }
    // Each size that can is dealt a board with a move.
    quortypes::seedRandom(5);
    for (const auto& c : cases)
    {
        Match3Board b(c.columns, c.rows);
        b.rollUntilPlayable(types("ABC"), {}, b.getMaxRolls());
        EXPECT_EQ(!b.hasRun() && b.hasMove({}), c.holds) << c.columns << " x " << c.rows;
    }
}

// A thousand tile types, half of them negative, on a board that never settles: the deal and the move search
// look at a few of them per cell, not at all of them, so every roll costs about what it costs with four.
TEST(Match3BoardLimits, AManyTypedPoolCostsTheDealNoMoreThanAFewTypes)
{
    auto secondsOfRolls = [](int typeCount)
    {
        harray<hstring> pool;
        harray<hstring> negative;
        for (int i = 0; i < typeCount; ++i)
        {
            pool.push_back(hstring("T") + hstring(i));
            if (i % 2 == 1)
            {
                negative.push_back(pool.back());
            }
        }
        quortypes::seedRandom(9);
        const std::clock_t start = std::clock();
        Match3Board b(2, 2);
        EXPECT_EQ(b.rollUntilPlayable(pool, negative, b.getMaxRolls()), b.getMaxRolls() + 1);
        return (double)(std::clock() - start) / CLOCKS_PER_SEC;
    };
    const double few = secondsOfRolls(4);
    const double many = secondsOfRolls(1000);
    EXPECT_LT(many, few * 4 + 0.05) << few << " s with 4 types";
}

TEST(Match3BoardLimits, LargerBoardsGetFewerRollsForTheSameWork)
{
    const struct
    {
        int columns;
        int rows;
        int rolls;
    } cases[] = {
        {8, 8, Match3Board::maxBoardRolls},
        {2, 2, Match3Board::maxBoardRolls},
        {16, 8, Match3Board::maxBoardRolls / 2},
        {32, 32, (int)(Match3Board::maxRolledCells / 1024)},
        {88, 9, (int)(Match3Board::maxRolledCells / 792)},
        {8, 8060, (int)(Match3Board::maxRolledCells / (8 * 8060))},
        {0, 0, Match3Board::maxBoardRolls},
    };
    for (const auto& c : cases)
    {
        EXPECT_EQ(Match3Board(c.columns, c.rows).getMaxRolls(), c.rolls) << c.columns << " x " << c.rows;
    }
}

TEST(Match3BoardLimits, ABoardThatCannotSettleGivesUpWithinTheWorkOfItsSize)
{
    quortypes::seedRandom(11);
    Match3Board oneType(32, 32);
    const int maxRolls = oneType.getMaxRolls();
    ASSERT_LT(maxRolls, Match3Board::maxBoardRolls);
    EXPECT_EQ(oneType.rollUntilPlayable(types("A"), {}, maxRolls), maxRolls + 1);

    // A refill that can never make a move falls back to as many whole boards, no more.
    Match3Board allNegative(32, 32);
    allNegative.rollUntilPlayable(types("NM"), types("NM"), 0);
    int rolls = 0;
    EXPECT_FALSE(allNegative.refillUntilMovable({{0, 0}}, types("NM"), types("NM"), rolls));
    EXPECT_EQ(rolls, Match3Board::maxRefillRolls + maxRolls + 1);
}
