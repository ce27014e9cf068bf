#pragma once

#include <quortypes/harray.h>
#include <tesraui/Image.h>

namespace tesraui
{
    class Dataset;
}

namespace vumo
{
    // An image that is one flat colour, named "0x" and the colour in hexadecimal ("RRGGBB" or
    // "RRGGBBAA"). Every live one is in one registry; one that nothing holds and no object of its dataset
    // uses for five seconds is destroyed through its dataset, as a script destroys an image, and freed at the
    // frame's end.
    class ColorImage : public tesraui::Image
    {
    public:
        explicit ColorImage(const hstring& name);
        ~ColorImage() override;

        void draw(const kavtypes::Rectangle& rect, const tesra::Color& color) override;

        const tesra::Color& getFillColor() const { return this->fillColor; }
        float getIdleTime() const { return this->idleTime; }

        static const harray<ColorImage*>& getRegistry();
        // Ages every colour image by timeDelta and destroys the ones left unused: those idle for more than
        // five seconds that nothing holds, no object of their dataset uses and their dataset still lists, one
        // dataset a call.
        static void updateAll(float timeDelta);
        // Makes and registers a colour image of that name in the dataset when the name begins with "0x"
        // and the dataset has no image of that name yet.
        static void registerIfColorName(tesraui::Dataset* dataset, const hstring& name);

    private:
        // Its dataset's map holds it: neither destroyed nor taken out by someone else.
        bool isListedInItsDataset() const;

    protected:
        tesra::Color fillColor;
        float idleTime = 0.0f;
        // In the registry; the idle removal takes many out at once before it destroys them.
        bool listed = true;
        tesra::PlainVertex corners[4];
    };
} // namespace vumo
