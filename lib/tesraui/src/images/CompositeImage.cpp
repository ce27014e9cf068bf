#include <set>
#include <vector>

#include <quortypes/Log.h>
#include <quortypes/exception.h>
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
        // Drawing would recurse until the stack ran out.
        if (isDrawnBy(image))
        {
            throw quortypes::exception("CompositeImage '" + getFullName() + "': a reference to '" +
                                           image->getFullName() + "' would draw the image inside itself",
                                       "src/CompositeImage", __LINE__);
        }
        imageRefs.push_back(ImageRef(image, rect));
    }

    bool CompositeImage::isDrawnBy(const Image* image) const
    {
        // Each image once: composites that share their references would be walked again for every path.
        std::set<const Image*> seen;
        std::vector<const Image*> pending = {image};
        while (!pending.empty())
        {
            const Image* next = pending.back();
            pending.pop_back();
            if (next == this)
            {
                return true;
            }
            const CompositeImage* composite = dynamic_cast<const CompositeImage*>(next);
            if (composite == nullptr || !seen.insert(composite).second)
            {
                continue;
            }
            for (const ImageRef& ref : composite->imageRefs)
            {
                if (ref.first != nullptr)
                {
                    pending.push_back(ref.first);
                }
            }
        }
        return false;
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
