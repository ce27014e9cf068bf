#include <algorithm>

#include <tesraui/EditBox.h>

namespace tesraui
{
    // Cursor positions count characters; the text is edited as code points.

    void EditBox::insertChar(unsigned int code)
    {
        this->blinkTimer = 0.0f;
        ustring codes = this->text.toUnicode();
        if (this->maxLength >= 1 && (int)codes.size() >= this->maxLength)
        {
            return;
        }
        int before = this->text.utf8Size();
        codes.insert(codes.begin() + this->cursorIndex, code);
        this->_setCodes(codes);
        // Codes that encode to nothing (0, beyond the UTF-8 range) store nothing, and the cursor must stay
        // inside the text.
        this->cursorIndex += std::max(this->text.utf8Size() - before, 0);
    }

    void EditBox::deleteLeft(int count)
    {
        this->blinkTimer = 0.0f;
        if (this->cursorIndex <= 0)
        {
            return;
        }
        int removed = std::min(count, this->cursorIndex);
        ustring codes = this->text.toUnicode();
        codes.erase(this->cursorIndex - removed, removed);
        this->_setCodes(codes);
        this->cursorIndex -= removed;
    }

    void EditBox::deleteRight(int count)
    {
        int removed = std::min(count, this->text.utf8Size() - this->cursorIndex);
        this->cursorIndex += removed;
        this->deleteLeft(removed);
    }

    void EditBox::deleteWordLeft()
    {
        this->blinkTimer = 0.0f;
        ustring codes = this->text.toUnicode();
        int i = this->cursorIndex;
        while (i > 0 && codes[i - 1] == ' ')
        {
            --i;
        }
        while (i > 0 && codes[i - 1] != ' ')
        {
            --i;
        }
        codes.erase(i, this->cursorIndex - i);
        this->_setCodes(codes);
        this->cursorIndex = i;
    }

    void EditBox::deleteWordRight()
    {
        this->blinkTimer = 0.0f;
        ustring codes = this->text.toUnicode();
        int size = (int)codes.size();
        int i = this->cursorIndex;
        while (i < size && codes[i] != ' ')
        {
            ++i;
        }
        while (i < size && codes[i] == ' ')
        {
            ++i;
        }
        codes.erase(this->cursorIndex, i - this->cursorIndex);
        this->_setCodes(codes);
    }

    void EditBox::moveLeft()
    {
        this->setCursorIndex(this->cursorIndex - 1);
    }

    void EditBox::moveRight()
    {
        this->setCursorIndex(this->cursorIndex + 1);
    }

    void EditBox::moveWordLeft()
    {
        this->blinkTimer = 0.0f;
        ustring codes = this->text.toUnicode();
        int i = this->cursorIndex;
        if (i == 0)
        {
            return;
        }
        bool passedSpace = false;
        while (i > 0 && codes[i - 1] == ' ')
        {
            --i;
            passedSpace = true;
        }
        if (i > 0 && codes[i - 1] == '\n')
        {
            this->cursorIndex = (passedSpace ? i : i - 1);
            return;
        }
        while (i > 0 && codes[i - 1] != ' ' && codes[i - 1] != '\n')
        {
            --i;
        }
        this->cursorIndex = i;
    }

    void EditBox::moveWordRight()
    {
        this->blinkTimer = 0.0f;
        ustring codes = this->text.toUnicode();
        int size = (int)codes.size();
        int i = this->cursorIndex;
        if (i >= size)
        {
            return;
        }
        for (int passed = 0; i < size && codes[i] != ' '; ++i, ++passed)
        {
            if (codes[i] == '\n')
            {
                this->cursorIndex = (passed == 0 ? i + 1 : i);
                return;
            }
        }
        while (i < size && (codes[i] == ' ' || codes[i] == '\n'))
        {
            ++i;
        }
        this->cursorIndex = i;
    }
} // namespace tesraui
