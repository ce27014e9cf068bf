#pragma once

#include <tesraui/Label.h>

namespace fintu
{
    class Font;
    struct RenderLine;
} // namespace fintu

namespace tesraui
{
    // A one-line or multi-line text input with a blinking caret, a filter, a maximum length, a password mask
    // and a hint shown while empty. Takes keys while it holds its dataset's focus, or when nothing there
    // does; queues "Submit" on Enter and "Click" on a release after a press inside it.
    class EditBox : public Label
    {
    public:
        EditBox(const hstring& name, kavtypes::Rectangle rect);
        ~EditBox() override;

        static Object* createInstance(const hstring& name, kavtypes::Rectangle rect);

        hstring getClassName() const override { return "EditBox"; }
        harray<PropertyInfo> getPropertyDescriptions() const override;
        void notifyEvent(const hstring& type, void* args) override;
        void setFocused(bool value) override;
        // Filtered and cut to the maximum length first.
        void setText(const hstring& value) override;
        bool onMouseDown(unsigned int keyCode) override;
        bool onMouseUp(unsigned int keyCode) override;
        // Answer false, so the key or character stays available to other handlers.
        bool onKeyDown(unsigned int keyCode) override;
        bool onKeyUp(unsigned int keyCode) override;
        bool onChar(unsigned int character) override;
        void _mouseCancel() override;
        void update(float timeDelta) override;
        hstring getProperty(const hstring& name) override;
        bool setProperty(const hstring& name, const hstring& value) override;
        void _draw() override;

        const hstring& getEmptyText() const { return emptyText; }
        void setEmptyText(const hstring& value);
        const hstring& getEmptyTextKey() const { return emptyTextKey; }
        void setEmptyTextKey(const hstring& value);
        int getCursorIndex() const { return cursorIndex; }
        void setCursorIndex(int value);
        int getMaxLength() const { return maxLength; }
        // Cuts a longer text without "onTextChanged".
        void setMaxLength(int value);
        char getPasswordChar() const { return passwordChar; }
        void setPasswordChar(char value) { passwordChar = value; }
        bool isMultiLine() const { return multiLine; }
        void setMultiLine(bool value) { multiLine = value; }
        bool isSpaceHack() const { return spaceHack; }
        void setSpaceHack(bool value) { spaceHack = value; }
        const hstring& getFilter() const { return filter; }
        // Applies to the current text at once.
        void setFilter(const hstring& value);
        bool isPushed() const { return pushed; }
        float getBlinkTimer() const { return blinkTimer; }
        kavtypes::Vector2 getCaretPosition() const { return caretPosition; }

        // Editing at the cursor; none of them fires "onTextChanged".
        void insertChar(unsigned int code);
        void deleteLeft(int count);
        void deleteRight(int count);
        void deleteWordLeft();
        void deleteWordRight();
        void moveLeft();
        void moveRight();
        void moveWordLeft();
        void moveWordRight();
        void moveUp();
        void moveDown();
        // The cursor at the character boundary nearest to a point of the box's own space.
        void setCursorIndexAt(float x, float y);

    protected:
        hstring emptyText;
        hstring emptyTextKey;
        bool pushed = false;
        int cursorIndex = 0;
        int maxLength = 0;
        char passwordChar = 0;
        bool multiLine = false;
        bool spaceHack = false;
        hstring filter;
        kavtypes::Vector2 caretPosition;
        bool ctrlDown = false;
        float blinkTimer = 0.0f;
        bool heightWarned = false;

        // The label's font when the renderer has it with a positive line height; null otherwise, and then
        // nothing is laid out, scrolled or typed.
        fintu::Font* _usableFont() const;
        // The text as drawn: the mask in place of a password.
        hstring _shownText() const;
        bool _acceptsKeys() const;
        harray<fintu::RenderLine> _layout(const hstring& text, bool keepWrappedSpaces) const;
        // The caret's centre after a prefix of a shown text, in the box's space.
        kavtypes::Vector2 _caretPosition(const hstring& prefix, const hstring& text, fintu::Font* font) const;
        void _moveLine(float direction);
        void _scrollToCaret(kavtypes::Vector2& caret, const hstring& shown, fintu::Font* font);
        void _drawCaret(kavtypes::Vector2 caret, fintu::Font* font);
        void _setCodes(const ustring& codes);

    private:
        static const PropertyTable<EditBox>& _properties();
    };
} // namespace tesraui
