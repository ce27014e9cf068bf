#include "ScriptTexts.h"

#include <clocale>
#include <cmath>
#include <cstdio>

#include <tesrauilua/Literal.h>

namespace vumo
{
    // The binding layer's helper itself: these texts need nothing else of the Lua host.
    namespace LuaInterface
    {
        using tesrauilua::literal;
    }

    namespace HookTexts
    {
        hstring fixed(float value)
        {
            // "%f" writes these as "nan" and "inf", which Lua reads as names of globals that hold nil (and
            // "-nan" as arithmetic on one): the hook would get nil, or fail, instead of the number.
            if (std::isnan(value))
            {
                return "(0/0)";
            }
            if (std::isinf(value))
            {
                return (value > 0.0f ? "(1/0)" : "(-1/0)");
            }
            char buffer[64];
            snprintf(buffer, sizeof(buffer), "%f", value);
            hstring text(buffer);
            // A locale set by a library would otherwise turn the point into a comma, which Lua reads as a
            // second argument.
            const char* point = localeconv()->decimal_point;
            if (point != nullptr && hstring(point) != "." && hstring(point) != "")
            {
                text = text.replaced(point, ".");
            }
            return text;
        }

        hstring quoted(const hstring& text)
        {
            return LuaInterface::literal(text, '\'');
        }

        hstring setup()
        {
            return "ui.setup()";
        }

        hstring init()
        {
            return "ui.init()";
        }

        hstring update(float timeDelta)
        {
            return "if ui.update ~= nil then ui.update(" + fixed(timeDelta) + ") end";
        }

        hstring pointerPressed(int button)
        {
            return (button == 1 ? hstring("return ui.OnPointerPressed()")
                                : "return ui.OnAltPointerPressed(" + hstring(button) + ")");
        }

        hstring pointerReleased(int button)
        {
            return (button == 1 ? hstring("ui.OnPointerReleased()")
                                : "ui.OnAltPointerReleased(" + hstring(button) + ")");
        }

        hstring pointerCanceled(int button)
        {
            return "ui.OnPointerCanceled(" + hstring(button) + ")";
        }

        hstring keyDown(int keyCode)
        {
            return "ui.OnKeyDown(" + hstring(keyCode) + ")";
        }

        hstring keyUp(int keyCode)
        {
            return "ui.OnKeyUp(" + hstring(keyCode) + ")";
        }

        hstring touch(const harray<kavtypes::Vector2>& touches)
        {
            hstring points;
            for (const kavtypes::Vector2& point : touches)
            {
                if (points != "")
                {
                    points += ",";
                }
                points += "{x=" + fixed(point.x) + ",y=" + fixed(point.y) + "}";
            }
            return "return ui.OnTouch({" + points + "})";
        }

        hstring inputModeChanged(const hstring& mode)
        {
            return "ui.OnInputModeChanged(" + LuaInterface::literal(mode, '"') + ")";
        }

        hstring windowSizeChanged(float width, float height)
        {
            return "ui.OnWindowSizeChanged(" + fixed(width) + "," + fixed(height) + ")";
        }

        hstring windowClose()
        {
            return "ui.OnWindowClose()";
        }

        hstring focusChanged(bool focused)
        {
            return hstring("ui.OnFocusChanged(") + (focused ? "true)" : "false)");
        }

        hstring beginLoading(const hstring& chapter)
        {
            return "ui.OnBeginLoading(" + quoted(chapter) + ")";
        }

        hstring finishLoading(const hstring& chapter)
        {
            return "ui.OnFinishLoading(" + quoted(chapter) + ")";
        }

        hstring updateLoading(float progress)
        {
            return "ui.OnUpdateLoading(" + fixed(progress) + ")";
        }

        hstring achievementUnlocked(const hstring& name)
        {
            return "ui.OnAchievementUnlocked(" + quoted(name) + ")";
        }

        hstring useItemFail(const hstring& item)
        {
            return "ui.OnUseItemFail(" + quoted(item) + ")";
        }

        hstring sceneResetting()
        {
            return "ui.OnSceneResetting()";
        }

        hstring sceneReset()
        {
            return "ui.OnSceneReset()";
        }

        hstring sceneTransitionBegan(const hstring& target, const hstring& transition, float duration)
        {
            return "ui.OnSceneTransitionBegan(" + quoted(target) + "," + quoted(transition) + ", " +
                   fixed(duration) + ")";
        }

