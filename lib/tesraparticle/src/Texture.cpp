#include <tesra/Texture.h>
#include <tesraparticle/Texture.h>

namespace tesraparticle
{
    Texture::Texture(tesra::Texture* texture, const hstring& filename, bool cached)
        : texture(texture), filename(filename), cached(cached)
    {
    }

    Texture::~Texture()
    {
        delete this->texture;
    }
} // namespace tesraparticle
