#pragma once

#include <fintu/Font.h>
#include <fintu/Renderer.h>
#include <fintu/fintu.h>
#include <tesra/Texture.h>
#include <tesraui/Event.h>
#include <tesraui/EventArgs.h>
#include <tesraui/Object.h>

#include "UiTestSupport.h"

namespace uitest
{
    // The library started over a fake window for as long as the object lives; declared before the
    // datasets of a test, so that they are gone before the library goes.
    struct UiLibrary
    {
        FakeWindow window;
        UiLibrary() { tesraui::init(); }
        ~UiLibrary() { tesraui::destroy(); }
    };

    // Every printable ASCII character advances 8 and is drawn as a solid 6 by 16 block; the space draws
    // nothing. Line height 20, descender 4. With a render system the blocks come from a white atlas.
    class BlockFont : public fintu::Font
    {
    public:
        explicit BlockFont(const hstring& name) : fintu::Font(name)
        {
            this->height = 16.0f;
            this->lineHeight = 20.0f;
            this->descender = 4.0f;
            this->loaded = true;
            fintu::FontTexture* atlas = nullptr;
            if (tesra::rendersys != nullptr)
            {
                this->textures.push_back(std::make_unique<fintu::FontTexture>());
                atlas = this->textures.back().get();
                atlas->texture.reset(tesra::rendersys->createTexture(8, 16, tesra::Color(255, 255, 255, 255)));
            }
            for (unsigned int c = ' '; c <= '~'; ++c)
            {
                this->characters[c] = fintu::CharacterDefinition(0, 0, c == ' ' ? 0.0f : 6.0f, 16, 0, 0, 8);
                if (atlas != nullptr)
                    atlas->characters.push_back(c);
            }
        }
    };

    // The text renderer with a block font as its default, for as long as the object lives.
    struct TextRenderer
    {
        TextRenderer()
        {
            fintu::init();
            fintu::renderer->registerFont(new BlockFont("block"));
        }
        ~TextRenderer() { fintu::destroy(); }

        // Whether a label drew exactly this text with these arguments (the renderer caches every draw).
        static bool drew(const hstring& text, kavtypes::Rectangle rect, int horz, int vert,
                         kavtypes::Vector2 textOffset = kavtypes::Vector2(),
                         tesra::Color color = tesra::Color())
        {
            fintu::CacheEntryText key;
            key.text = text;
            key.fontName = "";
            key.rect = rect;
            key.horzFormatting = horz;
            key.vertFormatting = vert;
            key.color = tesra::Color(color, 255);
            key.offset = -textOffset;
            return fintu::renderer->getTextCache().get(key);
        }
    };

    // Writes "name:code" into a journal when it runs (the key code, or the button code when that is set).
    class JournalEvent : public tesraui::Event
    {
    public:
        JournalEvent(const hstring& name, harray<hstring>* journal) : name(name), journal(journal) {}
        void execute(tesraui::EventArgs* args) override
        {
            int code = args->buttonCode != 0 ? args->buttonCode : (int)args->keyCode;
            this->journal->push_back(this->name + ":" + hstring(code));
        }

    private:
        hstring name;
        harray<hstring>* journal;
    };

    inline void listen(tesraui::Object* object, harray<hstring>* journal,
                       std::initializer_list<const char*> names)
    {
        for (const char* name : names)
            object->registerEvent(name, std::make_shared<JournalEvent>(name, journal));
    }
} // namespace uitest
