#include <tesraui/Container.h>
#include <tesraui/ScrollBarH.h>
#include <tesraui/ScrollBarV.h>

namespace tesraui
{
    ScrollBarH::ScrollBarH(const hstring& name, kavtypes::Rectangle rect) : ScrollBar(name, rect)
    {
        axis = 0;
    }

    ScrollBarH::~ScrollBarH()
    {
        Container* container = _getContainer();
        if (container != nullptr)
        {
            _linkContainer(container, false);
        }
    }

    Object* ScrollBarH::createInstance(const hstring& name, kavtypes::Rectangle rect)
    {
        return new ScrollBarH(name, rect);
    }

    void ScrollBarH::_linkContainer(Container* container, bool attach)
    {
        if (attach)
        {
            container->_setScrollBarH(this);
        }
        else if (container->_getScrollBarH() == this)
        {
            container->_setScrollBarH(nullptr);
        }
    }

    ScrollBarV::ScrollBarV(const hstring& name, kavtypes::Rectangle rect) : ScrollBar(name, rect)
    {
        axis = 1;
    }

    ScrollBarV::~ScrollBarV()
    {
        Container* container = _getContainer();
        if (container != nullptr)
        {
            _linkContainer(container, false);
        }
    }

    Object* ScrollBarV::createInstance(const hstring& name, kavtypes::Rectangle rect)
    {
        return new ScrollBarV(name, rect);
    }

    void ScrollBarV::_linkContainer(Container* container, bool attach)
    {
        if (attach)
        {
            container->_setScrollBarV(this);
        }
        else if (container->_getScrollBarV() == this)
        {
            container->_setScrollBarV(nullptr);
        }
    }
} // namespace tesraui
