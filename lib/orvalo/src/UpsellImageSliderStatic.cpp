#include <cmath>
#include <memory>

#include <tesraui/Dataset.h>
#include <tesraui/Image.h>
#include <tesraui/ImageBox.h>
#include <tesraui/tesraui.h>

#include <orvalo/UpsellImageSliderStatic.h>

#include "SliderMath.h"

namespace orvalo
{
    namespace
    {
        const float degrees = (float)M_PI / 180.0f;

        float truncated(float value)
        {
            return std::trunc(value);
        }
    } // namespace

    UpsellImageSliderStatic::UpsellImageSliderStatic(const hstring& name, kavtypes::Rectangle rect)
        : UpsellImageSliderBase(name, rect, 2)
    {
        this->displayTime = 5.0f;
        this->moveTime = 5.0f;
    }

    UpsellImageSliderStatic::~UpsellImageSliderStatic() = default;

    tesraui::Object* UpsellImageSliderStatic::createInstance(const hstring& name, kavtypes::Rectangle rect)
    {
        return new UpsellImageSliderStatic(name, rect);
    }

    void UpsellImageSliderStatic::notifyEvent(const hstring& type, void* args)
    {
        UpsellImageSliderBase::notifyEvent(type, args);
    }

    void UpsellImageSliderStatic::_setupImageBox(tesraui::ImageBox* box, int /*index*/)
    {
        // The sliding images are cut at the slider's edges.
        box->setClip(true);
    }

    const PropertyTable<UpsellImageSliderStatic>& UpsellImageSliderStatic::_properties()
    {
        using Table = PropertyTable<UpsellImageSliderStatic>;
        static const Table table = {
            Table::textRow("image_indicator_active", &UpsellImageSliderStatic::indicatorActive),
            Table::textRow("image_indicator_inactive", &UpsellImageSliderStatic::indicatorInactive),
            Table::floatRow("image_indicator_offset", &UpsellImageSliderStatic::indicatorOffset),
        };
        return table;
    }

    QUORTYPES_PROPERTY_TABLE_DESCRIPTIONS_BASE_FIRST(UpsellImageSliderStatic, UpsellImageSliderBase,
                                                     _properties)
    QUORTYPES_PROPERTY_TABLE_GET_SET(UpsellImageSliderStatic, UpsellImageSliderBase, _properties)

    void UpsellImageSliderStatic::_removeIndicators()
    {
        for (tesraui::ImageBox* box : this->indicatorBoxes)
        {
            this->removeChildAndUnregister(box);
            // Out of the dataset, the box is this slider's alone.
            const std::unique_ptr<tesraui::ImageBox> unregistered(box);
        }
        this->indicatorBoxes.clear();
    }

    bool UpsellImageSliderStatic::_tryLoadImages()
    {
        if (this->images.size() == 0)
        {
            this->_removeIndicators();
        }
        if (!UpsellImageSliderBase::_tryLoadImages())
        {
            return false;
        }
        const kavtypes::Rectangle source = this->images[0]->getSourceRect();
        this->setSize(source.w, source.h);
        if (this->indicatorActive != "" && this->indicatorInactive != "")
        {
            const int n = this->images.size();
            for (int i = 0; i < n; ++i)
            {
                // Named after the slider, as its image boxes: two galleries may share a dataset.
                std::unique_ptr<tesraui::ImageBox> made(new tesraui::ImageBox(
                    this->name + "_OrvaloUpsellIndicatorImageBox_" + hstring(i),
                    kavtypes::Rectangle(0, this->indicatorOffset + this->rect.h, -1, -1)));
                // Registered first: a name already taken throws before the tree holds the box.
                this->dataset->registerObjects(made.get());
                tesraui::ImageBox* box = made.release();
                this->addChild(box);
                box->setHeldPart(true);
                this->indicatorBoxes.push_back(box);
                box->setImageByNameIfChanged(this->indicatorInactive);
                box->resizeToFitImage();
                const float width = box->getWidth();
                box->setX((this->rect.w - n * width) * 0.5f + i * width);
            }
        }
        return true;
    }

