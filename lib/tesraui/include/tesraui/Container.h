#pragma once

#include <tesraui/Object.h>

namespace tesraui
{
    class ScrollArea;
    class ScrollBarH;
    class ScrollBarV;

    // Groups objects and draws nothing (an outline in debug mode); scroll areas and bars attach to it.
    class Container : public Object
    {
    public:
        Container(const hstring& name, kavtypes::Rectangle rect);
        ~Container() override;

        static Object* createInstance(const hstring& name, kavtypes::Rectangle rect);

        hstring getClassName() const override { return "Container"; }
        void _draw() override;

        // Set and cleared by the scroll area and the bars themselves as they attach and detach.
        ScrollArea* _getScrollArea() const { return scrollArea; }
        void _setScrollArea(ScrollArea* value) { scrollArea = value; }
        ScrollBarH* _getScrollBarH() const { return scrollBarH; }
        void _setScrollBarH(ScrollBarH* value) { scrollBarH = value; }
        ScrollBarV* _getScrollBarV() const { return scrollBarV; }
        void _setScrollBarV(ScrollBarV* value) { scrollBarV = value; }

    protected:
        ScrollArea* scrollArea = nullptr;
        ScrollBarH* scrollBarH = nullptr;
        ScrollBarV* scrollBarV = nullptr;
    };
} // namespace tesraui
