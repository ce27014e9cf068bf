#include <algorithm>

#include <tesraui/EditBox.h>

namespace tesraui
{
    // Cursor positions count characters; the text is edited as code points.

    void EditBox::insertChar(unsigned int code)
    {
        blinkTimer = 0.0f;
        ustring codes = text.toUnicode();
        if (maxLength >= 1 && (int)codes.size() >= maxLength)
        {
            return;
        }
        int before = text.utf8Size();
        codes.insert(codes.begin() + cursorIndex, code);
        _setCodes(codes);
        // Codes that encode to nothing (0, beyond the UTF-8 range) store nothing, and the cursor must stay
        // inside the text.
        cursorIndex += std::max(text.utf8Size() - before, 0);
    }

    void EditBox::deleteLeft(int count)
    {
        blinkTimer = 0.0f;
        if (cursorIndex <= 0)
        {
            return;
        }
        int removed = std::min(count, cursorIndex);
        ustring codes = text.toUnicode();
        codes.erase(cursorIndex - removed, removed);
        _setCodes(codes);
        cursorIndex -= removed;
    }

    void EditBox::deleteRight(int count)
    {
        int removed = std::min(count, text.utf8Size() - cursorIndex);
        cursorIndex += removed;
        deleteLeft(removed);
    }

    void EditBox::deleteWordLeft()
    {
        blinkTimer = 0.0f;
        ustring codes = text.toUnicode();
        int i = cursorIndex;
        while (i > 0 && codes[i - 1] == ' ')
        {
            --i;
        }
        while (i > 0 && codes[i - 1] != ' ')
        {
            --i;
        }
        codes.erase(i, cursorIndex - i);
        _setCodes(codes);
        cursorIndex = i;
    }

    void EditBox::deleteWordRight()
    {
        blinkTimer = 0.0f;
        ustring codes = text.toUnicode();
        int size = (int)codes.size();
        int i = cursorIndex;
        while (i < size && codes[i] != ' ')
        {
            ++i;
        }
        while (i < size && codes[i] == ' ')
        {
            ++i;
        }
        codes.erase(cursorIndex, i - cursorIndex);
        _setCodes(codes);
    }

    void EditBox::moveLeft()
    {
        setCursorIndex(cursorIndex - 1);
    }

    void EditBox::moveRight()
    {
        setCursorIndex(cursorIndex + 1);
    }

    void EditBox::moveWordLeft()
    {
        blinkTimer = 0.0f;
        ustring codes = text.toUnicode();
        int i = cursorIndex;
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
            cursorIndex = (passedSpace ? i : i - 1);
            return;
        }
        while (i > 0 && codes[i - 1] != ' ' && codes[i - 1] != '\n')
        {
            --i;
        }
        cursorIndex = i;
    }

    void EditBox::moveWordRight()
    {
        blinkTimer = 0.0f;
        ustring codes = text.toUnicode();
        int size = (int)codes.size();
        int i = cursorIndex;
        if (i >= size)
        {
            return;
        }
        for (int passed = 0; i < size && codes[i] != ' '; ++i, ++passed)
        {
            if (codes[i] == '\n')
            {
                cursorIndex = (passed == 0 ? i + 1 : i);
                return;
            }
        }
        while (i < size && (codes[i] == ' ' || codes[i] == '\n'))
        {
            ++i;
        }
        cursorIndex = i;
    }
} // namespace tesraui
