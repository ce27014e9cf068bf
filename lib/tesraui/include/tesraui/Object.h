#pragma once

#include <memory>
#include <vector>

#include <kavtypes/Rectangle.h>
#include <kavtypes/Vector2.h>
#include <quortypes/PropertyInfo.h>
#include <quortypes/PropertyTable.h>
#include <quortypes/harray.h>
#include <quortypes/hdict.h>
#include <quortypes/hstring.h>
#include <tesra/Color.h>
#include <tesraui/ChildList.h>
#include <tesraui/EventReceiver.h>
#include <tesraui/LifeToken.h>

namespace tesra
{
    class RenderSystem;
}

namespace tesraui
{
    class Animator;
    class Dataset;
    class Event;
    class EventArgs;
    class Image;

    // A node of the UI tree. The tree does not own its nodes: subtrees are destroyed through their dataset.
    class Object : public EventReceiver
    {
    public:
        typedef bool (*HitTestCallback)(Object* object, float x, float y);
        typedef void (*EventFunction)(EventArgs*);

        Object(const hstring& name, kavtypes::Rectangle rect);
        // Drops the object's queued events, its handlers, its dynamic animators and its focus, and unlinks
        // it from its parent and children without notifying anyone.
        ~Object() override;
        Object(const Object&) = delete;
        Object& operator=(const Object&) = delete;

        virtual hstring getClassName() const { return "Object"; }
        virtual int getFocusIndex() const { return focusIndex; }
        virtual Dataset* getDataset() const { return dataset; }
        virtual harray<PropertyInfo> getPropertyDescriptions() const;
        virtual bool isFocused() const;
        virtual void setFocused(bool value);
        virtual harray<Image*> getImages() const { return harray<Image*>(); }
        virtual void clearChildUnderCursor();
        virtual bool isPointInside(kavtypes::Vector2 point);
        virtual bool isAnimated();
        virtual bool isWaitingAnimation();
        virtual bool onMouseDown(unsigned int keyCode);
        virtual bool onMouseUp(unsigned int keyCode);
        virtual bool onMouseCancel(unsigned int keyCode);
        virtual bool onMouseMove();
        virtual bool onMouseScroll(float x, float y);
        virtual bool onKeyDown(unsigned int keyCode);
        virtual bool onKeyUp(unsigned int keyCode);
        virtual bool onChar(unsigned int character);
        virtual bool onTouch(const harray<kavtypes::Vector2>& touches);
        virtual bool onButtonDown(int buttonCode);
        virtual bool onButtonUp(int buttonCode);
        virtual void _mouseCancel() {}
        virtual void update(float timeDelta);
        virtual hstring getProperty(const hstring& name);
        virtual bool setProperty(const hstring& name, const hstring& value);
        virtual bool triggerEvent(const hstring& name, float x, float y, unsigned int keyCode,
                                  const hstring& extra = "");
        virtual bool triggerEvent(const hstring& name, int buttonCode, const hstring& extra = "");
        virtual bool triggerEvent(const hstring& name, unsigned int keyCode, const hstring& extra = "");
        // As triggerEvent with a key code, for an event raised once and relied on: when the dataset's queue
        // has no room it waits for room instead of being dropped (Dataset::queueEventInTurn).
        bool triggerEventInTurn(const hstring& name, unsigned int keyCode, const hstring& extra = "");
        virtual void _draw() {}
        virtual void _drawDebug();

        // tree
        // The most objects a branch of a tree holds, from its root down: every walk of the tree (update,
        // draw, layout, input, search, destruction) goes down it by recursion, and the stack holds that many
        // levels of each, under the sanitizers too. Far more than any game nests.
        static const int maxNesting = 256;
        // Why the child cannot hang below this object ("the object would become its own ancestor", "the
        // tree would nest deeper than 256 objects"), or "" when it can; addChild throws it.
        hstring attachRefusal(const Object* child) const;
        void addChild(Object* child);
        void removeChild(Object* child);
        void detach();
        void addChildAndRegister(Object* child);
        void removeChildAndUnregister(Object* child);
        void destroyChildren();
        void removeChildren(bool recursive = false);
        harray<Object*> getDescendants() const;
        bool isDescendantOf(Object* other) const;

        // events
        // The object shares its handler with each run of it under way: a handler that replaces or
        // unregisters itself finishes its run. A null handler unregisters the name.
        void registerEvent(const hstring& name, std::shared_ptr<Event> event);
        void registerEvent(const hstring& name, EventFunction function);
        void unregisterEvent(const hstring& name);
        const hdict<std::shared_ptr<Event>>& getEvents() const { return events; }

