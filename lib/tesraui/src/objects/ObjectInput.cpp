#include <cmath>

#include <tesraui/Animator.h>
#include <tesraui/Dataset.h>
#include <tesraui/Object.h>
#include <tesraui/tesraui.h>

#include "objects/ChildWalk.h"

namespace tesraui
{
    static bool acceptsInput(const Object* object)
    {
        const Object* parent = object->getParent();
        return object->isVisible() && object->getAlpha() > 0 && object->isEnabled() &&
               (parent == nullptr || parent->isDerivedEnabled());
    }

    static bool acceptsClicks(const Object* object)
    {
        return acceptsInput(object) && !object->isClickThrough();
    }

    // Offers an event to the children, topmost first, until one takes it. An owner deleted by a handler
    // on the way counts as having taken the event, so that no caller touches it again.
    template <class Call> static bool offerToChildren(Object* owner, bool clicksOnly, Call call)
    {
        ChildWalk walk(owner);
        for (int i = walk.size() - 1; i >= 0; --i)
        {
            Object* child = walk[i];
            if (child == nullptr || !(clicksOnly ? acceptsClicks(child) : acceptsInput(child)))
            {
                continue;
            }
            bool taken = call(child);
            if (taken || !walk.isOwnerAlive())
            {
                return true;
            }
        }
        return false;
    }

    bool Object::_acceptsInput() const
    {
        return acceptsInput(this);
    }

    bool Object::_triggerClickEvent(const hstring& name, unsigned int keyCode)
    {
        // A refused press (invisible, disabled, click-through) must not fire when handed to a root.
        if (_acceptsClicks() && isCursorInside())
        {
            triggerEvent(name, keyCode);
            return true;
        }
        return false;
    }

    bool Object::onMouseDown(unsigned int keyCode)
    {
        if (!_acceptsClicks())
        {
            return false;
        }
        if (dataset != nullptr)
        {
            dataset->removeFocus();
        }
        return offerToChildren(this, true, [keyCode](Object* child) { return child->onMouseDown(keyCode); });
    }

    bool Object::onMouseUp(unsigned int keyCode)
    {
        if (!_acceptsClicks())
        {
            return false;
        }
        ChildWalk walk(this);
        bool handled = false;
        // Positions in the walk rather than pointers, so that children deleted meanwhile are left out.
        harray<int> cancelled;
        for (int i = walk.size() - 1; i >= 0; --i)
        {
            Object* child = walk[i];
            if (child == nullptr || !acceptsClicks(child))
            {
                continue;
            }
            if (handled)
            {
                cancelled.push_back(i);
                continue;
            }
            handled = child->onMouseUp(keyCode);
            if (!walk.isOwnerAlive())
            {
                return true;
            }
            if (!handled)
            {
                cancelled.push_back(i);
            }
        }
        if (!handled)
        {
            return false;
        }
        for (int index : cancelled)
        {
            if (walk[index] != nullptr)
            {
                walk[index]->onMouseCancel(keyCode);
                if (!walk.isOwnerAlive())
                {
                    return true;
                }
            }
        }
        _mouseCancel();
        return true;
    }

    bool Object::onMouseCancel(unsigned int keyCode)
    {
        ChildWalk walk(this);
        _mouseCancel();
        for (int i = walk.size() - 1; i >= 0 && walk.isOwnerAlive(); --i)
        {
            if (walk[i] != nullptr)
            {
                walk[i]->onMouseCancel(keyCode);
            }
        }
        return true;
    }

    bool Object::onMouseMove()
    {
        return _acceptsInput() &&
               offerToChildren(this, false, [](Object* child) { return child->onMouseMove(); });
    }

    bool Object::onMouseScroll(float x, float y)
    {
        return _acceptsInput() &&
               offerToChildren(this, false, [x, y](Object* child) { return child->onMouseScroll(x, y); });
    }

    bool Object::onKeyDown(unsigned int keyCode)
    {
        return _acceptsInput() &&
               offerToChildren(this, false, [keyCode](Object* child) { return child->onKeyDown(keyCode); });
    }

    bool Object::onKeyUp(unsigned int keyCode)
    {
        return _acceptsInput() &&
               offerToChildren(this, false, [keyCode](Object* child) { return child->onKeyUp(keyCode); });
    }

    bool Object::onChar(unsigned int character)
    {
        return _acceptsInput() &&
               offerToChildren(this, false, [character](Object* child) { return child->onChar(character); });
    }

    bool Object::onTouch(const harray<kavtypes::Vector2>& touches)
    {
        return _acceptsInput() &&
               offerToChildren(this, false, [&touches](Object* child) { return child->onTouch(touches); });
    }

    bool Object::onButtonDown(int buttonCode)
    {
        return _acceptsInput() &&
               offerToChildren(this, false,
                               [buttonCode](Object* child) { return child->onButtonDown(buttonCode); });
    }

    bool Object::onButtonUp(int buttonCode)
    {
        return _acceptsInput() &&
               offerToChildren(this, false,
                               [buttonCode](Object* child) { return child->onButtonUp(buttonCode); });
    }

    bool Object::isPointInside(kavtypes::Vector2 point)
    {
        if (std::fabs(scaleFactor.x) < 0.0001f || std::fabs(scaleFactor.y) < 0.0001f)
        {
            return false;
        }
        for (const Object* object = this; object->parent != nullptr; object = object->parent)
        {
            if (object->clip && !object->parent->getBoundingRect(nullptr).isPointInside(point))
            {
                return false;
            }
        }
        if (hitTestCallback != nullptr)
        {
            return hitTestCallback(this, point.x, point.y);
        }
        kavtypes::Vector2 local = transformToLocalSpace(point, nullptr);
        return kavtypes::Rectangle(0.0f, 0.0f, rect.w, rect.h).isPointInside(local);
    }

    bool Object::isCursorInside()
    {
        return isPointInside(getCursorPosition());
    }

    Object* Object::getChildUnderPoint(float x, float y)
    {
        return getChildUnderPoint(kavtypes::Vector2(x, y));
    }

    Object* Object::getChildUnderPoint(kavtypes::Vector2 point)
    {
        if (!visible || color.a == 0 || clickThrough)
        {
            return nullptr;
        }
        for (int i = children.size() - 1; i >= 0; --i)
        {
            Object* found = children[i]->getChildUnderPoint(point);
            if (found != nullptr && dynamic_cast<Animator*>(found) == nullptr)
            {
                return found;
            }
        }
        return isPointInside(point) ? this : nullptr;
    }

    Object* Object::getChildUnderCursor()
    {
        // A press, release or move that arrives in the same frame as the pointer's jump is answered where
        // the pointer is now: what lay under it when the cache was filled is another object's.
        const kavtypes::Vector2 cursor = getCursorPosition();
        if (!childUnderCursorValid || cursor != childUnderCursorPoint)
        {
            childUnderCursor = getChildUnderPoint(cursor);
            childUnderCursorPoint = cursor;
            childUnderCursorValid = true;
            // The dataset clears it after the frame's update.
            if (dataset != nullptr)
            {
                dataset->_listCursorCache(this);
            }
        }
        return childUnderCursor;
    }

    void Object::clearChildUnderCursor()
    {
        childUnderCursor = nullptr;
        childUnderCursorValid = false;
    }
} // namespace tesraui
