#include <quortypes/exception.h>
#include <yim/Category.h>
#include <yim/Player.h>

#include "YimTestSupport.h"

TEST_F(LoopbackTest, ASecondDestroyOfAPlayerIsRefusedWithoutTouchingIt)
{
    audio->createCategory("fx", yim::BufferMode::ON_PLAY, yim::SourceMode::DISK);
    writeConstantWav(path("hum.wav"), 4410, 100);
    ASSERT_NE(audio->createSound(path("hum.wav"), "fx"), nullptr);
    yim::Player* kept = audio->createPlayer("hum");
    yim::Player* player = audio->createPlayer("hum");
    kept->play(0.0f, true);
    player->play(0.0f, true);
    render(1);
    audio->destroyPlayer(player);
    // The freed player must not be stopped before it is found missing.
    EXPECT_THROW(audio->destroyPlayer(player), quortypes::_container_element_not_found);
    EXPECT_EQ(audio->getPlayers(), (harray<yim::Player*>{kept}));
    render(2); // the manager is not left locked
    EXPECT_TRUE(kept->isPlaying());
    audio->destroyPlayer(kept);
}
