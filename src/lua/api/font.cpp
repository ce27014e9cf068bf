#include <cmath>
#include <memory>
#include <utility>

#include <lua.hpp>
#include <quortypes/Resource.h>
#include <fintu/Renderer.h>
#include <fintuttf/FontTtf.h>

#include "lua/Calls.h"
#include "lua/LuaInterface.h"
#include "lua/api/registrars.h"

namespace vumo
{
    namespace LuaInterface
    {
        namespace
        {
            // Library scripts run before the engine starts the text renderer.
            fintu::Renderer& textRenderer(lua_State* L, const hstring& functionName)
            {
                if (fintu::renderer == nullptr)
                {
                    raiseLuaError(L, functionName + ": the text renderer is not started yet");
                }
                return *fintu::renderer;
            }

            // The font part of a name that may carry a ":" and a scale must be registered; the scale
            // multiplies every size the answer is made of, so one no float holds answers infinity or NaN.
            hstring checkFontName(lua_State* L, fintu::Renderer& renderer, const hstring& name)
            {
                const int colon = name.find(':');
                if (!renderer.hasFont(colon < 0 ? name : name.subString(0, colon)))
                {
                    raiseLuaError(L, "Error, font '" + name + "' not found!");
                }
                if (colon >= 0 && !std::isfinite(name.subString(colon + 1).toFloat()))
                {
                    raiseLuaError(L, "Error, font '" + name + "': the scale '" + name.subString(colon + 1) +
                                         "' is not a number a float can hold");
                }
                return name;
            }

            int font_create(lua_State* L)
            {
                checkArgs(L, 4, 6, "font.create", "ssnnnn");
                fintu::Renderer& renderer = textRenderer(L, "font.create");
                const int count = lua_gettop(L);
                const hstring name = toString(L, 1);
                const hstring file = toString(L, 2);
                const hstring path = "data/ui/fonts/" + file;
                if (!quortypes::Resource::exists(path))
                {
                    raiseLuaError(L, "Unable to create font resource '" + file + "', file not found!");
                }
                // Before the file is read: the renderer would refuse the font only after it was made.
                if (renderer.hasFont(name))
                {
                    raiseLuaError(L, "Unable to create font '" + name + "', a font of that name exists.");
                }
                const float height = finiteArgument(L, 3, "font.create");
                const float scale = finiteArgument(L, 4, "font.create");
                const float lineHeight = (count > 4 ? finiteArgument(L, 5, "font.create") : height);
                std::unique_ptr<fintuttf::FontTtf> font(
                    count > 5 ? new fintuttf::FontTtf(path, name, height, scale, lineHeight,
                                                      finiteArgument(L, 6, "font.create"))
                              : new fintuttf::FontTtf(path, name, height, scale, lineHeight));
                // The font's library logged why (not a font file, a size it cannot take).
                if (!font->isLoaded())
                {
                    raiseLuaError(L, "Unable to create font '" + name + "' from '" + file +
                                         "', the file could not be read as a font of that height.");
                }
                renderer.registerFont(std::move(font));
                return 0;
            }

            int font_destroy(lua_State* L)
            {
                checkArgsExact(L, 1, "font.destroy", "s");
                fintu::Renderer& renderer = textRenderer(L, "font.destroy");
                const hstring name = toString(L, 1);
                if (renderer.hasFont(name))
                {
                    renderer.destroyFont(renderer.getFont(name));
                }
                return 0;
            }

            int font_exists(lua_State* L)
            {
                checkArgsExact(L, 1, "font.exists", "s");
                fintu::Renderer& renderer = textRenderer(L, "font.exists");
                return push(L, renderer.hasFont(toString(L, 1)));
            }

            int font_getTextWidth(lua_State* L)
            {
                checkArgsExact(L, 2, "font.getTextWidth", "ss");
                fintu::Renderer& renderer = textRenderer(L, "font.getTextWidth");
                const hstring name = checkFontName(L, renderer, toString(L, 1));
                return push(L, renderer.getTextWidth(name, toString(L, 2)));
            }

            int font_getTextHeight(lua_State* L)
            {
                checkArgsExact(L, 3, "font.getTextHeight", "ssn");
                fintu::Renderer& renderer = textRenderer(L, "font.getTextHeight");
                const hstring name = checkFontName(L, renderer, toString(L, 1));
                // An infinite width is a text that never wraps.
                const float width = numberArgument(L, 3, "font.getTextHeight");
                return push(L, renderer.getTextHeight(name, toString(L, 2), width));
            }

            int font_setBorderOffset(lua_State* L)
            {
                checkArgsExact(L, 1, "font.setBorderOffset", "n");
                fintu::Renderer& renderer = textRenderer(L, "font.setBorderOffset");
                renderer.setBorderOffset(finiteArgument(L, 1, "font.setBorderOffset"));
                return 0;
            }

            int font_setShadowOffset(lua_State* L)
            {
                checkArgsExact(L, 2, "font.setShadowOffset", "nn");
                fintu::Renderer& renderer = textRenderer(L, "font.setShadowOffset");
                renderer.setShadowOffset(kavtypes::Vector2(finiteArgument(L, 1, "font.setShadowOffset"),
                                                           finiteArgument(L, 2, "font.setShadowOffset")));
                return 0;
            }

            int font_setUseIdeographWords(lua_State* L)
            {
                checkArgsExact(L, 1, "font.setUseIdiographWords", nullptr);
                fintu::Renderer& renderer = textRenderer(L, "font.setUseIdiographWords");
                renderer.setUseIdeographWords(toBool(L, 1));
                return 0;
            }
        } // namespace

        void registerFont()
        {
            registerFunction(font_create, "font.create");
            registerFunction(font_destroy, "font.destroy");
            registerFunction(font_exists, "font.exists");
            registerFunction(font_getTextWidth, "font.getTextWidth");
            registerFunction(font_getTextHeight, "font.getTextHeight");
            registerFunction(font_setBorderOffset, "font.setBorderOffset");
            registerFunction(font_setShadowOffset, "font.setShadowOffset");
            registerFunction(font_setUseIdeographWords, "font.setUseIdeographWords");
        }
    } // namespace LuaInterface
} // namespace vumo
