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
        this->text = "";
        this->textFormatting = false;
        this->horzFormatting = fintu::LEFT;
        this->backgroundColor = tesra::Color(0, 0, 0, 255);
    }

    EditBox::~EditBox() {}

    Object* EditBox::createInstance(const hstring& name, kavtypes::Rectangle rect)
    {
        return new EditBox(name, rect);
    }

    harray<PropertyInfo> EditBox::getPropertyDescriptions() const
    {
        static harray<PropertyInfo> descriptions;
        if (descriptions.size() == 0)
        {
            descriptions =
                Label::getPropertyDescriptions() + harray<PropertyInfo>({
                                                       PropertyInfo("max_length", PropertyInfo::INT),
                                                       PropertyInfo("password_char", PropertyInfo::CHAR),
                                                       PropertyInfo("filter", PropertyInfo::STRING),
                                                       PropertyInfo("empty_text", PropertyInfo::STRING),
                                                       PropertyInfo("empty_text_key", PropertyInfo::STRING),
                                                       PropertyInfo("cursor_index", PropertyInfo::INT),
                                                       PropertyInfo("multi_line", PropertyInfo::BOOL),
                                                       PropertyInfo("space_hack", PropertyInfo::BOOL),
                                                   });
        }
        return descriptions;
    }

    fintu::Font* EditBox::_usableFont() const
    {
        fintu::Font* font = (fintu::renderer != nullptr ? fintu::renderer->getFont(this->font) : nullptr);
        return font != nullptr && font->getLineHeight() > 0.0f ? font : nullptr;
    }

    bool EditBox::_acceptsKeys() const
    {
        return this->dataset == nullptr || this->dataset->getFocusedObject() == nullptr ||
               this->dataset->getFocusedObject() == this;
    }

    void EditBox::_setCodes(const ustring& codes)
    {
        this->text = hstring::fromUnicode(codes);
    }

    void EditBox::setText(const hstring& value)
    {
        hstring result = value;
        if (result != "" && this->filter != "")
        {
            ustring allowed = this->filter.toUnicode() + (unsigned int)'\n';
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
        if (this->maxLength > 0 && result.utf8Size() > this->maxLength)
        {
            result = result.utf8SubString(0, this->maxLength);
        }
        LabelBase::setText(result);
        this->setCursorIndex(this->cursorIndex);
    }

    void EditBox::setEmptyText(const hstring& value)
    {
        this->emptyText = value;
        this->emptyTextKey = "";
    }

    void EditBox::setEmptyTextKey(const hstring& value)
    {
        hstring found;
        if (this->_lookUpText(value, "set empty text key", found))
        {
            this->emptyText = found;
            this->emptyTextKey = value;
        }
    }

    void EditBox::setCursorIndex(int value)
    {
        this->cursorIndex = std::clamp(value, 0, this->text.utf8Size());
        this->blinkTimer = 0.0f;
    }

    void EditBox::setMaxLength(int value)
    {
        this->maxLength = value;
        if (value > 0 && this->text.utf8Size() > value)
        {
            this->text = this->text.utf8SubString(0, value);
            this->setCursorIndex(this->cursorIndex);
        }
    }

    void EditBox::setFilter(const hstring& value)
    {
        this->filter = value;
        this->setText(this->text);
    }

    void EditBox::setFocused(bool value)
    {
        Object::setFocused(value);
        if (value && this->dataset != nullptr)
        {
            this->blinkTimer = 0.0f;
        }
    }

    void EditBox::notifyEvent(const hstring& type, void* args)
    {
        if (type == "onLocalizationChanged" && this->emptyTextKey != "")
        {
            this->setEmptyTextKey(this->emptyTextKey);
        }
        else if (type == "onGainFocus" && !this->pushed && tesra::window != nullptr)
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
        if (!this->_acceptsClicks() || !this->isCursorInside())
        {
            return false;
        }
        kavtypes::Vector2 local = this->transformToLocalSpace(getCursorPosition());
        this->setCursorIndexAt(local.x, local.y);
        this->setFocused(true);
        this->pushed = true;
        return true;
    }

    bool EditBox::onMouseUp(unsigned int keyCode)
    {
        if (Object::onMouseUp(keyCode))
        {
            return true;
        }
        if (!this->pushed)
        {
            return false;
        }
        this->pushed = false;
        if (!this->isCursorInside())
        {
            return false;
        }
        this->triggerEvent("Click", keyCode);
        if (tesra::window != nullptr)
        {
            tesra::window->beginKeyboardHandling();
        }
        return true;
    }

    void EditBox::_mouseCancel()
    {
        this->pushed = false;
    }

    bool EditBox::onKeyDown(unsigned int keyCode)
    {
        if (Object::onKeyDown(keyCode))
        {
            return true;
        }
        if (!this->_acceptsKeys())
        {
            return false;
        }
        switch (keyCode)
        {
        case 8:
            this->ctrlDown ? this->deleteWordLeft() : this->deleteLeft(1);
            break;
        case 13:
            if (this->multiLine)
            {
                this->insertChar('\n');
            }
            this->triggerEvent("Submit", 13u);
            break;
        case 17:
            this->ctrlDown = true;
            break;
        case 35:
            this->setCursorIndex(this->text.utf8Size());
            break;
        case 36:
            this->setCursorIndex(0);
            break;
        case 37:
            this->ctrlDown ? this->moveWordLeft() : this->moveLeft();
            break;
        case 38:
            this->multiLine ? this->moveUp() : this->setCursorIndex(0);
            break;
        case 39:
            this->ctrlDown ? this->moveWordRight() : this->moveRight();
            break;
        case 40:
            this->multiLine ? this->moveDown() : this->setCursorIndex(this->text.utf8Size());
            break;
        case 46:
            this->ctrlDown ? this->deleteWordRight() : this->deleteRight(1);
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
            this->ctrlDown = false;
        }
        return false;
    }

    bool EditBox::onChar(unsigned int character)
    {
        if (Object::onChar(character))
        {
            return true;
        }
        if (!this->_acceptsKeys())
        {
            return false;
        }
        fintu::Font* font = this->_usableFont();
        if (font != nullptr && font->hasChar(character) &&
            (this->filter == "" || this->filter.toUnicode().find(character) != ustring::npos))
        {
            this->insertChar(character);
        }
        return false;
    }

    void EditBox::update(float timeDelta)
    {
        // Before the children, which may delete this box.
        if (this->pushed)
        {
            kavtypes::Vector2 local = this->transformToLocalSpace(getCursorPosition());
            this->setCursorIndexAt(local.x, local.y);
        }
        else
        {
            float timer = this->blinkTimer + 2.0f * timeDelta;
            this->blinkTimer = timer - std::floor(timer);
        }
        Label::update(timeDelta);
    }

    hstring EditBox::getProperty(const hstring& name)
    {
        if (name == "max_length")
        {
            return formatString("%d", this->maxLength);
        }
        if (name == "password_char")
        {
            return this->passwordChar != 0 ? hstring(this->passwordChar) : hstring();
        }
        if (name == "filter")
        {
            return this->filter;
        }
        if (name == "empty_text")
        {
            return this->emptyText;
        }
        if (name == "empty_text_key")
        {
            return this->emptyTextKey;
        }
        if (name == "cursor_index")
        {
            return formatString("%d", this->cursorIndex);
        }
        if (name == "multi_line")
        {
            return formatString("%d", this->multiLine ? 1 : 0);
        }
        if (name == "space_hack")
        {
            return formatString("%d", this->spaceHack ? 1 : 0);
        }
        return Label::getProperty(name);
    }

    bool EditBox::setProperty(const hstring& name, const hstring& value)
    {
        if (name == "max_length")
        {
            this->setMaxLength(value.toInt());
        }
        else if (name == "password_char")
        {
            this->passwordChar = (value.size() > 0 ? value[0] : 0);
        }
        else if (name == "filter")
        {
            this->setFilter(value);
        }
        else if (name == "empty_text")
        {
            this->setEmptyText(value);
        }
        else if (name == "empty_text_key")
        {
            this->setEmptyTextKey(value);
        }
        else if (name == "cursor_index")
        {
            this->setCursorIndex(value.toInt());
        }
        else if (name == "multi_line")
        {
            this->multiLine = value.toBool();
        }
        else if (name == "space_hack")
        {
            this->spaceHack = value.toBool();
        }
        else
        {
            return Label::setProperty(name, value);
        }
        return true;
    }
} // namespace tesraui
