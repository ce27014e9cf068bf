#pragma once

#include <dlfcn.h>
#include <link.h>

#include <memory>

#include <gtest/gtest.h>

#include <quortypes/File.h>
#include <quortypes/Log.h>
#include <tesra/RenderSystem.h>
#include <tesra/tesra.h>
#include <fintu/Renderer.h>
#include <fintu/fintu.h>
#include <fintuttf/FontTtf.h>
#include <fintuttf/fintuttf.h>

namespace ttftest
{
    /// Collects the lines logged while alive, each with its level prefix.
    class LogCapture
    {
    public:
        LogCapture()
        {
            active = this;
            quortypes::Log::setCallback(&capture);
        }
        ~LogCapture()
        {
            quortypes::Log::setCallback(nullptr);
            active = nullptr;
        }
        int count(const hstring& text) const
        {
            int result = 0;
            for (const hstring& line : lines)
            {
                result += (line == text ? 1 : 0);
            }
            return result;
        }
        int countStarting(const hstring& text) const
        {
            int result = 0;
            for (const hstring& line : lines)
            {
                result += (line.startsWith(text) ? 1 : 0);
            }
            return result;
        }
        harray<hstring> lines;

    private:
        static inline LogCapture* active = nullptr;
        static void capture(const hstring&, const hstring& text)
        {
            if (active != nullptr)
            {
                active->lines.push_back(text);
            }
        }
    };

    /// The regular DejaVu Sans as the font service names it ("Book" is its style).
    inline hstring dejaVuName()
    {
        return fintuttf::getSystemFontFilename("DejaVu Sans") != "" ? "DejaVu Sans" : "DejaVu Sans Book";
    }

    /// A window with an OpenGL context on the headless display, the text renderer and FreeType.
    class TtfTest : public ::testing::Test
    {
    protected:
        void SetUp() override
        {
            tesra::init();
            tesra::createRenderSystem();
            tesra::createWindow(320, 240, false, "text");
            // SDL unloads the GL driver before the leak check; keeping every library loaded lets it name them
            dl_iterate_phdr(
                [](dl_phdr_info* info, size_t, void*)
                {
                    if (info->dlpi_name != nullptr && info->dlpi_name[0] != '\0')
                    {
                        dlopen(info->dlpi_name, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
                    }
                    return 0;
                },
                nullptr);
            fintu::init();
            fintuttf::init();
        }
        void TearDown() override
        {
            fintu::destroy();
            fintuttf::destroy();
            tesra::destroy();
        }

        fintuttf::FontTtf* makeFont(const hstring& name, float height, bool ascii = false)
        {
            hstring file = fintuttf::getSystemFontFilename(dejaVuName());
            EXPECT_NE(file, "");
            fintuttf::FontTtf* font = new fintuttf::FontTtf(file, name, height, 1.0f, 0.0f, ascii);
            EXPECT_TRUE(font->isLoaded());
            return font;
        }
    };
} // namespace ttftest
