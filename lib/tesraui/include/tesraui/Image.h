#pragma once

#include <kavtypes/Rectangle.h>
#include <quortypes/hstring.h>

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

        const hstring& getName() const { return this->name; }
        // "dataset.name", or the plain name outside a dataset.
        hstring getFullName() const;
        Texture* getTexture() const { return this->texture; }
        Dataset* getDataset() const { return this->dataset; }
        void setDataset(Dataset* value) { this->dataset = value; }
        const kavtypes::Rectangle& getSourceRect() const { return this->sourceRect; }

    protected:
        Dataset* dataset = nullptr;
        Texture* texture;
        hstring name;
        kavtypes::Rectangle sourceRect;
    };

    // Stands for "no image": every dataset has one named "null".
    class NullImage : public Image
    {
    public:
        NullImage();
    };
} // namespace tesraui
