#include "ColorImage.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include <quortypes/Log.h>
#include <quortypes/exception.h>
#include <tesra/RenderSystem.h>
#include <tesra/tesra.h>
#include <tesraui/Dataset.h>
#include <tesraui/Object.h>

#include "Session.h"

namespace vumo
{
    namespace
    {
        harray<ColorImage*>& registry()
        {
            static harray<ColorImage*> images;
            return images;
        }

        // The due images of one dataset in an open-addressing table keyed by address (the objects' image
        // pointers are only compared, never followed), and whether an object was found using each.
        class DueImages
        {
        public:
            explicit DueImages(const std::vector<const tesraui::Image*>& images)
            {
                while (((size_t)1 << this->bits) < images.size() * 2)
                {
                    ++this->bits;
                }
                this->slots.assign((size_t)1 << this->bits, nullptr);
                this->used.assign(this->slots.size(), 0);
                for (const tesraui::Image* image : images)
                {
                    size_t slot = this->home(image);
                    while (this->slots[slot] != nullptr && this->slots[slot] != image)
                    {
                        slot = (slot + 1) & (this->slots.size() - 1);
                    }
                    this->slots[slot] = image;
                }
                this->left = images.size();
            }

            void markUsedIn(tesraui::Dataset* dataset)
            {
                for (const auto& pair : dataset->getObjects())
                {
                    for (const tesraui::Image* image : pair.second->getImages())
                    {
                        const int slot = this->find(image);
                        if (slot >= 0 && !this->used[slot]++ && --this->left == 0)
                        {
                            return;
                        }
                    }
                }
            }

            bool isUsed(const tesraui::Image* image) const
            {
                const int slot = this->find(image);
                return slot >= 0 && this->used[slot];
            }

        private:
            std::vector<const tesraui::Image*> slots;
            std::vector<char> used;
            int bits = 3;
            size_t left = 0;

            size_t home(const tesraui::Image* image) const
            {
                return (size_t)(((uint64_t)(uintptr_t)image * 0x9E3779B97F4A7C15ull) >> (64 - this->bits));
            }

            int find(const tesraui::Image* image) const
            {
                if (image == nullptr)
                {
                    return -1;
                }
                for (size_t slot = this->home(image);; slot = (slot + 1) & (this->slots.size() - 1))
                {
                    if (this->slots[slot] == image)
                    {
                        return (int)slot;
                    }
                    if (this->slots[slot] == nullptr)
                    {
                        return -1;
                    }
                }
            }
        };
    } // namespace

    ColorImage::ColorImage(const hstring& name)
        : tesraui::Image(nullptr, name, kavtypes::Rectangle()), fillColor(name)
    {
        registry().push_back(this);
    }

    ColorImage::~ColorImage()
    {
        if (this->listed)
        {
            registry().removeAll(this);
        }
    }

    void ColorImage::draw(const kavtypes::Rectangle& rect, const tesra::Color& color)
    {
        this->idleTime = 0.0f;
        if (tesra::rendersys == nullptr)
        {
            return;
        }
        const float right = rect.x + rect.w;
        const float bottom = rect.y + rect.h;
        this->corners[0].set(rect.x, rect.y);
        this->corners[1].set(right, rect.y);
        this->corners[2].set(rect.x, bottom);
        this->corners[3].set(right, bottom);
        tesra::Color fill = this->fillColor * color;
        tesra::rendersys->setTextureBlendMode(this->blendMode);
        tesra::rendersys->render(tesra::RenderOperation::TRIANGLE_STRIP, this->corners, 4, fill);
        tesra::rendersys->setTextureBlendMode(tesra::BlendMode::DEFAULT);
    }

    const harray<ColorImage*>& ColorImage::getRegistry()
    {
        return registry();
    }

    bool ColorImage::isListedInItsDataset() const
    {
        if (this->dataset == nullptr)
        {
            return false;
        }
        const auto& images = this->dataset->getImages();
        const auto found = images.find(this->name);
        return found != images.end() && found->second.get() == this;
    }

    void ColorImage::updateAll(float timeDelta)
    {
        // Images made together come due together: one walk over the objects of a dataset answers for all
        // of its due images, and a frame walks one dataset at most, the one of the image that waited
        // longest; the others' images wait for a later frame.
        ColorImage* longest = nullptr;
        for (ColorImage* image : registry())
        {
            image->idleTime += timeDelta;
            // Held by an object or a composite image, in any dataset: such a holder may draw it again at any
            // time, shown or not, so it stays without a walk.
            if (image->idleTime > 5.0f && image->countHolders() > 0)
            {
                image->idleTime = 0.0f;
            }
            else if (image->idleTime > 5.0f && (longest == nullptr || image->idleTime > longest->idleTime) &&
                     image->isListedInItsDataset())
            {
                longest = image;
            }
        }
        if (longest == nullptr)
        {
            return;
        }
        tesraui::Dataset* checked = longest->getDataset();
        std::vector<const tesraui::Image*> dueImages;
        for (ColorImage* image : registry())
        {
            if (image->idleTime > 5.0f && image->getDataset() == checked)
            {
                dueImages.push_back(image);
            }
        }
        DueImages due(dueImages);
        due.markUsedIn(checked);
        // Only what its dataset still lists is the dataset's to let go: one destroyed meanwhile is already
        // on its way to the frame's free, and one taken out of the dataset belongs to whoever took it.
        std::vector<ColorImage*> unused;
        for (ColorImage* image : registry())
        {
            if (image->idleTime <= 5.0f || image->getDataset() != checked || !image->isListedInItsDataset())
            {
                continue;
            }
            if (due.isUsed(image))
            {
                image->idleTime = 0.0f;
                continue;
            }
            quortypes::Log::debug(Session::logTag, "Unregistering ColorImage: " + image->getName());
            image->listed = false;
            unused.push_back(image);
        }
        if (unused.empty())
        {
            return;
        }
        // Out of the registry in one pass, rather than one search of it for each.
        harray<ColorImage*>& images = registry();
        images.erase(
            std::remove_if(images.begin(), images.end(), [](ColorImage* image) { return !image->listed; }),
            images.end());
        // Destroyed as a script's image.destroy destroys them: out of the dataset now, freed with what
        // scripts destroyed at the frame's end.
        for (ColorImage* image : unused)
        {
            checked->destroyImage(image);
        }
    }

    void ColorImage::registerIfColorName(tesraui::Dataset* dataset, const hstring& name)
    {
        if (name.startsWith("0x") && !dataset->getImages().hasKey(name))
        {
            dataset->registerImage(std::make_unique<ColorImage>(name));
        }
    }
} // namespace vumo
