#include <memory>

#include <tesra/RenderSystem.h>
#include <tesra/tesra.h>

#include "GLTestSupport.h"
#include "LogCapture.h"

using namespace tesra;
using namespace testsupport;

// A picture drawn every frame whose file cannot be decoded: one line says why, and nothing is drawn.
TEST(BrokenTexture, IsReportedOnceWithTheReasonAndDrawsNothing)
{
    GLContext context(64, 64);
    RenderSystem* rs = tesra::rendersys;
    const hstring dataDir = hstring(VUMO_TEST_DATA_DIR) + "/render/";
    std::string jpt = readFile(dataDir + "quad.jpt");
    const size_t jpegLength =
        (unsigned char)jpt[4] | ((unsigned char)jpt[5] << 8) | ((unsigned char)jpt[6] << 16);
    jpt[8 + jpegLength + 4 + 1] = 'X'; // into the alpha mask's signature
    const std::tuple<const char*, std::string, const char*> cases[] = {
        {"cut.png", readFile(dataDir + "quad.png").substr(0, 60), "PNG: "},
        {"noise.jpg", "\xFF\xD8\xFF\xE0 not the bytes of a picture", "JPEG: "},
        {"empty.png", "", "the file is empty"},
        {"mask.jpt", jpt, "JPT alpha mask: PNG: no PNG signature"},
    };
    TempDir dir;
    for (const auto& [name, bytes, reason] : cases)
    {
        const hstring path = dir.file(name, bytes);
        Texture* texture = rs->createTextureFromFile(path);
        ASSERT_NE(texture, nullptr);
        LogCapture log;
        for (int frame = 0; frame < 100; ++frame)
        {
            rs->clear(true, false);
            rs->setTexture(texture);
            rs->drawTexturedRect(kavtypes::Rectangle(0, 0, 64, 64), kavtypes::Rectangle(0, 0, 1, 1));
            ASSERT_EQ(at(*context.grab(), {{1, 1}, {62, 62}}), "kk") << name << " " << frame;
            texture->getWidth(); // asked at every draw of a picture
        }
        const harray<hstring> lines = log.take();
        ASSERT_EQ(lines.size(), 2) << lines.joined("\n");
        EXPECT_EQ(lines[0], "Loading texture: '" + path + "' (immutable)");
        EXPECT_TRUE(
            lines[1].startsWith("ERROR: Failed to load texture: '" + path + "' (immutable): " + reason))
            << lines[1];
        // Another file is tried afresh.
        texture->registerFile(dataDir + "quad.png", Texture::Type::IMMUTABLE);
        EXPECT_TRUE(texture->load());
        delete texture;
    }
}
