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