    void UpsellImageSliderStatic::_updateImages(float timeDelta)
    {
        const int n = this->images.size();
        const int b = this->imageBoxes.size();
        const float D = this->displayTime;
        const float M = this->moveTime;
        const float P = D + M;
        const float W = this->rect.w;
        float& T = this->sliderTime;
        if (n == 0 || b == 0)
        {
            return;
        }
        if (!this->dragging)
        {
            T += this->fling != 0.0f ? this->fling : this->direction * timeDelta;
        }
        else
        {
            T = this->pressTime;
        }
        float p = 0.0f;
        float e = 0.0f;
        int i = 0;
        // Without a positive period the first image stands still.
        if (P > 0.0f)
        {
            const float t = positiveModulo(T, P);
            if (t >= D)
            {
                p = (t - D) / M;
                e = (std::sin((p * 180.0f - 90.0f) * degrees) + 1.0f) * 0.5f;
            }
            else if (!this->dragging)
            {
                this->fling = 0.0f;
            }
            // A slider of no width cannot be dragged.
            if (this->dragging && this->totalDrag.x != 0.0f && W > 0.0f)
            {
                e -= this->totalDrag.x / W;
                if (p == 0.0f)
                {
                    T = positiveModulo(T, n * P);
                    T = truncated(T / P) * P;
                    if (e > 0.0f)
                    {
                        T += D;
                    }
                }
                else if (e >= 1.0f)
                {
                    const float k = truncated(e);
                    T += (k - 1.0f) * P + D;
                    e -= k;
                }
                else if (e < 0.0f)
                {
                    const float k = truncated(e);
                    T += k * P - D;
                    e -= k;
                }
                float q = p;
                if (e < 0.0f)
                {
                    e += 1.0f;
                    q = p + 1.0f;
                }
                const float sine = std::fmax(-1.0f, std::fmin(1.0f, 2.0f * e - 1.0f));
                const float inverse = (std::asin(sine) / degrees + 90.0f) / 180.0f;
                T += (inverse - q) * M;
                p = inverse;
            }
            if (T < 0.0f)
            {
                T = positiveModulo(T, n * P);
            }
            i = positiveModulo(truncateToInt(T / P), b * n);
        }
        const int r = i % b;
        const int c = i % n;
        // A slider without indicators skips them.
        if (this->indicatorBoxes.size() == n)
        {
            for (int j = 0; j < n; ++j)
            {
                tesraui::ImageBox* indicator = this->indicatorBoxes[j];
                const bool active = positiveModulo(truncateToInt(std::floor(j - p + n + 0.5f)), n) == c;
                if (indicator->setImageByNameIfChanged(active ? this->indicatorActive
                                                              : this->indicatorInactive))
                {
                    indicator->resizeToFitImage();
                }
            }
        }
        for (int s = 0; s < b; ++s)
        {
            tesraui::ImageBox* box = this->imageBoxes[(s + r) % b];
            box->setX(truncated((s - e) * W));
            box->setImage(this->images[(i + s) % n]);
        }
    }

    kavtypes::Vector2 UpsellImageSliderStatic::_localCursor() const
    {
        return this->transformToLocalSpace(tesraui::getCursorPosition());
    }

    float UpsellImageSliderStatic::_releaseFling() const
    {
        return this->rect.w > 0.0f ? -(this->lastMove.x / this->rect.w) * this->moveTime : 0.0f;
    }

    bool UpsellImageSliderStatic::onMouseDown(unsigned int keyCode)
    {
        UpsellImageSliderBase::onMouseDown(keyCode);
        if (this->isCursorInside())
        {
            this->startPosition = this->_localCursor();
            this->lastPosition = this->startPosition;
            this->pressTime = this->sliderTime;
            this->totalDrag = kavtypes::Vector2();
            this->fling = 0.0f;
            this->lastMove = kavtypes::Vector2();
            this->dragging = true;
        }
        return true;
    }

    bool UpsellImageSliderStatic::onMouseMove()
    {
        UpsellImageSliderBase::onMouseMove();
        if (!this->dragging)
        {
            return true;
        }
        if (this->isCursorInside())
        {
            const kavtypes::Vector2 position = this->_localCursor();
            this->lastMove = position - this->lastPosition;
            this->lastPosition = position;
            this->totalDrag = position - this->startPosition;
            if (this->lastMove.x != 0.0f)
            {
                this->direction = this->lastMove.x > 0.0f ? -1 : 1;
            }
        }
        else
        {
            this->fling = this->_releaseFling();
            this->lastMove = kavtypes::Vector2();
            this->dragging = false;
        }
        return true;
    }

    bool UpsellImageSliderStatic::onMouseUp(unsigned int keyCode)
    {
        // The base ends with a cancel once a child has taken the release; the fling comes from the drag.
        const kavtypes::Vector2 move = this->lastMove;
        UpsellImageSliderBase::onMouseUp(keyCode);
        this->lastMove = move;
        this->fling = this->_releaseFling();
        this->lastMove = kavtypes::Vector2();
        this->dragging = false;
        return true;
    }

    void UpsellImageSliderStatic::_mouseCancel()
    {
        UpsellImageSliderBase::_mouseCancel();
        this->fling = 0.0f;
        this->lastMove = kavtypes::Vector2();
        this->dragging = false;
    }
} // namespace orvalo
