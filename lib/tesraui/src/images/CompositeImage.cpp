#include <quortypes/Log.h>
#include <tesraui/CompositeImage.h>
#include <tesraui/tesraui.h>

namespace tesraui
{
    CompositeImage::CompositeImage(const hstring& name, kavtypes::Vector2 size)
        : Image(nullptr, name, kavtypes::Rectangle(0.0f, 0.0f, size.x, size.y))
    {
    }

    void CompositeImage::addImageRef(Image* image, const kavtypes::Rectangle& rect)
    {
        imageRefs.push_back(ImageRef(image, rect));
    }

    void CompositeImage::draw(const kavtypes::Rectangle& rect, const tesra::Color& color)
    {
        float scaleX = rect.w / sourceRect.w;
        float scaleY = rect.h / sourceRect.h;
        for (const ImageRef& ref : imageRefs)
        {
            // A referenced image of another dataset goes when that dataset unloads.
            if (ref.first == nullptr)
            {
                continue;
            }
            const kavtypes::Rectangle& r = ref.second;
            ref.first->draw(
                kavtypes::Rectangle(rect.x + r.x * scaleX, rect.y + r.y * scaleY, r.w * scaleX, r.h * scaleY),
                color);
        }
    }

    void CompositeImage::draw(const harray<tesra::TexturedVertex>&, const tesra::Color&)
    {
        quortypes::Log::warn(
            logTag,
            "CompositeImage::draw(harray<tesra::TexturedVertex>, tesra::Color) is currently not supported!");
    }
} // namespace tesraui
