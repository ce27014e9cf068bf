#include <algorithm>
#include <map>
#include <set>
#include <vector>

#include <quortypes/Log.h>
#include <quortypes/exception.h>
#include <tesraui/CompositeImage.h>
#include <tesraui/Dataset.h>
#include <tesraui/tesraui.h>

namespace tesraui
{
    CompositeImage::CompositeImage(const hstring& name, kavtypes::Vector2 size)
        : Image(nullptr, name, kavtypes::Rectangle(0.0f, 0.0f, size.x, size.y))
    {
    }

    namespace
    {
        // The most composites a draw passes through from image on, learnt once for each image met. Every
        // reference was refused that would have nested composites past the bound, so this goes no deeper.
        int nestingFrom(const Image* image, std::map<const Image*, int>& known)
        {
            const auto* composite = dynamic_cast<const CompositeImage*>(image);
            if (composite == nullptr)
            {
                return 0;
            }
            const auto found = known.find(image);
            if (found != known.end())
            {
                return found->second;
            }
            int deepest = 0;
            for (const CompositeImage::ImageRef& ref : composite->getImageRefs())
            {
                if (ref.first != nullptr)
                {
                    deepest = std::max(deepest, nestingFrom(ref.first, known));
                }
            }
            return known[image] = deepest + 1;
        }

        // The most composites a draw passes through from image on before it draws target: -1 when it never
        // does.
        int nestingTo(const Image* image, const Image* target, std::map<const Image*, int>& known)
        {
            const auto* composite = dynamic_cast<const CompositeImage*>(image);
            if (image == target || composite == nullptr)
            {
                return (image == target ? 0 : -1);
            }
            const auto found = known.find(image);
            if (found != known.end())
            {
                return found->second;
            }
            int deepest = -1;
            for (const CompositeImage::ImageRef& ref : composite->getImageRefs())
            {
                const int below = (ref.first != nullptr ? nestingTo(ref.first, target, known) : -1);
                deepest = std::max(deepest, below < 0 ? -1 : below + 1);
            }
            return known[image] = deepest;
        }

        // The most composites of every dataset a draw passes through before it draws composite. Only what
        // holds an image can draw it.
        int nestingAbove(const CompositeImage* composite)
        {
            if (composite->countHolders() == 0)
            {
                return 0;
            }
            std::map<const Image*, int> known;
            int above = 0;
            for (const auto& dataset : getDatasets())
            {
                for (const auto& image : dataset.second->getImages())
                {
                    above = std::max(above, nestingTo(image.second.get(), composite, known));
                }
            }
            return above;
        }
    } // namespace

    void CompositeImage::addImageRef(Image* image, const kavtypes::Rectangle& rect)
    {
        // Drawing would recurse until the stack ran out.
        const hstring why = this->refusal(harray<ImageRef>{ImageRef(image, rect)});
        if (why != "")
        {
            throw quortypes::exception("CompositeImage '" + getFullName() + "': " + why, "src/CompositeImage",
                                       __LINE__);
        }
        imageRefs.push_back(ImageRef(image, rect));
    }

    void CompositeImage::setImageRefs(const harray<ImageRef>& references)
    {
        const hstring why = this->refusal(references);
        if (why != "")
        {
            throw quortypes::exception("CompositeImage '" + getFullName() + "': " + why, "src/CompositeImage",
                                       __LINE__);
        }
        imageRefs = references;
    }

    hstring CompositeImage::refusal(const harray<ImageRef>& references) const
    {
        for (const ImageRef& ref : references)
        {
            if (ref.first != nullptr && this->isDrawnBy(ref.first))
            {
                return "a reference to '" + ref.first->getFullName() + "' would draw the image inside itself";
            }
        }
        std::map<const Image*, int> known;
        int above = -1;
        for (const ImageRef& ref : references)
        {
            const int below = (ref.first != nullptr ? nestingFrom(ref.first, known) : 0);
            if (below == 0)
            {
                continue;
            }
            above = (above < 0 ? nestingAbove(this) : above);
            if (above + 1 + below > maxNesting)
            {
                return "a reference to '" + ref.first->getFullName() +
                       "' would nest composite images deeper than " + hstring(maxNesting);
            }
        }
        return "";
    }

    int CompositeImage::nestingOf(const Image* image)
    {
        std::map<const Image*, int> known;
        return nestingFrom(image, known);
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
