#include <memory>

#include <gtest/gtest.h>

#include <quortypes/exception.h>
#include <fintu/Renderer.h>
#include <fintu/fintu.h>

#include "TestSupport.h"

using fintutest::HandFont;
using fintutest::LogCapture;

TEST(Registry, LifecycleLogsAndColorTable)
{
    LogCapture log;
    fintu::init();
    ASSERT_NE(fintu::renderer, nullptr);
    EXPECT_EQ(fintu::renderer->getColors().size(), 41);
    EXPECT_EQ(fintu::renderer->getColors().tryGet("dark_pink", ""), "7F003FFF");
    EXPECT_EQ(fintu::renderer->getColors().tryGet("light_neon", ""), "BFFF7FFF");
    EXPECT_EQ(fintu::renderer->getColors().tryGet("aqua", ""), "007FFFFF");
    fintu::destroy();
    fintu::destroy(); // a second call has nothing to do
    EXPECT_EQ(fintu::renderer, nullptr);
    harray<hstring> expected;
    expected.push_back("Initializing Fintu.");
    expected.push_back("Destroying Fintu.");
    EXPECT_EQ(log.lines, expected);
}

TEST(Registry, GetFontNamesAndScales)
{
    fintu::Renderer renderer;
    EXPECT_EQ(renderer.getFont(""), nullptr);
    EXPECT_FALSE(renderer.hasFont(""));
    HandFont* serif = new HandFont("Serif", 20.0f, 20.0f, 5.0f, 10.0f, 5.0f, 2.0f);
    renderer.registerFont(serif);
    EXPECT_TRUE(renderer.hasFont(""));
    EXPECT_FALSE(renderer.hasFont("Serif:2"));
    EXPECT_EQ(renderer.getFont("Serif"), serif);
    EXPECT_FLOAT_EQ(serif->getHeight(), 40.0f);
    EXPECT_EQ(renderer.getFont("Serif:1.5"), serif);
    EXPECT_FLOAT_EQ(serif->getHeight(), 60.0f);
    EXPECT_FLOAT_EQ(serif->getScale(), 3.0f);
    EXPECT_EQ(renderer.getFont("Serif"), serif);
    EXPECT_FLOAT_EQ(serif->getHeight(), 40.0f);
    EXPECT_EQ(renderer.getFont(":2"), serif);
    EXPECT_FLOAT_EQ(serif->getScale(), 4.0f);
    EXPECT_EQ(renderer.getFont("Serif:abc"), serif);
    EXPECT_FLOAT_EQ(serif->getScale(), 0.0f);
    renderer.getFont("");
    EXPECT_EQ(renderer.getFont("Nope:2"), nullptr);
    EXPECT_EQ(renderer.getFont("Nope"), nullptr);
    EXPECT_FLOAT_EQ(serif->getScale(), 2.0f); // a failed lookup changes no font
}

TEST(Registry, DuplicatesUnregisteringAndTheDefault)
{
    fintu::Renderer renderer;
    HandFont* serif = new HandFont("Serif");
    HandFont* mono = new HandFont("Mono");
    HandFont* sans = new HandFont("Sans");
    renderer.registerFont(serif);
    renderer.registerFont(mono, false);
    renderer.registerFont(sans);
    EXPECT_EQ(renderer.getDefaultFont(), serif);

    HandFont other("Serif");
    try
    {
        renderer.registerFont(&other);
        FAIL() << "a taken name was accepted";
    }
    catch (const quortypes::exception& e)
    {
        EXPECT_EQ(e.getMessage(), "[Renderer:249] 'Serif' 'font' already exists in 'fintu'");
    }
    EXPECT_EQ(renderer.getFont("Serif"), serif);

    try
    {
        renderer.unregisterFont(&other);
        FAIL() << "an unknown font was unregistered";
    }
    catch (const quortypes::_resource_not_exists& e)
    {
        EXPECT_EQ(e.getMessage(), "[Renderer:263] 'Serif' 'font' does not exist in 'fintu'");
    }

    renderer.destroyFont(serif);
    EXPECT_EQ(renderer.getDefaultFont(),
              mono); // the first remaining name, although it was not allowed before
    EXPECT_FALSE(renderer.hasFont("Serif"));
    std::unique_ptr<fintu::Font> monoBack = renderer.unregisterFont(mono);
    EXPECT_EQ(renderer.getDefaultFont(), sans);
    monoBack.reset();
    std::unique_ptr<fintu::Font> sansBack = renderer.unregisterFont(sans);
    EXPECT_EQ(renderer.getDefaultFont(), nullptr);
    sansBack.reset();
}

// A font kept under two names is deleted once, by the renderer's destructor or by destroyFont.
class CountedFont : public HandFont
{
public:
    CountedFont(const hstring& name, int* deletions) : HandFont(name), deletions(deletions) {}
    ~CountedFont() override { ++*deletions; }
    void rename(const hstring& value) { name = value; }
    int* deletions;
};

TEST(Registry, FontUnderTwoNamesIsDeletedOnce)
{
    int deletions = 0;
    {
        fintu::Renderer renderer;
        CountedFont* font = new CountedFont("A", &deletions);
        renderer.registerFont(font);
        font->rename("B");
        renderer.registerFont(font);
        EXPECT_EQ(renderer.getFonts().size(), 2);
    }
    EXPECT_EQ(deletions, 1);
    fintu::Renderer renderer;
    CountedFont* font = new CountedFont("A", &deletions);
    renderer.registerFont(font);
    font->rename("B");
    renderer.registerFont(font);
    renderer.destroyFont(font);
    EXPECT_EQ(renderer.getFonts().size(), 0);
    EXPECT_EQ(deletions, 2);
}

