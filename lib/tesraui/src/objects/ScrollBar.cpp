#include <algorithm>

#include <quortypes/Log.h>
#include <tesra/RenderSystem.h>
#include <tesra/tesra.h>
#include <tesraui/Container.h>
#include <tesraui/ScrollArea.h>
#include <tesraui/ScrollBar.h>
#include <tesraui/ScrollBarButtons.h>
#include <tesraui/tesraui.h>

namespace tesraui
{
    const float ScrollBar::scrollDistance = 32.0f;

    ScrollBar::ScrollBar(const hstring& name, kavtypes::Rectangle rect) : Object(name, rect) {}

    // The skinned buttons are children registered in the dataset, which deletes them.
    ScrollBar::~ScrollBar() {}

    harray<PropertyInfo> ScrollBar::getPropertyDescriptions() const
    {
        static harray<PropertyInfo> descriptions;
        if (descriptions.size() == 0)
        {
            descriptions = Object::getPropertyDescriptions();
            descriptions.push_back(PropertyInfo("skin", PropertyInfo::STRING));
            descriptions.push_back(PropertyInfo("grid_size", PropertyInfo::FLOAT));
            descriptions.push_back(PropertyInfo("use_fading", PropertyInfo::BOOL));
            descriptions.push_back(PropertyInfo("height_hide", PropertyInfo::BOOL));
            descriptions.push_back(PropertyInfo("use_stretched_slider", PropertyInfo::BOOL));
        }
        return descriptions;
    }

    hstring ScrollBar::getProperty(const hstring& name)
    {
        if (name == "skin")
        {
            return this->skin;
        }
        if (name == "grid_size")
        {
            return hstring(this->gridSize);
        }
        if (name == "use_fading")
        {
            return hstring(this->useFading ? 1 : 0);
        }
        if (name == "height_hide")
        {
            return hstring(this->heightHide ? 1 : 0);
        }
        if (name == "use_stretched_slider")
        {
            return hstring(this->useStretchedSlider ? 1 : 0);
        }
        return Object::getProperty(name);
    }

    bool ScrollBar::setProperty(const hstring& name, const hstring& value)
    {
        if (name == "skin")
        {
            this->skin = value;
            this->notifyEvent("SkinChange", nullptr);
        }
        else if (name == "grid_size")
        {
            this->gridSize = value.toFloat();
        }
        else if (name == "use_fading")
        {
            this->useFading = value.toBool();
        }
        else if (name == "height_hide")
        {
            this->heightHide = value.toBool();
        }
        else if (name == "use_stretched_slider")
        {
            this->useStretchedSlider = value.toBool();
        }
        else
        {
            return Object::setProperty(name, value);
        }
        return true;
    }

    void ScrollBar::notifyEvent(const hstring& type, void* args)
    {
        Object::notifyEvent(type, args);
        Container* container = this->_getContainer();
        if (type == "AttachToObject")
        {
            if (container == nullptr)
            {
                quortypes::Log::warnf(logTag, "ScrollBar '%s' not attached to object of class Container!",
                                      this->name.c_str());
            }
            else
            {
                this->_linkContainer(container, true);
            }
        }
        else if (type == "DetachFromObject")
        {
            if (container != nullptr)
            {
                this->_linkContainer(container, false);
            }
        }
        else if (type == "SkinChange")
        {
            this->_applySkin();
        }
    }

    ImageButton*& ScrollBar::_manual(ButtonKind kind)
    {
        ImageButton** links[4] = {&this->buttonBackground, &this->buttonSlider, &this->buttonForward,
                                  &this->buttonBackward};
        return *links[kind];
    }

    ImageButton* ScrollBar::_manual(ButtonKind kind) const
    {
        return const_cast<ScrollBar*>(this)->_manual(kind);
    }

    ImageButton*& ScrollBar::_skinned(ButtonKind kind)
    {
        ImageButton** links[4] = {&this->skinButtonBackground, &this->skinButtonSlider,
                                  &this->skinButtonForward, &this->skinButtonBackward};
        return *links[kind];
    }

    ImageButton* ScrollBar::_skinned(ButtonKind kind) const
    {
        return const_cast<ScrollBar*>(this)->_skinned(kind);
    }

    ImageButton* ScrollBar::getButton(ButtonKind kind) const
    {
        ImageButton* manual = this->_manual(kind);
        return manual != nullptr ? manual : this->_skinned(kind);
    }

    ImageButton* ScrollBar::getButtonBackground() const
    {
        return this->getButton(BACKGROUND);
    }

    ImageButton* ScrollBar::getButtonSlider() const
    {
        return this->getButton(SLIDER);
    }

    void ScrollBar::_setManualButton(ButtonKind kind, ImageButton* button)
    {
        ImageButton* skinned = this->_skinned(kind);
        if (button != nullptr && button == skinned)
        {
            return;
        }
        this->_manual(kind) = button;
        if (skinned != nullptr)
        {
            skinned->setVisible(button == nullptr);
        }
    }

    void ScrollBar::_forgetButton(ImageButton* button)
    {
        for (ButtonKind kind : {BACKGROUND, SLIDER, FORWARD, BACKWARD})
        {
            if (this->_manual(kind) == button)
            {
                this->_setManualButton(kind, nullptr);
            }
            if (this->_skinned(kind) == button)
            {
                this->_skinned(kind) = nullptr;
            }
        }
    }

