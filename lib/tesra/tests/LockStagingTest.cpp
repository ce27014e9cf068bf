#include <memory>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include <tesra/RenderSystem.h>
#include <tesra/Texture.h>
#include <tesra/tesra.h>

#include "GLTestSupport.h"

using namespace tesra;
using namespace testsupport;

namespace
{
    // A texture without a system copy (video memory only) and one with it, both 2 x 1.
    class LockStaging : public ::testing::Test
    {
    protected:
        GLContext context{16, 16};
        RenderSystem* rs = tesra::rendersys;
        std::unique_ptr<Texture> gpuOnly{
            rs->createTexture(2, 1, Color(10, 20, 30, 255), Image::FORMAT_RGBA, Texture::Type::VOLATILE)};
        std::unique_ptr<Texture> managed{
            rs->createTexture(2, 1, Color(10, 20, 30, 255), Image::FORMAT_RGBA, Texture::Type::MANAGED)};
    };
} // namespace

// A lock of video memory holds the staging copy it points into, moves with it and frees it when unlocked
// (or when dropped without unlocking); a lock of the system copy only points into the texture.
TEST_F(LockStaging, ALockOwnsItsStagingCopyAndAViewOfTheSystemCopyOwnsNothing)
{
    ASSERT_NE(gpuOnly, nullptr);
    ASSERT_NE(managed, nullptr);
    Texture::Lock lock = gpuOnly->lock(0, 0, 2, 1);
    ASSERT_FALSE(lock.failed);
    ASSERT_NE(lock.staging, nullptr);
    EXPECT_EQ(lock.data, lock.staging.get());
    Texture::Lock moved = std::move(lock);
    EXPECT_EQ(lock.staging, nullptr);
    ASSERT_NE(moved.staging, nullptr);
    moved.data[3] = 77;
    EXPECT_TRUE(gpuOnly->unlock(moved, true));
    EXPECT_EQ(moved.staging, nullptr);
    EXPECT_EQ(moved.data, nullptr);
    EXPECT_FALSE(moved.locked);

    Texture::Lock again = gpuOnly->lock(0, 0, 2, 1);
    ASSERT_FALSE(again.failed);
    EXPECT_EQ((std::vector<unsigned char>{30, 20, 10, 77, 30, 20, 10, 255}), // B, G, R, A
              std::vector<unsigned char>(again.data, again.data + 8));
    // Dropped unlocked: the staging copy goes with the lock.

    Texture::Lock view = managed->lock(0, 0, 2, 1);
    ASSERT_FALSE(view.failed);
    EXPECT_TRUE(view.systemBuffer);
    EXPECT_EQ(view.staging, nullptr);
    EXPECT_EQ(view.data, managed->getData());
    EXPECT_TRUE(managed->unlock(view, false));
}
