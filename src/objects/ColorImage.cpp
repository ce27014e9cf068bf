#include "ColorImage.h"

#include <algorithm>

#include <quortypes/Log.h>
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

        bool isUsed(ColorImage* image)
        {
            tesraui::Dataset* dataset = image->getDataset();
            if (dataset == nullptr)
            {
                return false;
            }
            for (const auto& pair : dataset->getObjects())
            {
                const harray<tesraui::Image*> images = pair.second->getImages();
                if (std::find(images.begin(), images.end(), image) != images.end())
                {
                    return true;
                }
            }
            return false;
        }
    } // namespace

    ColorImage::ColorImage(const hstring& name)
        : tesraui::Image(nullptr, name, kavtypes::Rectangle()), fillColor(name)
    {
        registry().push_back(this);
    }

    ColorImage::~ColorImage()
    {
        registry().removeAll(this);
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

    void ColorImage::updateAll(float timeDelta)
    {
        harray<ColorImage*> unused;
        for (ColorImage* image : registry())
        {
            image->idleTime += timeDelta;
            if (image->idleTime > 5.0f && isUsed(image))
            {
                image->idleTime = 0.0f;
            }
            if (image->idleTime > 5.0f)
            {
                quortypes::Log::debug(Session::logTag, "Unregistering ColorImage: " + image->getName());
                if (image->getDataset() != nullptr)
                {
                    image->getDataset()->unregisterImage(image);
                }
                unused.push_back(image);
            }
        }
        for (ColorImage* image : unused)
        {
            delete image;
        }
    }

    void ColorImage::registerIfColorName(tesraui::Dataset* dataset, const hstring& name)
    {
        if (name.startsWith("0x") && !dataset->getImages().hasKey(name))
        {
            dataset->registerImage(new ColorImage(name));
        }
    }
} // namespace vumo
