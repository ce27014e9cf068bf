#pragma once

#include <kavtypes/Vector2.h>
#include <quortypes/PropertyTable.h>
#include <quortypes/harray.h>
#include <tesra/RenderModes.h>
#include <tesraui/Object.h>

namespace vumo
{
    // A polyline ("line_strip") or separate segments ("line_list") through points in the object's own
    // coordinates, drawn in the object's colour with its own alpha only.
    class LineObject : public tesraui::Object
    {
    public:
        LineObject(const hstring& name, kavtypes::Rectangle rect) : tesraui::Object(name, rect) {}
        ~LineObject() override = default;
        static tesraui::Object* createInstance(const hstring& name, kavtypes::Rectangle rect);
        hstring getClassName() const override { return "LineObject"; }

        harray<PropertyInfo> getPropertyDescriptions() const override;
        hstring getProperty(const hstring& name) override;
        bool setProperty(const hstring& name, const hstring& value) override;
        void _draw() override;

        const harray<kavtypes::Vector2>& getPoints() const { return this->points; }
        tesra::RenderOperation getRenderOperation() const { return this->renderOperation; }

    protected:
        harray<kavtypes::Vector2> points;
        tesra::RenderOperation renderOperation = tesra::RenderOperation::LINE_LIST;

    private:
        static const PropertyTable<LineObject>& _properties();
    };
} // namespace vumo