        // drawing and hit-testing
        void draw();
        kavtypes::Rectangle getDrawRect() const
        {
            return kavtypes::Rectangle(-center.x, -center.y, rect.w, rect.h);
        }
        bool isCursorInside();
        Object* getChildUnderPoint(float x, float y);
        Object* getChildUnderPoint(kavtypes::Vector2 point);
        Object* getChildUnderCursor();

        // Dynamic animators: owned and updated by this object, deleted once they expire. Start replaces the
        // running animations of the property, queue adds one that begins after the delay (from wherever the
        // value is then), stop removes them all. Speed is in runs per second; an infinite one reaches the
        // target at the next update, and a NaN one is refused with a warning (nothing changes, null is
        // returned).
        bool hasDynamicAnimators() const { return dynamicAnimators.size() > 0; }
        Animator* fadeAlpha(unsigned char target, float speed);
        Animator* fadeAlphaQueue(unsigned char target, float speed, float delay);
        void fadeAlphaStop();
        Animator* fadeRed(unsigned char target, float speed);
        Animator* fadeGreen(unsigned char target, float speed);
        Animator* fadeBlue(unsigned char target, float speed);
        void fadeColorStop();
        void move(float x, float y, float speed);
        void moveQueue(float x, float y, float speed, float delay);
        void moveStop();
        Animator* moveX(float x, float speed);
        Animator* moveXQueue(float x, float speed, float delay);
        void moveXStop();
        Animator* moveY(float y, float speed);
        Animator* moveYQueue(float y, float speed, float delay);
        void moveYStop();
        // A vertical run of the given function that begins phase periods in and lasts 1 / speed seconds.
        Animator* animateY(float offset, float amplitude, float speed, int function, float phase,
                           float periods);
        Animator* resizeX(float w, float speed);
        Animator* resizeXQueue(float w, float speed, float delay);
        void resizeXStop();
        Animator* resizeY(float h, float speed);
        Animator* resizeYQueue(float h, float speed, float delay);
        void resizeYStop();
        void resizeStop();
        Animator* rotate(float angle, float speed);
        Animator* rotateQueue(float angle, float speed, float delay);
        void rotateStop();
        void scale(float x, float y, float speed);
        void scaleQueue(float x, float y, float speed, float delay);
        void scaleStop();
        Animator* scaleX(float x, float speed);
        Animator* scaleXQueue(float x, float speed, float delay);
        void scaleXStop();
        Animator* scaleY(float y, float speed);
        Animator* scaleYQueue(float y, float speed, float delay);
        void scaleYStop();

        // derived values; a null ancestor means the whole chain up to the root
        unsigned char getDerivedAlpha(Object* ancestor = nullptr) const;
        tesra::Color getDerivedColor() const
        {
            // Drawing asks this of every object in every frame: an opaque parent at the top of the chain that
            // passes alpha down answers without the walk.
            if (!inheritAlpha || parent == nullptr ||
                (parent->color.a == 255 && (!parent->inheritAlpha || parent->parent == nullptr)))
            {
                return color;
            }
            return _getColorUnderAncestors();
        }
        float getDisabledAlphaFactor() const;
        bool isDerivedEnabled() const;
        bool isDerivedVisible() const;
        float getDerivedAngle(Object* ancestor = nullptr) const;
        kavtypes::Vector2 getDerivedScale(Object* ancestor = nullptr) const;
        kavtypes::Vector2 getDerivedPoint(kavtypes::Vector2 point, Object* ancestor = nullptr) const;
        kavtypes::Vector2 getDerivedPosition(Object* ancestor = nullptr) const;
        kavtypes::Vector2 getDerivedCenter(Object* ancestor = nullptr) const;
        harray<kavtypes::Vector2> getDerivedCorners(Object* ancestor = nullptr) const;
        kavtypes::Rectangle getBoundingRect(Object* ancestor = nullptr) const;
        kavtypes::Vector2 transformToLocalSpace(kavtypes::Vector2 point, Object* ancestor = nullptr) const;
        harray<kavtypes::Vector2> transformToLocalSpace(const harray<kavtypes::Vector2>& points,
                                                        Object* ancestor = nullptr) const;

