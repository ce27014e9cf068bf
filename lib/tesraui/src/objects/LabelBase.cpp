#include <iterator>

#include <quortypes/Log.h>
#include <tesra/RenderSystem.h>
#include <tesra/tesra.h>
#include <tesraui/Dataset.h>
#include <tesraui/LabelBase.h>
#include <tesraui/Object.h>
#include <tesraui/tesraui.h>
#include <fintu/Renderer.h>

#include "PropertyRows.h"

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

        hstring wordOf(const Word* words, int count, int code)
        {
            for (int i = 0; i < count; ++i)
            {
                if (words[i].code == code)
                {
                    return words[i].word;
                }
            }
            return "";
        }

        bool codeOf(const Word* words, int count, const hstring& text, int& code)
        {
            for (int i = 0; i < count; ++i)
            {
                if (text == words[i].word)
                {
                    code = words[i].code;
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

    void LabelBase::setText(const hstring& value)
    {
        bool changed = (value != text);
        text = value;
        textKey = "";
        if (changed)
        {
            triggerEventInTurn("onTextChanged", 0u, "");
        }
    }

    bool LabelBase::_lookUpText(const hstring& key, const char* operation, hstring& result) const
    {
        Dataset* dataset = getDataset();
        if (dataset == nullptr)
        {
            const Object* owner = dynamic_cast<const Object*>(this);
            quortypes::Log::warnf(logTag, "Object '%s' belongs to no dataset, cannot %s '%s'.",
                                  owner != nullptr ? quortypes::Log::quote(owner->getName()).c_str() : "",
                                  operation, quortypes::Log::quote(key).c_str());
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
            triggerEventInTurn("onTextKeyChanged", 0u, "");
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

    const PropertyTable<LabelBase>& LabelBase::_properties()
    {
        using Table = PropertyTable<LabelBase>;
        using Row = Table::Row;
        using Rows = PropertyRows<LabelBase>;
        // A word of the list; another word is refused with a warning and keeps the value.
        const auto formattingRow = [](const char* name, const Word* words, int count, int LabelBase::*field)
        {
            return Row(
                name, PropertyInfo::ENUM,
                [words, count, field](LabelBase& label) { return wordOf(words, count, label.*field); },
                [name, words, count, field](LabelBase& label, const hstring& value)
                {
                    if (!codeOf(words, count, value, label.*field))
                    {
                        quortypes::Log::warn(logTag, hstring("'") + name + "=' does not support value '" +
                                                         quortypes::Log::quote(value) + "'.");
                        return false;
                    }
                    return true;
                });
        };
        const auto colorRow = [](const char* name, tesra::Color LabelBase::*field)
        {
            return Row(
                name, PropertyInfo::COLOR, [field](LabelBase& label) { return (label.*field).hex(); },
                [field](LabelBase& label, const hstring& value) { (label.*field).set(value); });
        };
        static const Table table = {
            Table::textRow("font", &LabelBase::font),
            {"text", PropertyInfo::STRING, [](LabelBase& label) { return label.text; },
             [](LabelBase& label, const hstring& value) { label.setText(value); }},
            {"text_key", PropertyInfo::STRING, [](LabelBase& label) { return label.textKey; },
             [](LabelBase& label, const hstring& value) { label.setTextKey(value); }},
            formattingRow("horz_formatting", horizontalWords, (int)std::size(horizontalWords),
                          &LabelBase::horzFormatting),
            formattingRow("vert_formatting", verticalWords, (int)std::size(verticalWords),
                          &LabelBase::vertFormatting),
            colorRow("text_color", &LabelBase::textColor),
            // "shadow" or "border", with ":" and a colour of its own when it has one.
            {"effect", PropertyInfo::ENUM,
             [](LabelBase& label)
             {
                 hstring result = wordOf(effectWords, (int)std::size(effectWords), label.effect);
                 return label.useEffectColor ? result + ":" + label.effectColor.hex() : result;
             },
             &LabelBase::_setEffect},
            Rows::vectorRow("text_offset", &LabelBase::textOffset),
            Rows::partRow("text_offset_x", &LabelBase::textOffset, &kavtypes::Vector2::x),
            Rows::partRow("text_offset_y", &LabelBase::textOffset, &kavtypes::Vector2::y),
            colorRow("background_color", &LabelBase::backgroundColor),
        };
        return table;
    }

    bool LabelBase::_setEffect(const hstring& value)
    {
        this->effect = EFFECT_NONE;
        this->useEffectColor = false;
        harray<hstring> parts = value.split(':', -1, true);
        if (parts.size() == 0)
        {
            return true;
        }
        if (!codeOf(effectWords, (int)std::size(effectWords), parts[0], this->effect))
        {
            quortypes::Log::warn(logTag, "'effect=' does not support value '" +
                                             quortypes::Log::quote(parts[0]) + "'.");
            return false;
        }
        if (parts.size() > 1)
        {
            if (!this->effectColor.trySet(parts[1], false))
            {
                quortypes::Log::warn(logTag, "'effect=' is using invalid color modifier '" +
                                                 quortypes::Log::quote(parts[1]) + "'.");
                return false;
            }
            this->useEffectColor = true;
        }
        return true;
    }

    QUORTYPES_PROPERTY_TABLE_ROOT(LabelBase, _properties)

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
