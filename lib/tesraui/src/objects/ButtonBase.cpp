#include <algorithm>

#include <tesraui/ButtonBase.h>
#include <tesraui/Dataset.h>
#include <tesraui/Object.h>
#include <tesraui/tesraui.h>

namespace tesraui
{
    harray<unsigned int> ButtonBase::allowedKeys;
    harray<int> ButtonBase::allowedButtons;

    template <class T> static bool contains(const harray<T>& list, T value)
    {
        return std::find(list.begin(), list.end(), value) != list.end();
    }

    ButtonBase::ButtonBase() {}

    ButtonBase::~ButtonBase() {}

    bool ButtonBase::_checkHover()
    {
        // A modal layer (a message box) stands over every tree, other datasets' too: only its own buttons
        // are under the pointer.
        if (Object* modal = getModalLayer())
        {
            Object* above = getParent();
            while (above != nullptr && above != modal)
            {
                above = above->getParent();
            }
            if (above == nullptr)
            {
                return false;
            }
        }
        Object* root = nullptr;
        Dataset* dataset = getDataset();
        if (dataset != nullptr)
        {
            int index = getFocusIndex();
            if (index >= 0 && index == dataset->getFocusedObjectIndex())
            {
                return true;
            }
            root = dataset->getRoot();
        }
        if (root == nullptr)
        {
            root = getParent();
            if (root == nullptr)
            {
                return isCursorInside();
            }
            while (root->getParent() != nullptr)
            {
                root = root->getParent();
            }
        }
        Object* found = root->getChildUnderCursor();
        return found != nullptr && dynamic_cast<ButtonBase*>(found) == this;
    }

    bool ButtonBase::_press(bool allowed)
    {
        if (!allowed)
        {
            return false;
        }
        hovered = _checkHover();
        if (hovered)
        {
            pushed = true;
        }
        return hovered;
    }

    bool ButtonBase::_release(bool allowed)
    {
        if (!allowed)
        {
            return false;
        }
        hovered = _checkHover();
        bool result = pushed && hovered;
        pushed = false;
        return result;
    }

    bool ButtonBase::onMouseDown(unsigned int keyCode)
    {
        return _press(contains(allowedKeys, keyCode));
    }

    bool ButtonBase::onMouseUp(unsigned int keyCode)
    {
        return _release(contains(allowedKeys, keyCode));
    }

    bool ButtonBase::onButtonDown(int buttonCode)
    {
        return _press(contains(allowedButtons, buttonCode));
    }

    bool ButtonBase::onButtonUp(int buttonCode)
    {
        return _release(contains(allowedButtons, buttonCode));
    }

    bool ButtonBase::onMouseMove()
    {
        hovered = _checkHover();
        return false;
    }

    bool ButtonBase::onMouseCancel(unsigned int /*keyCode*/)
    {
        pushed = false;
        return true;
    }

    void ButtonBase::_mouseCancel()
    {
        pushed = false;
        hovered = _checkHover();
    }

    hstring ButtonBase::getProperty(const hstring& /*name*/)
    {
        return "";
    }

    bool ButtonBase::setProperty(const hstring& /*name*/, const hstring& /*value*/)
    {
        return false;
    }

    void ButtonBase::update(float /*timeDelta*/)
    {
        hovered = _checkHover();
    }
} // namespace tesraui
