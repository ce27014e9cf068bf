#include <algorithm>
#include <cmath>

#include <tesra/Window.h>
#include <tesra/tesra.h>
#include <tesraui/Dataset.h>
#include <tesraui/EditBox.h>
#include <tesraui/tesraui.h>
#include <fintu/Font.h>
#include <fintu/Renderer.h>

namespace tesraui
{
    EditBox::EditBox(const hstring& name, kavtypes::Rectangle rect) : Label(name, rect)
    {
        text = "";
        textFormatting = false;
        horzFormatting = fintu::LEFT;
        backgroundColor = tesra::Color(0, 0, 0, 255);
    }

    EditBox::~EditBox() {}

    Object* EditBox::createInstance(const hstring& name, kavtypes::Rectangle rect)
    {
        return new EditBox(name, rect);
    }

    const PropertyTable<EditBox>& EditBox::_properties()
    {
        using Table = PropertyTable<EditBox>;
        static const Table table = {
            {"max_length", PropertyInfo::INT, [](EditBox& box) { return hstring(box.maxLength); },
             [](EditBox& box, const hstring& value) { box.setMaxLength(value.toInt()); }},
            // The first character of the text; none for an empty text.
            {"password_char", PropertyInfo::CHAR,
             [](EditBox& box) { return box.passwordChar != 0 ? hstring(box.passwordChar) : hstring(); },
             [](EditBox& box, const hstring& value)
             { box.passwordChar = (value.size() > 0 ? value[0] : 0); }},
            {"filter", PropertyInfo::STRING, [](EditBox& box) { return box.filter; },
             [](EditBox& box, const hstring& value) { box.setFilter(value); }},
            {"empty_text", PropertyInfo::STRING, [](EditBox& box) { return box.emptyText; },
             [](EditBox& box, const hstring& value) { box.setEmptyText(value); }},
            {"empty_text_key", PropertyInfo::STRING, [](EditBox& box) { return box.emptyTextKey; },
             [](EditBox& box, const hstring& value) { box.setEmptyTextKey(value); }},
            {"cursor_index", PropertyInfo::INT, [](EditBox& box) { return hstring(box.cursorIndex); },
             [](EditBox& box, const hstring& value) { box.setCursorIndex(value.toInt()); }},
            Table::flagRow("multi_line", &EditBox::multiLine),
            Table::flagRow("space_hack", &EditBox::spaceHack),
        };
        return table;
    }

    QUORTYPES_PROPERTY_TABLE_DESCRIPTIONS_BASE_FIRST(EditBox, Label, _properties)
    QUORTYPES_PROPERTY_TABLE_GET_SET(EditBox, Label, _properties)

    fintu::Font* EditBox::_usableFont() const
    {
        fintu::Font* font = (fintu::renderer != nullptr ? fintu::renderer->getFont(this->font) : nullptr);
        return font != nullptr && font->getLineHeight() > 0.0f ? font : nullptr;
    }

    bool EditBox::_acceptsKeys() const
    {
        return dataset == nullptr || dataset->getFocusedObject() == nullptr ||
               dataset->getFocusedObject() == this;
    }

    void EditBox::_setCodes(const ustring& codes)
    {
        text = hstring::fromUnicode(codes);
    }

    void EditBox::setText(const hstring& value)
    {
        hstring result = value;
        if (result != "" && filter != "")
        {
            ustring allowed = filter.toUnicode() + (unsigned int)'\n';
            ustring kept;
            for (unsigned int code : result.toUnicode())
            {
                if (allowed.find(code) != ustring::npos)
                {
                    kept += code;
                }
            }
            result = hstring::fromUnicode(kept);
        }
        if (maxLength > 0 && result.utf8Size() > maxLength)
        {
            result = result.utf8SubString(0, maxLength);
        }
        LabelBase::setText(result);
        setCursorIndex(cursorIndex);
    }

    void EditBox::setEmptyText(const hstring& value)
    {
        emptyText = value;
        emptyTextKey = "";
    }

    void EditBox::setEmptyTextKey(const hstring& value)
    {
        hstring found;
        if (_lookUpText(value, "set empty text key", found))
        {
            emptyText = found;
            emptyTextKey = value;
        }
    }

    void EditBox::setCursorIndex(int value)
    {
        cursorIndex = std::clamp(value, 0, text.utf8Size());
        blinkTimer = 0.0f;
    }

