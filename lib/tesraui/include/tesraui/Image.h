#pragma once

#include <kavtypes/Rectangle.h>
#include <kavtypes/Vector2.h>
#include <quortypes/PropertyInfo.h>
#include <quortypes/PropertyTable.h>
#include <quortypes/harray.h>
#include <quortypes/hstring.h>
#include <tesra/Color.h>
#include <tesra/RenderModes.h>
#include <tesra/Vertex.h>
#include <tesraui/LifeToken.h>

namespace tesraui
{
    class Dataset;
    class Texture;

    // A named rectangle of a UI texture; datasets own their images.
    class Image
    {
    public:
        Image(Texture* texture, const hstring& name, kavtypes::Rectangle sourceRect);
        virtual ~Image() = default;
        Image(const Image&) = delete;
        Image& operator=(const Image&) = delete;

        // Positions and texture coordinates run from 0 to 1 across the source rectangle; no rotation or
        // mirroring. Drawn as a triangle list.
        virtual void draw(const harray<tesra::TexturedVertex>& vertices, const tesra::Color& color);
        virtual void draw(const kavtypes::Rectangle& rect, const tesra::Color& color);
        virtual harray<PropertyInfo> getPropertyDescriptions() const;
        virtual hstring getProperty(const hstring& name);
        virtual bool setProperty(const hstring& name, const hstring& value);

        const hstring& getName() const { return name; }
        // "dataset.name", or the plain name outside a dataset.
        hstring getFullName() const;
        Texture* getTexture() const { return texture; }
        Dataset* getDataset() const { return dataset; }
        void setDataset(Dataset* value) { dataset = value; }
        const kavtypes::Rectangle& getSourceRect() const { return sourceRect; }
        void setSourceRect(const kavtypes::Rectangle& value);
        tesra::Color getColor() const { return color; }
        void setColor(const tesra::Color& value) { color = value; }
        tesra::BlendMode getBlendMode() const { return blendMode; }
        void setBlendMode(tesra::BlendMode value) { blendMode = value; }
        tesra::ColorMode getColorMode() const { return colorMode; }
        void setColorMode(tesra::ColorMode value) { colorMode = value; }
        float getColorModeFactor() const { return colorModeFactor; }
        void setColorModeFactor(float value) { colorModeFactor = value; }
        bool isRotated() const { return rotated; }
        void setRotated(bool value);
        bool isInvertX() const { return invertX; }
        void setInvertX(bool value);
        bool isInvertY() const { return invertY; }
        void setInvertY(bool value);
        // The objects and composite images keeping this image to draw it (through HeldImage).
        int countHolders() const { return holders.countWatches(); }

    protected:
        Dataset* dataset = nullptr;
        Texture* texture;
        hstring name;
        kavtypes::Rectangle sourceRect;
        tesra::Color color;
        tesra::BlendMode blendMode = tesra::BlendMode::DEFAULT;
        tesra::ColorMode colorMode = tesra::ColorMode::DEFAULT;
        float colorModeFactor = 1.0f;
        bool rotated = false;
        bool invertX = false;
        bool invertY = false;
        bool textureCoordinatesLoaded = false;
        tesra::TexturedVertex vertices[4];

        void _updateTexCoords();
        // The image's own colour over the caller's; white opaque leaves it as it is.
        tesra::Color _blendedColor(const tesra::Color& color) const;
        // Loads and binds the texture; false without one.
        bool _bindTexture();
        void _setRenderModes();
        void _resetRenderModes();

    private:
        friend class HeldImage;
        // Ends the holders' watches when the image is destroyed, ahead of its free.
        friend class Dataset;
        LifeToken holders;

        // The rows of getProperty, setProperty and getPropertyDescriptions.
        static const PropertyTable<Image>& _properties();
    };

    // Stands for "no image": every dataset has one named "null". Draws nothing in either form.
    class NullImage : public Image
    {
    public:
        NullImage();
        ~NullImage() override = default;

        void draw(const harray<tesra::TexturedVertex>& vertices, const tesra::Color& color) override;
        void draw(const kavtypes::Rectangle& rect, const tesra::Color& color) override;
    };
} // namespace tesraui
