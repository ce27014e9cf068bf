#include <utility>

#include <tesra/Texture.h>
#include <tesraparticle/Texture.h>

namespace tesraparticle
{
    Texture::Texture(std::unique_ptr<tesra::Texture> texture, const hstring& filename, bool cached)
        : texture(std::move(texture)), filename(filename), cached(cached)
    {
    }

    // Here, where the render texture's type is whole.
    Texture::~Texture() = default;
} // namespace tesraparticle