    Container* ScrollBar::_getContainer() const
    {
        return dynamic_cast<Container*>(this->parent);
    }

    ScrollArea* ScrollBar::_getArea() const
    {
        Container* container = this->_getContainer();
        return container != nullptr ? container->_getScrollArea() : nullptr;
    }

    void ScrollBar::_applySkin()
    {
        if (this->skin == "")
        {
            for (ButtonKind kind : {BACKGROUND, SLIDER, FORWARD, BACKWARD})
            {
                ImageButton* button = this->_skinned(kind);
                if (button != nullptr)
                {
                    this->_skinned(kind) = nullptr;
                    if (this->dataset != nullptr)
                    {
                        this->removeChildAndUnregister(button);
                    }
                    else
                    {
                        this->removeChild(button);
                    }
                    delete button;
                }
            }
            return;
        }
        if (!this->_checkDataset(("apply skin '" + this->skin + "'").c_str()))
        {
            return;
        }
        typedef Object* (*Factory)(const hstring&, kavtypes::Rectangle);
        const std::pair<const char*, Factory> makers[4] = {
            {"tesraui::ScrollButtonBackground", &ScrollBarButtonBackground::createInstance},
            {"tesraui::ScrollButtonSlider", &ScrollBarButtonSlider::createInstance},
            {"tesraui::ScrollButtonForward", &ScrollBarButtonForward::createInstance},
            {"tesraui::ScrollButtonBackward", &ScrollBarButtonBackward::createInstance}};
        const ButtonKind kinds[4] = {BACKGROUND, SLIDER, FORWARD, BACKWARD};
        for (int i = 0; i < 4; ++i)
        {
            if (this->_skinned(kinds[i]) == nullptr)
            {
                // Linked before it is attached, so that attaching does not take it for a manual button.
                ImageButton* button = static_cast<ImageButton*>(makers[i].second(
                    tesra::generateName(makers[i].first), kavtypes::Rectangle(0, 0, -1, -1)));
                this->_skinned(kinds[i]) = button;
                this->addChildAndRegister(button);
            }
        }
        const hstring prefix = this->skin + "/";
        const hstring names[4][3] = {
            {this->getSkinNameBackground(), this->getSkinNameBackground(), this->getSkinNameBackground()},
            {this->getSkinNameSliderNormal(), this->getSkinNameSliderHover(),
             this->getSkinNameSliderPushed()},
            {this->getSkinNameForwardNormal(), this->getSkinNameForwardHover(),
             this->getSkinNameForwardPushed()},
            {this->getSkinNameBackwardNormal(), this->getSkinNameBackwardHover(),
             this->getSkinNameBackwardPushed()}};
        for (int i = 0; i < 4; ++i)
        {
            ImageButton* button = this->_skinned(kinds[i]);
            button->setImageByNameIfChanged(prefix + names[i][0]);
            button->trySetHoverImageByName(prefix + names[i][1]);
            button->trySetPushedImageByName(prefix + names[i][2]);
            button->resizeToFitImage();
            button->setVisible(this->_manual(kinds[i]) == nullptr);
        }
        this->_updateChildren();
        this->_updateBar();
    }

    bool ScrollBar::onMouseMove()
    {
        if (Object::onMouseMove())
        {
            return true;
        }
        ImageButton* slider = this->getButtonSlider();
        ImageButton* track = this->getButtonBackground();
        if (slider != nullptr && slider->isPushed() && track != nullptr)
        {
            kavtypes::Vector2 point = track->transformToLocalSpace(getCursorPosition()) - this->grabOffset;
            this->_moveScrollBar(point.x, point.y);
        }
        return false;
    }

    bool ScrollBar::onMouseScroll(float x, float y)
    {
        if (Object::onMouseScroll(x, y))
        {
            return true;
        }
        Container* container = this->_getContainer();
        ScrollArea* area = this->_getArea();
        if (area != nullptr && (container->isCursorInside() || this->isCursorInside()))
        {
            if (area->isSwapScrollWheels())
            {
                std::swap(x, y);
            }
            this->addScrollValue(this->_calcScrollMove(x, y));
        }
        // Other objects see the wheel too.
        return false;
    }

    void ScrollBar::update(float timeDelta)
    {
        Object::update(timeDelta);
        this->_updateBar();
        if (this->skin == "" && this->_getArea() != nullptr && this->fadeTimer > 0.0f)
        {
            this->fadeTimer -= timeDelta;
        }
    }

    void ScrollBar::_draw()
    {
        Object::_draw();
        ScrollArea* area = this->_getArea();
        if (this->skin != "" || area == nullptr)
        {
            return;
        }
        if (area->isScrolling())
        {
            this->fadeTimer = 1.0f;
        }
        if ((this->useFading && this->fadeTimer <= 0.0f) || (this->heightHide && !this->_checkAreaSize()))
        {
            return;
        }
        tesra::Color color = this->getDerivedColor();
        if (this->useFading && this->fadeTimer < 0.25f)
        {
            float alpha = color.a * this->fadeTimer * 4.0f;
            color.a = (unsigned char)std::max(0.0f, std::min(alpha, 255.0f));
        }
        tesra::rendersys->drawFilledRect(this->_getBarDrawRect(), color);
    }
} // namespace tesraui