        hstring sceneChanging(const hstring& target, const hstring& current)
        {
            return "return ui.OnSceneChanging(" + quoted(target) + "," + quoted(current) + ")";
        }

        hstring sceneChanged(const hstring& current, const hstring& previous)
        {
            return "ui.OnSceneChanged(" + quoted(current) + "," + quoted(previous) + ")";
        }

        hstring sceneTransitionEnded()
        {
            return "ui.OnSceneTransitionEnded()";
        }

        hstring sceneActivating(const hstring& scene)
        {
            return "ui.OnSceneActivating(" + quoted(scene) + ")";
        }

        hstring sceneActivated(const hstring& scene)
        {
            return "ui.OnSceneActivated(" + quoted(scene) + ")";
        }

        hstring gamePaused()
        {
            return "ui.OnGamePaused()";
        }

        hstring gameUnpaused()
        {
            return "ui.OnGameUnpaused()";
        }

        hstring localizationChanged(const hstring& previous)
        {
            return "ui.OnLocalizationChanged(" + quoted(previous) + ")";
        }

        hstring canSaveGame()
        {
            return "return ui.canSaveGame()";
        }

        hstring idiomOverride()
        {
            return "return getUIIdiomOverride()";
        }

        hstring clearIdiomOverride()
        {
            return "ui.getUIIdiomOverride = nil";
        }

        hstring cursorMode()
        {
            return "return ui.getCursorMode()";
        }

        hstring createCursor(const hstring& mode, const hstring& cursorFullName)
        {
            return "ui.createCursor(" + quoted(mode) + ", object.getObject(" + quoted(cursorFullName) + "))";
        }

        hstring destroyCursor(const hstring& cursorFullName)
        {
            return "ui.destroyCursor(object.getObject(" + quoted(cursorFullName) + "))";
        }

        hstring updateCursorPosition(float x, float y)
        {
            return "ui.updateCursorPosition(" + fixed(x) + "," + fixed(y) + ")";
        }

        hstring setRootObject()
        {
            return "ui.root_object = object.getObject('ui.root')";
        }

        hstring setViewport(const hstring& viewportFullName)
        {
            return "vumo.viewport = object.getObject(" + quoted(viewportFullName) + ")";
        }
    } // namespace HookTexts

    namespace HookTexts
    {
        hstring itemAdded(const hstring& item)
        {
            return "ui.OnItemAdded(" + quoted(item) + ")";
        }

        hstring itemRemoved(const hstring& item)
        {
            return "ui.OnItemRemoved(" + quoted(item) + ")";
        }

        hstring startDialog()
        {
            return "ui.startDialog()";
        }

        hstring endDialog()
        {
            return "ui.endDialog()";
        }

        hstring displayDialogReplies(const harray<hstring>& replies)
        {
            hstring list;
            for (const hstring& reply : replies)
            {
                list += (list.size() > 0 ? "," : "") + quoted(reply);
            }
            return "ui.displayDialogReplies{" + list + "}";
        }

        hstring displayDialog(const hstring& speaker, const hstring& text)
        {
            return "return ui.displayDialog(" + quoted(speaker) + "," + quoted(text) + ")";
        }

        hstring debugPrint(const hstring& message)
        {
            return "ui.debugPrint(" + quoted(message) + ")";
        }

        hstring endProgram()
        {
            return "vumo.endProgram()";
        }
    } // namespace HookTexts

    namespace SceneTexts
    {
        hstring activate()
        {
            return "if type(OnActivate) == 'function' then OnActivate() end";
        }

        hstring deactivate()
        {
            return "if type(OnDeactivate) == 'function' then OnDeactivate() end";
        }

        hstring update(float timeDelta)
        {
            return formatString("if type(OnUpdate) == 'function' then OnUpdate(%f) end", timeDelta);
        }

        hstring pointerPressed()
        {
            return "if type(OnPointerPressed) == 'function' then OnPointerPressed() end";
        }

        hstring pointerReleased()
        {
            return "if type(OnPointerReleased) == 'function' then OnPointerReleased() end";
        }

        hstring altPointerPressed(int button)
        {
            return formatString("if type(OnAltPointerPressed) == 'function' then OnAltPointerPressed(%d) end",
                                button);
        }

        hstring altPointerReleased(int button)
        {
            return formatString(
                "if type(OnAltPointerReleased) == 'function' then OnAltPointerReleased(%d) end", button);
        }