    void EditBox::setMaxLength(int value)
    {
        maxLength = value;
        if (value > 0 && text.utf8Size() > value)
        {
            text = text.utf8SubString(0, value);
            setCursorIndex(cursorIndex);
        }
    }

    void EditBox::setFilter(const hstring& value)
    {
        filter = value;
        setText(text);
    }

    void EditBox::setFocused(bool value)
    {
        Object::setFocused(value);
        if (value && dataset != nullptr)
        {
            blinkTimer = 0.0f;
        }
    }

    void EditBox::notifyEvent(const hstring& type, void* args)
    {
        if (type == "onLocalizationChanged" && emptyTextKey != "")
        {
            setEmptyTextKey(emptyTextKey);
        }
        else if (type == "onGainFocus" && !pushed && tesra::window != nullptr)
        {
            tesra::window->beginKeyboardHandling();
        }
        Label::notifyEvent(type, args);
    }

    bool EditBox::onMouseDown(unsigned int keyCode)
    {
        if (Object::onMouseDown(keyCode))
        {
            return true;
        }
        // A refused press (invisible, disabled, click-through) must not focus the box when handed to it.
        if (!_acceptsClicks() || !isCursorInside())
        {
            return false;
        }
        kavtypes::Vector2 local = transformToLocalSpace(getCursorPosition());
        setCursorIndexAt(local.x, local.y);
        setFocused(true);
        pushed = true;
        return true;
    }

    bool EditBox::onMouseUp(unsigned int keyCode)
    {
        if (Object::onMouseUp(keyCode))
        {
            return true;
        }
        if (!pushed)
        {
            return false;
        }
        pushed = false;
        if (!isCursorInside())
        {
            return false;
        }
        triggerEvent("Click", keyCode);
        if (tesra::window != nullptr)
        {
            tesra::window->beginKeyboardHandling();
        }
        return true;
    }

    void EditBox::_mouseCancel()
    {
        pushed = false;
    }

    bool EditBox::onKeyDown(unsigned int keyCode)
    {
        if (Object::onKeyDown(keyCode))
        {
            return true;
        }
        if (!_acceptsKeys())
        {
            return false;
        }
        switch (keyCode)
        {
        case 8:
            ctrlDown ? deleteWordLeft() : deleteLeft(1);
            break;
        case 13:
            if (multiLine)
            {
                insertChar('\n');
            }
            triggerEvent("Submit", 13u);
            break;
        case 17:
            ctrlDown = true;
            break;
        case 35:
            setCursorIndex(text.utf8Size());
            break;
        case 36:
            setCursorIndex(0);
            break;
        case 37:
            ctrlDown ? moveWordLeft() : moveLeft();
            break;
        case 38:
            multiLine ? moveUp() : setCursorIndex(0);
            break;
        case 39:
            ctrlDown ? moveWordRight() : moveRight();
            break;
        case 40:
            multiLine ? moveDown() : setCursorIndex(text.utf8Size());
            break;
        case 46:
            ctrlDown ? deleteWordRight() : deleteRight(1);
            break;
        default:
            break;
        }
        return false;
    }

    bool EditBox::onKeyUp(unsigned int keyCode)
    {
        if (Object::onKeyUp(keyCode))
        {
            return true;
        }
        if (keyCode == 17 || keyCode == 18)
        {
            ctrlDown = false;
        }
        return false;
    }

    bool EditBox::onChar(unsigned int character)
    {
        if (Object::onChar(character))
        {
            return true;
        }
        if (!_acceptsKeys())
        {
            return false;
        }
        fintu::Font* font = _usableFont();
        if (font != nullptr && font->hasChar(character) &&
            (filter == "" || filter.toUnicode().find(character) != ustring::npos))
        {
            insertChar(character);
        }
        return false;
    }

    void EditBox::update(float timeDelta)
    {
        // Before the children, which may delete this box.
        if (pushed)
        {
            kavtypes::Vector2 local = transformToLocalSpace(getCursorPosition());
            setCursorIndexAt(local.x, local.y);
        }
        else
        {
            float timer = blinkTimer + 2.0f * timeDelta;
            blinkTimer = timer - std::floor(timer);
        }
        Label::update(timeDelta);
    }

} // namespace tesraui
