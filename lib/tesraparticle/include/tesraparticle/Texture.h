#pragma once

#include <memory>

#include <quortypes/hstring.h>

namespace tesra
{
    class Texture;
}

namespace tesraparticle
{
    // A render texture as systems refer to it. A cached record belongs to the library's texture cache; the
    // others belong to the system that registered them.
    struct Texture
    {
        Texture(std::unique_ptr<tesra::Texture> texture, const hstring& filename, bool cached);
        ~Texture();
        Texture(const Texture&) = delete;
        Texture& operator=(const Texture&) = delete;

        std::unique_ptr<tesra::Texture> texture;
        hstring filename;
        bool cached;
    };
} // namespace tesraparticle