        // fields
        const hstring& getName() const { return name; }
        hstring getFullName() const;
        Object* getParent() const { return parent; }
        const ChildList& getChildren() const { return children; }
        harray<Animator*> getDynamicAnimators() const;
        const kavtypes::Rectangle& getRect() const { return rect; }
        void setRect(kavtypes::Rectangle value);
        kavtypes::Vector2 getPosition() const { return rect.getPosition(); }
        void setPosition(kavtypes::Vector2 value) { setPosition(value.x, value.y); }
        void setPosition(float x, float y);
        kavtypes::Vector2 getSize() const { return rect.getSize(); }
        void setSize(kavtypes::Vector2 value) { setSize(value.x, value.y); }
        void setSize(float w, float h);
        float getX() const { return rect.x; }
        void setX(float value) { rect.x = value; }
        float getY() const { return rect.y; }
        void setY(float value) { rect.y = value; }
        float getWidth() const { return rect.w; }
        void setWidth(float value);
        float getHeight() const { return rect.h; }
        void setHeight(float value);
        kavtypes::Vector2 getScale() const { return scaleFactor; }
        void setScale(kavtypes::Vector2 value) { scaleFactor = value; }
        void setScale(float x, float y) { scaleFactor.set(x, y); }
        float getScaleX() const { return scaleFactor.x; }
        void setScaleX(float value) { scaleFactor.x = value; }
        float getScaleY() const { return scaleFactor.y; }
        void setScaleY(float value) { scaleFactor.y = value; }
        kavtypes::Vector2 getCenter() const { return center; }
        void setCenter(kavtypes::Vector2 value) { center = value; }
        void setCenter(float x, float y) { center.set(x, y); }
        float getCenterX() const { return center.x; }
        void setCenterX(float value) { center.x = value; }
        float getCenterY() const { return center.y; }
        void setCenterY(float value) { center.y = value; }
        void resetCenter();
        int getZOrder() const { return zOrder; }
        void setZOrder(int value);
        // Sets the z-order and places the object after its siblings of the same z-order, so that it is drawn
        // over them and offered input before them.
        void setZOrderOverEquals(int value);
        bool isEnabled() const { return enabled; }
        void setEnabled(bool value);
        bool isVisible() const { return visible; }
        void setVisible(bool value) { visible = value; }
        float getAngle() const { return angle; }
        void setAngle(float value) { angle = value; }
        bool isClickThrough() const { return clickThrough; }
        void setClickThrough(bool value) { clickThrough = value; }
        bool isInheritAlpha() const { return inheritAlpha; }
        void setInheritAlpha(bool value) { inheritAlpha = value; }
        tesra::Color getColor() const { return color; }
        void setColor(const tesra::Color& value) { color = value; }
        unsigned char getRed() const { return color.r; }
        void setRed(unsigned char value) { color.r = value; }
        unsigned char getGreen() const { return color.g; }
        void setGreen(unsigned char value) { color.g = value; }
        unsigned char getBlue() const { return color.b; }
        void setBlue(unsigned char value) { color.b = value; }
        unsigned char getAlpha() const { return color.a; }
        void setAlpha(unsigned char value) { color.a = value; }
        bool isAnchorLeft() const { return anchorLeft; }
        void setAnchorLeft(bool value) { anchorLeft = value; }
        bool isAnchorRight() const { return anchorRight; }
        void setAnchorRight(bool value) { anchorRight = value; }
        bool isAnchorTop() const { return anchorTop; }
        void setAnchorTop(bool value) { anchorTop = value; }
        bool isAnchorBottom() const { return anchorBottom; }
        void setAnchorBottom(bool value) { anchorBottom = value; }
        void setAnchors(bool left, bool right, bool top, bool bottom);
        // True while a parent lays out its anchored children: an object told "Resized" then is inside that
        // walk, and whatever it runs must leave the parent's children as they are.
        static bool isLayoutUnderWay();
        bool isRetainAnchorAspect() const { return retainAnchorAspect; }
        void setRetainAnchorAspect(bool value) { retainAnchorAspect = value; }
        bool isClip() const { return clip; }
        void setClip(bool value) { clip = value; }
        bool isUseDisabledAlpha() const { return useDisabledAlpha; }
        void setUseDisabledAlpha(bool value) { useDisabledAlpha = value; }
        void setFocusIndex(int value) { focusIndex = value; }
        HitTestCallback getHitTestCallback() const { return hitTestCallback; }
        void setHitTestCallback(HitTestCallback value) { hitTestCallback = value; }