        hstring pointerCanceled(int button)
        {
            return formatString("if type(OnPointerCanceled) == 'function' then OnPointerCanceled(%d) "
                                "elseif type(OnPointerReleased) == 'function' then OnPointerReleased() end",
                                button);
        }

        hstring createEnvironment(const hstring& fullName, const hstring& rootObjectFullName)
        {
            return fullName + " = {}; setmetatable(" + fullName + ", {__index = _G}); " + fullName +
                   ".root_object = object.getObject(" + LuaInterface::literal(rootObjectFullName, '\'') + ")";
        }

        hstring setChapterScene(const hstring& chapter, const hstring& fullName)
        {
            return chapter + ".scene = " + fullName;
        }

        hstring setActiveChapter(const hstring& chapter)
        {
            return "_G.chapter = " + chapter;
        }

        hstring clearEnvironment(const hstring& fullName)
        {
            return fullName + " = nil; chapter.scene = nil";
        }

        hstring createChapterTable(const hstring& chapter)
        {
            return chapter + " = {}; setmetatable(" + chapter + ",{ __index = _G });";
        }

        hstring callChapterFunction(const hstring& identifier)
        {
            return "chapter." + identifier + "()";
        }
    } // namespace SceneTexts

    namespace DialogTexts
    {
        hstring createTable()
        {
            return "_dlg={_sequence={}}; setmetatable(_dlg, {__index = _G})";
        }

        hstring dropTable()
        {
            return "if _dlg ~= nil then _dlg = nil end";
        }
    } // namespace DialogTexts

    namespace InventoryTexts
    {
        hstring callGlobal(const hstring& name)
        {
            return "local f = _G[" + LuaInterface::literal(name) + "] if type(f) == 'function' then f() end";
        }

        hstring callIfDefined(const hstring& identifier)
        {
            return "if " + identifier + " ~= nil then " + identifier + "() end";
        }

        hstring call(const hstring& identifier)
        {
            return identifier + "()";
        }
    } // namespace InventoryTexts

    namespace ObjectTexts
    {
        hstring actionWithItem(const hstring& table, const hstring& item)
        {
            const hstring quoted = LuaInterface::literal(item, '\'');
            return "if " + table + " ~= nil and " + table + "['allow_items'] == 1 then\n" + "ret=" + table +
                   "[1]()\n            if ret ~= true then             ui.selectItem('')             "
                   "else             ui.selectItem(" +
                   quoted +
                   ")             end\n            else             ui.selectItem('')             if "
                   "ui.OnUseItemFail ~= nil then ui.OnUseItemFail(" +
                   quoted + ") end             end";
        }

        hstring action(const hstring& table)
        {
            return "if " + table + " ~= nil then " + table + "[1]() end";
        }

        hstring queuedSceneReset(const hstring& sceneFullName)
        {
            return "scene._queued_reset(" + LuaInterface::literal(sceneFullName, '\'') + ")";
        }

        hstring queuedSceneSwitch(const hstring& name, const hstring& time, const hstring& effect,
                                  const hstring& origin)
        {
            const hstring place = (origin != "" ? ", " + LuaInterface::literal(origin, '\'') : hstring());
            return "scene._queued_switchScene(" + LuaInterface::literal(name, '\'') + ", " + time + ", " +
                   LuaInterface::literal(effect, '\'') + place + ")";
        }

        hstring deferredSoundPlay(const hstring& name, float fadeTime)
        {
            return "sound.play(" + LuaInterface::literal(name).replaced("%", "\\37") + ", " +
                   formatString("%f", std::isfinite(fadeTime) ? fadeTime : 0.0f) + ", true)";
        }

        hstring setVersion(const hstring& version)
        {
            return "vumo.version = " + LuaInterface::literal(version, '\'');
        }

        hstring fillCallerName(const hstring& code, const hstring& callerName)
        {
            return code.replaced("%s", LuaInterface::literal(callerName));
        }

        hstring customAnimatorCall(const hstring& functionPath, const hstring& animatorFullName, float time)
        {
            return "return " + functionPath + "(" + LuaInterface::literal(animatorFullName) + ", " +
                   HookTexts::fixed(time) + ")";
        }

        hstring callForResults(const hstring& function, bool identifier)
        {
            return identifier ? "return " + function + "()"
                              : "return _G[" + LuaInterface::literal(function) + "]()";
        }
    } // namespace ObjectTexts
} // namespace vumo
