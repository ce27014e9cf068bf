#include <algorithm>
#include <memory>

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

    const PropertyTable<ScrollBar>& ScrollBar::_properties()
    {
        using Table = PropertyTable<ScrollBar>;
        static const Table table = {
            {"skin", PropertyInfo::STRING, &ScrollBar::getSkin,
             [](ScrollBar& bar, const hstring& value)
             {
                 bar.skin = value;
                 bar.notifyEvent("SkinChange", nullptr);
             }},
            Table::floatRow("grid_size", &ScrollBar::gridSize),
            Table::flagRow("use_fading", &ScrollBar::useFading),
            Table::flagRow("height_hide", &ScrollBar::heightHide),
            Table::flagRow("use_stretched_slider", &ScrollBar::useStretchedSlider),
        };
        return table;
    }

    QUORTYPES_PROPERTY_TABLE_DESCRIPTIONS_BASE_FIRST(ScrollBar, Object, _properties)
    QUORTYPES_PROPERTY_TABLE_GET_SET(ScrollBar, Object, _properties)

    void ScrollBar::notifyEvent(const hstring& type, void* args)
    {
        Object::notifyEvent(type, args);
        Container* container = _getContainer();
        if (type == "AttachToObject")
        {
            if (container == nullptr)
            {
                quortypes::Log::warnf(logTag, "ScrollBar '%s' not attached to object of class Container!",
                                      this->name.c_str());
            }
            else
            {
                _linkContainer(container, true);
            }
        }
        else if (type == "DetachFromObject")
        {
            if (container != nullptr)
            {
                _linkContainer(container, false);
            }
        }
        else if (type == "SkinChange")
        {
            _applySkin();
        }
    }

    ImageButton*& ScrollBar::_manual(ButtonKind kind)
    {
        ImageButton** links[4] = {&buttonBackground, &buttonSlider, &buttonForward, &buttonBackward};
        return *links[kind];
    }

    ImageButton* ScrollBar::_manual(ButtonKind kind) const
    {
        return const_cast<ScrollBar*>(this)->_manual(kind);
    }

    ImageButton*& ScrollBar::_skinned(ButtonKind kind)
    {
        ImageButton** links[4] = {&skinButtonBackground, &skinButtonSlider, &skinButtonForward,
                                  &skinButtonBackward};
        return *links[kind];
    }

    ImageButton* ScrollBar::_skinned(ButtonKind kind) const
    {
        return const_cast<ScrollBar*>(this)->_skinned(kind);
    }

    ImageButton* ScrollBar::getButton(ButtonKind kind) const
    {
        ImageButton* manual = _manual(kind);
        return manual != nullptr ? manual : _skinned(kind);
    }

    ImageButton* ScrollBar::getButtonBackground() const
    {
        return getButton(BACKGROUND);
    }

    ImageButton* ScrollBar::getButtonSlider() const
    {
        return getButton(SLIDER);
    }

    void ScrollBar::_setManualButton(ButtonKind kind, ImageButton* button)
    {
        ImageButton* skinned = _skinned(kind);
        if (button != nullptr && button == skinned)
        {
            return;
        }
        _manual(kind) = button;
        if (skinned != nullptr)
        {
            skinned->setVisible(button == nullptr);
        }
    }

    void ScrollBar::_forgetButton(ImageButton* button)
    {
        for (ButtonKind kind : {BACKGROUND, SLIDER, FORWARD, BACKWARD})
        {
            if (_manual(kind) == button)
            {
                _setManualButton(kind, nullptr);
            }
            if (_skinned(kind) == button)
            {
                _skinned(kind) = nullptr;
            }
        }
    }

    Container* ScrollBar::_getContainer() const
    {
        return dynamic_cast<Container*>(parent);
    }

    ScrollArea* ScrollBar::_getArea() const
    {
        Container* container = _getContainer();
        return container != nullptr ? container->_getScrollArea() : nullptr;
    }

    void ScrollBar::_applySkin()
    {
        if (skin == "")
        {
            for (ButtonKind kind : {BACKGROUND, SLIDER, FORWARD, BACKWARD})
            {
                ImageButton* button = _skinned(kind);
                if (button != nullptr)
                {
                    _skinned(kind) = nullptr;
                    if (dataset != nullptr)
                    {
                        removeChildAndUnregister(button);
                    }
                    else
                    {
                        removeChild(button);
                    }
                    // Out of the dataset, the button is this bar's alone.
                    const std::unique_ptr<ImageButton> unregistered(button);
                }
            }
            return;
        }
        if (!_checkDataset(("apply skin '" + skin + "'").c_str()))
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
            if (_skinned(kinds[i]) == nullptr)
            {
                // Linked before it is attached, so that attaching does not take it for a manual button.
                ImageButton* button = static_cast<ImageButton*>(makers[i].second(
                    tesra::generateName(makers[i].first), kavtypes::Rectangle(0, 0, -1, -1)));
                _skinned(kinds[i]) = button;
                addChildAndRegister(button);
            }
        }
        const hstring prefix = skin + "/";
        const hstring names[4][3] = {
            {getSkinNameBackground(), getSkinNameBackground(), getSkinNameBackground()},
            {getSkinNameSliderNormal(), getSkinNameSliderHover(), getSkinNameSliderPushed()},
            {getSkinNameForwardNormal(), getSkinNameForwardHover(), getSkinNameForwardPushed()},
            {getSkinNameBackwardNormal(), getSkinNameBackwardHover(), getSkinNameBackwardPushed()}};
        for (int i = 0; i < 4; ++i)
        {
            ImageButton* button = _skinned(kinds[i]);
            button->setImageByNameIfChanged(prefix + names[i][0]);
            button->trySetHoverImageByName(prefix + names[i][1]);
            button->trySetPushedImageByName(prefix + names[i][2]);
            button->resizeToFitImage();
            button->setVisible(_manual(kinds[i]) == nullptr);
        }
        _updateChildren();
        _updateBar();
    }

    bool ScrollBar::onMouseMove()
    {
        if (Object::onMouseMove())
        {
            return true;
        }
        ImageButton* slider = getButtonSlider();
        ImageButton* track = getButtonBackground();
        if (slider != nullptr && slider->isPushed() && track != nullptr)
        {
            kavtypes::Vector2 point = track->transformToLocalSpace(getCursorPosition()) - grabOffset;
            _moveScrollBar(point.x, point.y);
        }
        return false;
    }

    bool ScrollBar::onMouseScroll(float x, float y)
    {
        if (Object::onMouseScroll(x, y))
        {
            return true;
        }
        Container* container = _getContainer();
        ScrollArea* area = _getArea();
        if (area != nullptr && (container->isCursorInside() || isCursorInside()))
        {
            if (area->isSwapScrollWheels())
            {
                std::swap(x, y);
            }
            addScrollValue(_calcScrollMove(x, y));
        }
        // Other objects see the wheel too.
        return false;
    }

    void ScrollBar::update(float timeDelta)
    {
        Object::update(timeDelta);
        _updateBar();
        if (skin == "" && _getArea() != nullptr && fadeTimer > 0.0f)
        {
            fadeTimer -= timeDelta;
        }
    }

    void ScrollBar::_draw()
    {
        Object::_draw();
        ScrollArea* area = _getArea();
        if (skin != "" || area == nullptr)
        {
            return;
        }
        if (area->isScrolling())
        {
            fadeTimer = 1.0f;
        }
        if ((useFading && fadeTimer <= 0.0f) || (heightHide && !_checkAreaSize()))
        {
            return;
        }
        tesra::Color color = getDerivedColor();
        if (useFading && fadeTimer < 0.25f)
        {
            float alpha = color.a * fadeTimer * 4.0f;
            color.a = (unsigned char)std::max(0.0f, std::min(alpha, 255.0f));
        }
        tesra::rendersys->drawFilledRect(_getBarDrawRect(), color);
    }
} // namespace tesraui