        // For code that calls out to handlers which may delete this object: the watch tells afterwards.
        LifeToken::Watch watchLife() { return life.watch(); }
        // A part that an ancestor made and keeps a pointer to: it goes with that ancestor, and code that
        // destroys objects on request leaves it alone.
        bool isHeldPart() const { return heldPart; }
        void setHeldPart(bool value) { heldPart = value; }
        // The ancestor a held part goes with; null for an object that is no part.
        Object* getPartHolder() const;
        // Code outside the tree that keeps this object and works with it, named for messages ("the fade
        // transition"); null while nothing holds it so. Code that destroys objects on request leaves a held
        // object alone, and everything above it. The text must last as long as the hold (a literal).
        const char* getOutsideHolder() const { return outsideHolder; }
        void setOutsideHolder(const char* value) { outsideHolder = value; }

    protected:
        hstring name;
        kavtypes::Rectangle rect;
        kavtypes::Vector2 scaleFactor;
        kavtypes::Vector2 center;
        Object* parent = nullptr;
        Object* childUnderCursor = nullptr;
        bool childUnderCursorValid = false;
        // Where the pointer stood when the cache was filled.
        kavtypes::Vector2 childUnderCursorPoint;
        ChildList children;
        std::vector<std::unique_ptr<Animator>> dynamicAnimators;
        hdict<std::shared_ptr<Event>> events;
        int zOrder = 0;
        bool enabled = true;
        bool visible = true;
        float angle = 0.0f;
        bool clickThrough = false;
        bool inheritAlpha = true;
        tesra::Color color;
        bool anchorLeft = true;
        bool anchorRight = false;
        bool anchorTop = true;
        bool anchorBottom = false;
        bool retainAnchorAspect = false;
        bool clip = false;
        bool useDisabledAlpha = true;
        bool heldPart = false;
        const char* outsideHolder = nullptr;
        int focusIndex = -1;
        HitTestCallback hitTestCallback = nullptr;
        Dataset* dataset = nullptr;
        LifeToken life;

        void _sortChildren();
        void _drawClipped(tesra::RenderSystem* rs);
        void _drawMoved(tesra::RenderSystem* rs);
        void _drawTranslated(tesra::RenderSystem* rs);
        void _drawSelfAndChildren(tesra::RenderSystem* rs);
        tesra::Color _getColorUnderAncestors() const;
        void _updateChildrenAndAnimators(float timeDelta);
        void _clearCachesUpwards();
        void _moveChildrenX(float dx);
        void _moveChildrenY(float dy);
        bool _acceptsInput() const;
        bool _acceptsClicks() const { return _acceptsInput() && !clickThrough; }
        bool _triggerEvent(const hstring& name, std::unique_ptr<EventArgs> args, bool inTurn = false);
        // For objects that report presses and releases the children leave: raises the named event when this
        // object takes clicks under the cursor, and tells whether it did.
        bool _triggerClickEvent(const hstring& name, unsigned int keyCode);
        // Takes out and deletes the dynamic animators the test picks, in list order.
        void _removeDynamicAnimators(bool (*isOfKind)(Animator*));
        // Appends a new dynamic animator of one run at the speed, driving this object.
        Animator* _addDynamicAnimator(std::unique_ptr<Animator> animator, float speed);
        // One family of dynamic animators, by its animator kind: start replaces the family's animators with
        // one from value to target, queue adds one, stop removes them all. A refused speed starts nothing.
        template <class Kind> Animator* _startDynamicAnimator(float value, float target, float speed);
        template <class Kind>
        Animator* _queueDynamicAnimator(float value, float target, float speed, float delay);
        template <class Kind> void _stopDynamicAnimators();
        // A destroyed object draws and plays no more: ahead of its free, it lets go of what others count it
        // among the holders of (the images it keeps, a looping sound's player).
        virtual void _letGo() {}
        // Logs that the operation needs a dataset; false when the object has none.
        bool _checkDataset(const char* operation) const;

    private:
        friend class Dataset;
        friend class ChildWalk;
        // Set by the dataset that registers the object.
        void _setDataset(Dataset* value) { dataset = value; }
        // The dataset that lists this object among those whose cursor cache was filled since its last
        // clearing, and the place in that list.
        Dataset* cursorCacheList = nullptr;
        int cursorCacheIndex = -1;
        // The place in its dataset's list of unregistered objects that still point at it, -1 when not listed.
        int unregisteredIndex = -1;

        // The rows of getProperty, setProperty and getPropertyDescriptions.
        static const PropertyTable<Object>& _properties();
    };
} // namespace tesraui
