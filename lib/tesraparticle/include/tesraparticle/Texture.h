#pragma once

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
        Texture(tesra::Texture* texture, const hstring& filename, bool cached);
        // Deletes the render texture.
        ~Texture();
        Texture(const Texture&) = delete;
        Texture& operator=(const Texture&) = delete;

        tesra::Texture* texture;
        hstring filename;
        bool cached;
    };
} // namespace tesraparticle
