#pragma once

#include <dlfcn.h>
#include <link.h>

#include <algorithm>
#include <functional>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include <gtest/gtest.h>
#include <png.h>

#include <tesra/Color.h>
#include <tesra/Image.h>
#include <tesra/RenderSystem.h>
#include <tesra/tesra.h>
#include <tesraui/tesraui.h>

#include "LibraryTestSupport.h"

namespace uidata
{
    // An RGBA PNG of the pixels the function gives.
    inline std::string makePng(int width, int height, const std::function<tesra::Color(int, int)>& pixel)
    {
        std::vector<unsigned char> rgba;
        for (int y = 0; y < height; ++y)
        {
            for (int x = 0; x < width; ++x)
            {
                tesra::Color c = pixel(x, y);
                rgba.insert(rgba.end(), {c.r, c.g, c.b, c.a});
            }
        }
        png_image image = {};
        image.version = PNG_IMAGE_VERSION;
        image.width = width;
        image.height = height;
        image.format = PNG_FORMAT_RGBA;
        png_alloc_size_t size = 0;
        png_image_write_to_memory(&image, nullptr, &size, 0, rgba.data(), 0, nullptr);
        std::string png(size, '\0');
        png_image_write_to_memory(&image, &png[0], &size, 0, rgba.data(), 0, nullptr);
        return png;
    }

    // A file of the tests' data folder.
    inline std::string testData(const std::string& name)
    {
        std::ifstream in(std::string(VUMO_TEST_DATA_DIR) + "/" + name, std::ios::binary);
        std::stringstream content;
        content << in.rdbuf();
        return content.str();
    }

    inline std::string solidPng(int width, int height, tesra::Color color)
    {
        return makePng(width, height, [color](int, int) { return color; });
    }

    // A hidden window with the OpenGL render system and the UI library, files read from a scratch folder.
    class UiWindowTest : public testing::Test
    {
    protected:
        library_support::ResourceFolder folder;

        void SetUp() override
        {
            tesra::init();
            tesra::createRenderSystem();
            tesra::createWindow(128, 128, false, "uidata");
            // SDL unloads the GL driver before the leak check, which then cannot name the driver's memory.
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
            tesraui::init();
        }

        void TearDown() override
        {
            tesraui::destroy();
            tesra::destroy();
        }

        // The frame as 0xRRGGBBAA at a pixel.
        static unsigned int pixel(const tesra::Image& shot, int x, int y)
        {
            const unsigned char* p = shot.data + ((size_t)y * shot.width + x) * 4;
            return ((unsigned int)p[0] << 24) | ((unsigned int)p[1] << 16) | ((unsigned int)p[2] << 8) | p[3];
        }

        static std::unique_ptr<tesra::Image> grab()
        {
            return std::unique_ptr<tesra::Image>(tesra::rendersys->takeScreenshot(tesra::Image::FORMAT_RGBA));
        }
    };
} // namespace uidata
