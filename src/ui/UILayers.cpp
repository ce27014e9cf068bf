#include "UI.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <iterator>

#include <tesraui/Container.h>

#include "Session.h"
#include "objects/VumoViewportObject.h"

namespace vumo
{
    namespace
    {
        // The highest z-order among the object's children that pass the filter; INT_MIN without one.
        template <class Filter> int highestZOrder(const tesraui::Object* parent, Filter counts)
        {
            int highest = INT_MIN;
            for (const tesraui::Object* child : parent->getChildren())
            {
                if (counts(child))
                {
                    highest = std::max(highest, child->getZOrder());
                }
            }
            return highest;
        }

        // The z-order over the given one. Nothing is over the greatest: an object given it is placed after
        // its equals instead (setZOrderOverEquals).
        int aboveZOrder(int zOrder)
        {
            return (zOrder < INT_MAX ? zOrder + 1 : INT_MAX);
        }
    } // namespace

    bool UI::isOwnLayer(const tesraui::Object* object) const
    {
        // The layers over the game are the engine's, held from outside the tree (the pointer, the error
        // overlay, the debug window and console, the fade, the message boxes). The viewport, held too, is the
        // game's own scene, and so is a screen a library holds on the root (the promotion library's): boxes
        // go over them. A fading message box is no record's any more; its name still tells it.
        static const char* const ownHolders[] = {"the UI as its cursor", "the error overlay",
                                                 "the debug UI",         "the debug console",
                                                 "the fade transition",  "the UI's message boxes"};
        const char* holder = object->getOutsideHolder();
        const bool own = holder != nullptr && object != Session::getViewport() &&
                         std::any_of(std::begin(ownHolders), std::end(ownHolders),
                                     [holder](const char* name) { return std::strcmp(holder, name) == 0; });
        return own || object->getName().startsWith(boxNamePrefix);
    }

    int UI::zOrderOverGame(int least) const
    {
        if (this->rootObject == nullptr)
        {
            return least;
        }
        const int highest = highestZOrder(this->rootObject, [this](const tesraui::Object* child)
                                          { return !this->isOwnLayer(child); });
        return (highest == INT_MIN || highest < least ? least : aboveZOrder(highest));
    }

    void UI::raiseOverGame(tesraui::Object* layer, int least)
    {
        const int wanted = this->zOrderOverGame(least);
        bool gameAfter = false;
        if (this->rootObject != nullptr && layer->getParent() == this->rootObject)
        {
            const tesraui::ChildList& children = this->rootObject->getChildren();
            const auto place = std::find(children.begin(), children.end(), layer);
            gameAfter =
                std::any_of(place, children.end(),
                            [this](const tesraui::Object* child) { return !this->isOwnLayer(child); });
        }
        if (layer->getZOrder() != wanted || gameAfter)
        {
            layer->setZOrderOverEquals(wanted);
        }
    }

    void UI::keepCursorOnTop()
    {
        tesraui::Container* cursor = this->getCursorObject();
        if (cursor == nullptr || this->rootObject == nullptr || cursor->getParent() != this->rootObject)
        {
            return;
        }
        const int highest = highestZOrder(this->rootObject,
                                          [cursor](const tesraui::Object* child) { return child != cursor; });
        const int wanted =
            (highest == INT_MIN || highest < cursorZOrder ? cursorZOrder : aboveZOrder(highest));
        if (cursor->getZOrder() != wanted || this->rootObject->getChildren().back() != cursor)
        {
            cursor->setZOrderOverEquals(wanted);
        }
    }
} // namespace vumo
