#pragma once

#include <kavtypes/Rectangle.h>
#include <kavtypes/Vector2.h>
#include <quortypes/PropertyInfo.h>
#include <quortypes/PropertyTable.h>
#include <quortypes/harray.h>
#include <quortypes/hstring.h>
#include <tesra/Color.h>

namespace tesraui
{
    class Dataset;

    // The text block of every text-carrying object. It is a second base beside Object: the owner supplies
    // the dataset and the events with operations of the same names, so one override serves both bases.
    class LabelBase
    {
    public:
        enum Effect
        {
            EFFECT_NONE = 0,
            EFFECT_SHADOW = 1,
            EFFECT_BORDER = 2
        };

        LabelBase();
        virtual ~LabelBase();

        // Clears the key; fires "onTextChanged" only when the text differs.
        virtual void setText(const hstring& value);
        virtual Dataset* getDataset() const = 0;
        virtual harray<PropertyInfo> getPropertyDescriptions() const;
        // Re-reads the text key on "onLocalizationChanged".
        virtual void notifyEvent(const hstring& type, void* args);
        virtual bool triggerEvent(const hstring& name, float x, float y, unsigned int keyCode,
                                  const hstring& extra = "") = 0;
        virtual bool triggerEvent(const hstring& name, int buttonCode, const hstring& extra = "") = 0;
        virtual bool triggerEvent(const hstring& name, unsigned int keyCode, const hstring& extra = "") = 0;
        virtual bool triggerEventInTurn(const hstring& name, unsigned int keyCode,
                                        const hstring& extra = "") = 0;

        const hstring& getText() const { return text; }
        const hstring& getTextKey() const { return textKey; }
        // Stores the key after the text it gives; fires "onTextKeyChanged" only for a new key. Without a
        // dataset there is nothing to look the key up in: a warning, and nothing changes.
        void setTextKey(const hstring& value);
        // False, doing nothing, when the key is the current one.
        bool trySetTextKey(const hstring& value);
        const hstring& getFont() const { return font; }
        void setFont(const hstring& value) { font = value; }
        bool isTextFormatting() const { return textFormatting; }
        void setTextFormatting(bool value) { textFormatting = value; }
        const tesra::Color& getTextColor() const { return textColor; }
        void setTextColor(const tesra::Color& value) { textColor = value; }
        const kavtypes::Vector2& getTextOffset() const { return textOffset; }
        void setTextOffset(const kavtypes::Vector2& value) { textOffset = value; }
        int getHorzFormatting() const { return horzFormatting; }
        void setHorzFormatting(int value) { horzFormatting = value; }
        int getVertFormatting() const { return vertFormatting; }
        void setVertFormatting(int value) { vertFormatting = value; }
        int getEffect() const { return effect; }
        void setEffect(int value) { effect = value; }
        bool isUseEffectColor() const { return useEffectColor; }
        void setUseEffectColor(bool value) { useEffectColor = value; }
        const tesra::Color& getEffectColor() const { return effectColor; }
        void setEffectColor(const tesra::Color& value) { effectColor = value; }
        const tesra::Color& getBackgroundColor() const { return backgroundColor; }
        void setBackgroundColor(const tesra::Color& value) { backgroundColor = value; }

        // "" for a name the block does not have.
        hstring getProperty(const hstring& name);
        // False for a name the block does not have or a value it refuses (with a warning).
        bool setProperty(const hstring& name, const hstring& value);
        void _drawLabel(const kavtypes::Rectangle& rect, const tesra::Color& color,
                        const tesra::Color& backgroundColor);

    protected:
        hstring text;
        hstring textKey;
        hstring font;
        bool textFormatting = true;
        tesra::Color textColor = tesra::Color(255, 255, 255, 255);
        kavtypes::Vector2 textOffset;
        int horzFormatting = 7;
        int vertFormatting = 1;
        int effect = EFFECT_NONE;
        bool useEffectColor = false;
        tesra::Color effectColor = tesra::Color(0, 0, 0, 255);
        tesra::Color backgroundColor = tesra::Color(0, 0, 0, 0);

        // The text of a key from the owner's dataset; false, with a warning, without one.
        bool _lookUpText(const hstring& key, const char* operation, hstring& result) const;
        // The text as the renderer must get it so that it shows as stored.
        hstring _drawnText() const;

    private:
        static const PropertyTable<LabelBase>& _properties();
        // "none", "shadow" or "border", and ":" with a colour; a word or colour it does not know is refused
        // with a warning.
        bool _setEffect(const hstring& value);
    };
} // namespace tesraui
