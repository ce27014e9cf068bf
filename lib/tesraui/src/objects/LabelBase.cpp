#include <quortypes/Log.h>
#include <tesra/RenderSystem.h>
#include <tesra/tesra.h>
#include <tesraui/Dataset.h>
#include <tesraui/LabelBase.h>
#include <tesraui/Object.h>
#include <tesraui/tesraui.h>
#include <fintu/Renderer.h>

namespace tesraui
{
    namespace
    {
        struct Word
        {
            const char* word;
            int code;
        };

        const Word horizontalWords[] = {{"center", 1},       {"left", 3},          {"right", 4},
                                        {"left_wrapped", 5}, {"right_wrapped", 6}, {"center_wrapped", 7},
                                        {"justified", 8}};
        const Word verticalWords[] = {{"top", 0}, {"center", 1}, {"bottom", 2}};
        const Word effectWords[] = {{"none", LabelBase::EFFECT_NONE},
                                    {"shadow", LabelBase::EFFECT_SHADOW},
                                    {"border", LabelBase::EFFECT_BORDER}};

        template <size_t N> hstring wordOf(const Word (&words)[N], int code)
        {
            for (const Word& word : words)
            {
                if (word.code == code)
                {
                    return word.word;
                }
            }
            return "";
        }

        template <size_t N> bool codeOf(const Word (&words)[N], const hstring& text, int& code)
        {
            for (const Word& word : words)
            {
                if (text == word.word)
                {
                    code = word.code;
                    return true;
                }
            }
            return false;
        }

        // Each channel scaled by the other colour's, exactly in integers.
        tesra::Color modulated(const tesra::Color& a, const tesra::Color& b)
        {
            return tesra::Color((unsigned char)(a.r * b.r / 255), (unsigned char)(a.g * b.g / 255),
                                (unsigned char)(a.b * b.b / 255), (unsigned char)(a.a * b.a / 255));
        }
    } // namespace

    LabelBase::LabelBase() {}

    LabelBase::~LabelBase() {}

    harray<PropertyInfo> LabelBase::getPropertyDescriptions() const
    {
        static const harray<PropertyInfo> table = {
            PropertyInfo("font", PropertyInfo::STRING),
            PropertyInfo("text", PropertyInfo::STRING),
            PropertyInfo("text_key", PropertyInfo::STRING),
            PropertyInfo("horz_formatting", PropertyInfo::ENUM),
            PropertyInfo("vert_formatting", PropertyInfo::ENUM),
            PropertyInfo("text_color", PropertyInfo::COLOR),
            PropertyInfo("effect", PropertyInfo::ENUM),
            PropertyInfo("text_offset", PropertyInfo::GVEC2),
            PropertyInfo("text_offset_x", PropertyInfo::FLOAT),
            PropertyInfo("text_offset_y", PropertyInfo::FLOAT),
            PropertyInfo("background_color", PropertyInfo::COLOR),
        };
        return table;
    }

    void LabelBase::setText(const hstring& value)
    {
        bool changed = (value != text);
        text = value;
        textKey = "";
        if (changed)
        {
            triggerEvent("onTextChanged", 0u, "");
        }
    }

    bool LabelBase::_lookUpText(const hstring& key, const char* operation, hstring& result) const
    {
        Dataset* dataset = getDataset();
        if (dataset == nullptr)
        {
            const Object* owner = dynamic_cast<const Object*>(this);
            quortypes::Log::warnf(logTag, "Object '%s' belongs to no dataset, cannot %s '%s'.",
                                  owner != nullptr ? owner->getName().c_str() : "", operation, key.c_str());
            return false;
        }
        result = dataset->getTextFormatted(key);
        return true;
    }

    void LabelBase::setTextKey(const hstring& value)
    {
        // A copy: the argument may be the stored key, which setText clears.
        const hstring key = value;
        hstring found;
        if (!_lookUpText(key, "set text key", found))
        {
            return;
        }
        bool changed = (key != textKey);
        setText(found);
        textKey = key;
        if (changed)
        {
            triggerEvent("onTextKeyChanged", 0u, "");
        }
    }

    bool LabelBase::trySetTextKey(const hstring& value)
    {
        if (value == textKey)
        {
            return false;
        }
        setTextKey(value);
        return true;
    }

    void LabelBase::notifyEvent(const hstring& type, void* /*args*/)
    {
        if (type == "onLocalizationChanged" && textKey != "")
        {
            setTextKey(textKey);
        }
    }

