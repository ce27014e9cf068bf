#include <tesraui/Dataset.h>
#include <tesraui/Image.h>

namespace tesraui
{
    Image::Image(Texture* texture, const hstring& name, kavtypes::Rectangle sourceRect)
        : texture(texture), name(name), sourceRect(sourceRect)
    {
    }

    hstring Image::getFullName() const
    {
        return this->dataset != nullptr ? this->dataset->getName() + "." + this->name : this->name;
    }

    NullImage::NullImage() : Image(nullptr, "null", kavtypes::Rectangle()) {}
} // namespace tesraui