// A font handed over as an owner goes when refused; one unregistered comes back owned, once whatever its
// names, and the renderer forgets it.
TEST(Registry, FontsHandedOverAndBackAreOwnedByOneSideAtATime)
{
    int deletions = 0;
    {
        fintu::Renderer renderer;
        auto owned = std::make_unique<CountedFont>("A", &deletions);
        CountedFont* font = owned.get();
        renderer.registerFont(std::move(owned));
        EXPECT_THROW(renderer.registerFont(std::make_unique<CountedFont>("A", &deletions)),
                     quortypes::exception);
        EXPECT_EQ(deletions, 1);
        EXPECT_EQ(renderer.getFont("A"), font);
        font->rename("B");
        renderer.registerFont(font);

        std::unique_ptr<fintu::Font> back = renderer.unregisterFont(font);
        EXPECT_EQ(back.get(), font);
        EXPECT_EQ(renderer.getFonts().size(), 0);
        EXPECT_EQ(renderer.getDefaultFont(), nullptr);
        EXPECT_EQ(deletions, 1);
        // Given again as an owner, it is the renderer's once more and goes with it.
        renderer.registerFont(std::move(back));
        EXPECT_EQ(renderer.getDefaultFont(), font);
    }
    EXPECT_EQ(deletions, 2);
}

TEST(Registry, CachesClearWithLogLinesAndTrimByBuckets)
{
    fintu::Renderer renderer;
    renderer.registerFont(new HandFont("Serif"));
    renderer.getTextWidth("Serif", "ab\ncdef\nxyz");
    EXPECT_EQ(renderer.getLineCache().size(), 3);
    renderer.drawText("Serif", kavtypes::Rectangle(0, 0, 200, 50), "hello", fintu::LEFT, fintu::TOP);
    renderer.drawText("Serif", kavtypes::Rectangle(0, 0, 200, 50), "world", fintu::LEFT, fintu::TOP);
    EXPECT_EQ(renderer.getTextCache().size(), 2);
    {
        LogCapture log;
        renderer.setShadowOffset(kavtypes::Vector2(1, 1)); // unchanged: nothing cleared
        renderer.setBorderOffset(1.0f);
        renderer.setUseIdeographWords(false);
        EXPECT_EQ(log.lines.size(), 0);
        renderer.setShadowOffset(kavtypes::Vector2(2, 2));
        harray<hstring> expected;
        expected.push_back("Clearing 2 text cache entries...");
        expected.push_back("Clearing 3 line calculation cache entries...");
        EXPECT_EQ(log.lines, expected);
        renderer.clearCache(); // empty caches log nothing
        EXPECT_EQ(log.lines.size(), 2);
    }

    LogCapture log;
    renderer.setCacheSize(2);
    renderer.getTextWidth("Serif", "a\nb\nc\nd");
    EXPECT_EQ(renderer.getLineCache().size(), 2);
    renderer.getTextWidth("Serif", "c\nd"); // the newest two are still there: no new bucket
    EXPECT_EQ(renderer.getLineCache().size(), 2);
    renderer.setCacheSize(0);
    EXPECT_EQ(renderer.getLineCache().size(), 0);
    EXPECT_EQ(log.lines.size(), 0); // trimming is silent
    renderer.setCacheSize(-1);
    for (int i = 0; i < 50; ++i)
    {
        renderer.getTextWidth("Serif", hstring(formatString("a%d", i)));
    }
    EXPECT_EQ(renderer.getLineCache().size(), 50);
}

TEST(Registry, CacheHitsWhenOnlyAlphaDiffers)
{
    fintu::Renderer renderer;
    HandFont* font = new HandFont("Serif");
    renderer.registerFont(font);
    kavtypes::Rectangle rect(0, 0, 200, 50);
    renderer.drawText("Serif", rect, "fade", fintu::LEFT, fintu::TOP, tesra::Color(10, 20, 30, 255));
    int layouts = font->hasCharCalls;
    renderer.drawText("Serif", rect, "fade", fintu::LEFT, fintu::TOP, tesra::Color(10, 20, 30, 40));
    renderer.drawText("Serif", rect, "fade", fintu::LEFT, fintu::TOP, tesra::Color(10, 20, 30, 0));
    EXPECT_EQ(font->hasCharCalls, layouts);
    EXPECT_EQ(renderer.getTextCache().size(), 1);
    renderer.drawText("Serif", rect, "fade", fintu::LEFT, fintu::TOP, tesra::Color(10, 20, 31, 255));
    EXPECT_GT(font->hasCharCalls, layouts);
    EXPECT_EQ(renderer.getTextCache().size(), 2);
}

TEST(Registry, CacheKeysAndHashes)
{
    fintu::CacheEntryText a;
    a.text = "text";
    a.fontName = "Serif";
    a.rect = kavtypes::Rectangle(1, 2, 3, 4);
    a.color = tesra::Color(1, 2, 3, 255);
    fintu::CacheEntryText b = a;
    b.color.a = 7;
    EXPECT_TRUE(a == b);
    EXPECT_EQ(a.hash(), b.hash());
    b.horzFormatting = 5; // not hashed, but compared
    EXPECT_FALSE(a == b);
    b = a;
    b.text = "texu";
    EXPECT_NE(a.hash(), b.hash());
    // bytes above 0x7F are sign-extended: the hash of a lone 0xC3 sets the high bits it shifts in
    EXPECT_EQ(fintu::hashStrings("\xC3", ""), 0xFFFFFFFFu ^ 0xFFFFFFC3u);
    EXPECT_EQ(fintu::hashStrings("ab", "c"), 0xFFFFFFFFu ^ 'a' ^ ('b' << 8) ^ 'c');
}