    hstring LabelBase::getProperty(const hstring& name)
    {
        if (name == "font")
        {
            return font;
        }
        if (name == "text")
        {
            return text;
        }
        if (name == "text_key")
        {
            return textKey;
        }
        if (name == "horz_formatting")
        {
            return wordOf(horizontalWords, horzFormatting);
        }
        if (name == "vert_formatting")
        {
            return wordOf(verticalWords, vertFormatting);
        }
        if (name == "text_color")
        {
            return textColor.hex();
        }
        if (name == "background_color")
        {
            return this->backgroundColor.hex();
        }
        if (name == "effect")
        {
            hstring result = wordOf(effectWords, effect);
            return useEffectColor ? result + ":" + effectColor.hex() : result;
        }
        if (name == "text_offset")
        {
            return vector2ToString(textOffset);
        }
        if (name == "text_offset_x")
        {
            return formatString("%f", textOffset.x);
        }
        if (name == "text_offset_y")
        {
            return formatString("%f", textOffset.y);
        }
        return "";
    }

    bool LabelBase::setProperty(const hstring& name, const hstring& value)
    {
        if (name == "font")
        {
            font = value;
        }
        else if (name == "text")
        {
            setText(value);
        }
        else if (name == "text_key")
        {
            setTextKey(value);
        }
        else if (name == "horz_formatting" || name == "vert_formatting")
        {
            bool horizontal = (name == "horz_formatting");
            int& field = (horizontal ? horzFormatting : vertFormatting);
            if (!(horizontal ? codeOf(horizontalWords, value, field) : codeOf(verticalWords, value, field)))
            {
                quortypes::Log::warn(logTag, "'" + name + "=' does not support value '" + value + "'.");
                return false;
            }
        }
        else if (name == "text_color")
        {
            textColor.set(value);
        }
        else if (name == "background_color")
        {
            this->backgroundColor.set(value);
        }
        else if (name == "effect")
        {
            effect = EFFECT_NONE;
            useEffectColor = false;
            harray<hstring> parts = value.split(':', -1, true);
            if (parts.size() == 0)
            {
                return true;
            }
            if (!codeOf(effectWords, parts[0], effect))
            {
                quortypes::Log::warn(logTag, "'effect=' does not support value '" + parts[0] + "'.");
                return false;
            }
            if (parts.size() > 1)
            {
                if (!effectColor.trySet(parts[1], false))
                {
                    quortypes::Log::warn(logTag,
                                         "'effect=' is using invalid color modifier '" + parts[1] + "'.");
                    return false;
                }
                useEffectColor = true;
            }
        }
        else if (name == "text_offset")
        {
            textOffset = stringToVector2(value);
        }
        else if (name == "text_offset_x")
        {
            textOffset.x = value.toFloat();
        }
        else if (name == "text_offset_y")
        {
            textOffset.y = value.toFloat();
        }
        else
        {
            return false;
        }
        return true;
    }

    hstring LabelBase::_drawnText() const
    {
        hstring result = text;
        if (!textFormatting)
        {
            // A typed "[/-" would end a no-formatting stretch and let the tags after it act, so such a
            // text has every bracket escaped instead.
            result = (result.contains("[/-") ? result.replaced("[", "[]") : "[-]" + result);
        }
        hstring parameter = (useEffectColor ? ":" + effectColor.hex() : hstring());
        if (effect == EFFECT_SHADOW)
        {
            result = "[s" + parameter + "]" + result;
        }
        else if (effect == EFFECT_BORDER)
        {
            result = "[b" + parameter + "]" + result;
        }
        return result;
    }

    void LabelBase::_drawLabel(const kavtypes::Rectangle& rect, const tesra::Color& color,
                               const tesra::Color& backgroundColor)
    {
        tesra::Color drawColor = modulated(color, textColor);
        tesra::RenderSystem* rs = tesra::rendersys;
        if (rs != nullptr)
        {
            if (backgroundColor.a > 0)
            {
                rs->drawFilledRect(rect, backgroundColor);
                rs->drawRect(rect, tesra::Color(textColor, backgroundColor.a));
            }
            else if (isDebugEnabled())
            {
                rs->drawFilledRect(rect, tesra::Color(0, 0, 0, (unsigned char)(drawColor.a / 255.0f * 32)));
                rs->drawRect(rect, tesra::Color(0, 255, 0, (unsigned char)(drawColor.a / 255.0f * 64)));
            }
        }
        if (text == "" || fintu::renderer == nullptr)
        {
            return;
        }
        fintu::renderer->drawText(font, rect, _drawnText(), horzFormatting, vertFormatting, drawColor,
                                  -textOffset);
    }
} // namespace tesraui
