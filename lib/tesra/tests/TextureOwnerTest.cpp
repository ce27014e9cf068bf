#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <tesra/RenderSystem.h>
#include <tesra/tesra.h>

#include "GLTestSupport.h"
#include "LogCapture.h"

using namespace tesra;
using namespace testsupport;

namespace
{
    const hstring dataDir = hstring(VUMO_TEST_DATA_DIR) + "/render/";

    // A texture whose owner keeps it past the render system's end.
    struct OutlivingRow
    {
        const char* what;
        std::function<Texture*(RenderSystem*)> make;
    };

    void PrintTo(const OutlivingRow& row, std::ostream* out)
    {
        *out << row.what;
    }

    class TextureOwner : public ::testing::TestWithParam<OutlivingRow>
    {
    };
} // namespace

// The render system lists textures but owns none: one still held when it goes is reported and let go of,
// and its owner's delete later touches neither the render system nor the device.
TEST_P(TextureOwner, ATextureOutlivingTheRenderSystemIsReportedAndItsOwnerDeletesIt)
{
    std::vector<std::string> journal;
    std::unique_ptr<Texture> texture;
    LogCapture log;
    {
        GLContext context(16, 16);
        texture.reset(GetParam().make(tesra::rendersys));
        ASSERT_NE(texture, nullptr);
        journal.push_back("listed " + std::to_string(tesra::rendersys->getTextures().size()));
        // The library ends before the context would delete what its test left listed.
        tesra::destroy();
    }
    const hstring name = texture->toString();
    int reports = 0;
    for (const hstring& line : log.lines)
    {
        reports += (line.contains("outlived the rendersystem") && line.contains(name)) ? 1 : 0;
    }
    journal.push_back("reported " + std::to_string(reports));
    journal.push_back(texture->getRenderSystem() == nullptr ? "detached" : "attached");
    journal.push_back(texture->load() ? "loads" : "loads no more");
    texture.reset();
    journal.push_back("deleted");
    EXPECT_EQ(journal,
              (std::vector<std::string>{"listed 1", "reported 1", "detached", "loads no more", "deleted"}));
}

INSTANTIATE_TEST_SUITE_P(
    Rows, TextureOwner,
    ::testing::Values(OutlivingRow{"a managed texture of a colour", [](RenderSystem* rs)
                                   { return rs->createTexture(4, 4, Color(255, 0, 0)); }},
                      OutlivingRow{"a render target",
                                   [](RenderSystem* rs) {
                                       return rs->createTexture(8, 8, Color(0, 0, 0), Image::FORMAT_RGBA,
                                                                Texture::Type::RENDER_TARGET);
                                   }},
                      OutlivingRow{"a file's texture not loaded yet", [](RenderSystem* rs) {
                                       return rs->createTextureFromFile(dataDir + "quad",
                                                                        Texture::Type::IMMUTABLE, false);
                                   }}));
