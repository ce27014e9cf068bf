#include "UI.h"

#include <algorithm>

#include <quortypes/Log.h>
#include <quortypes/ResourceDir.h>
#include <tesra/Cursor.h>
#include <tesra/RenderSystem.h>
#include <tesra/Window.h>
#include <tesra/tesra.h>
#include <tesraui/Container.h>
#include <tesraui/ImageBox.h>
#include <tesraui/tesraui.h>
#include <yim/AudioManager.h>
#include <yim/yim.h>

#include "Chapter.h"
#include "Config.h"
#include "Scene.h"
#include "Session.h"
#include "Variables.h"
#include "lua/Calls.h"
#include "lua/LuaInterface.h"
#include "objects/VumoViewportObject.h"

namespace
{
    UI* instance = nullptr;
    const char* const cursorsFolder = "data/ui/cursors";

    kavtypes::Vector2 windowSize()
    {
        if (tesra::window == nullptr)
        {
            return kavtypes::Vector2();
        }
        return kavtypes::Vector2((float)tesra::window->getWidth(), (float)tesra::window->getHeight());
    }
} // namespace

UI::UI()
{
    instance = this;
}

UI::~UI()
{
    for (auto& pair : this->systemCursors)
    {
        delete pair.second;
    }
    this->systemCursors.clear();
    Session::setViewport(nullptr);
    delete this->dataset;
    this->dataset = nullptr;
    if (instance == this)
    {
        instance = nullptr;
    }
}

UI* UI::getInstance()
{
    return instance;
}

tesraui::Dataset* UI::getUIDataset()
{
    return instance != nullptr ? instance->dataset : nullptr;
}

void UI::load()
{
    Chapter* chapter = new Chapter("data/ui/ui.dts", "ui");
    this->dataset = chapter;
    const kavtypes::Vector2 size = windowSize();
    tesraui::setViewport(kavtypes::Rectangle(0.0f, 0.0f, size.x, size.y));
    if (tesra::rendersys != nullptr)
    {
        tesra::rendersys->setOrthoProjection(size);
    }
    this->rootObject = new tesraui::Container("root", kavtypes::Rectangle(0.0f, 0.0f, size.x, size.y));
    chapter->registerObjects(this->rootObject);
    this->rootObject->setCenter(0.0f, 0.0f);
    LuaInterface::execute("ui.root_object = object.getObject('ui.root')");
    this->callHook("ui.setup", "ui.setup()");
    this->OnBeginLoading("ui");
    VumoViewportObject* viewport =
        new VumoViewportObject("vumo", kavtypes::Rectangle(0.0f, 0.0f, size.x, size.y));
    Session::setViewport(viewport);
    chapter->registerObjects(viewport);
    viewport->setPosition(0.0f, 0.0f);
    viewport->setCenter(0.0f, 0.0f);
    LuaInterface::execute("vumo.viewport = object.getObject(" +
                          LuaInterface::literal(viewport->getFullName()) + ")");
    this->rootObject->addChild(viewport);
}

void UI::init()
{
    this->frameCounter = 0;
    if (this->dataset == nullptr)
    {
        this->load();
    }
    Chapter* chapter = static_cast<Chapter*>(this->dataset);
    chapter->load();
    chapter->setPersistent(true);
    chapter->setRoot(this->rootObject);
    // The objects the file defines at its top level hang below the root object.
    for (const auto& pair : hdict<tesraui::Object*>(chapter->getObjects()))
    {
        tesraui::Object* object = pair.second;
        if (object->getParent() == nullptr && object != this->rootObject)
        {
            this->rootObject->addChild(object);
        }
    }
    VariableDictionary::getGlobal().captureDefaults();
    VariableDictionary::getGlobal().setLocked(true);
    this->callHook("ui.init", "ui.init()");
    this->createSystemCursors();
    tesraui::setHoverEffectEnabled(tesra::window != nullptr &&
                                   tesra::window->getInputMode() != tesra::InputMode::TOUCH &&
                                   this->getUIIdiom() == IDIOM_PC);
    const hstring startScene = Session::getConfigValue("scene");
    if (startScene != "")
    {
        Session::changeScene(startScene, 0.0f, "");
    }
    this->OnFinishLoading("ui");
    this->initialised = true;
    if (this->deferredCalls.removeAll("size") > 0)
    {
        const kavtypes::Vector2 size = windowSize();
        this->OnWindowSizeChanged(size.x, size.y);
    }
}

void UI::createSystemCursors()
{
    if (!quortypes::ResourceDir::exists(cursorsFolder))
    {
        quortypes::Log::warn(Session::logTag,
                             hstring(cursorsFolder) + " not found, skipping system cursor creation");
        return;
    }
    quortypes::Log::write(Session::logTag, "creating system cursors");
    for (const hstring& entry : quortypes::ResourceDir::contents(cursorsFolder))
    {
        tesra::Cursor* cursor =
            (tesra::window != nullptr ? tesra::window->createCursor(hstring(cursorsFolder) + "/" + entry)
                                      : nullptr);
        if (cursor != nullptr)
        {
            quortypes::Log::write(Session::logTag, "  - " + entry);
            delete this->systemCursors.tryGet(entry, nullptr);
            this->systemCursors[entry] = cursor;
        }
    }
}

bool UI::isDebugModeEnabled()
{
    return Session::getConfigValue("debug_mode") == "1";
}

bool UI::isDeveloperModeEnabled()
{
    return Session::getConfigValue("developer_mode") == "1";
}

void UI::draw()
{
    ++this->frameCounter;
    if (tesra::rendersys != nullptr)
    {
        tesra::rendersys->clear();
    }
    if (this->rootObject != nullptr)
    {
        this->rootObject->draw();
    }
}

void UI::update(float timeDelta)
{
    if (this->dataset == nullptr)
    {
        throw quortypes::exception("Error updating UI, dataset is NULL!", __FILE__, __LINE__);
    }
    if (!this->dataset->isLoaded())
    {
        return;
    }
    tesraui::processEvents();
    tesraui::update(timeDelta);
    tesraui::updateTextures(timeDelta);
    try
    {
        Session::update(timeDelta);
        this->execute(formatString("if ui.update ~= nil then ui.update(%f) end", timeDelta));
    }
    catch (const quortypes::exception& e)
    {
        this->showErrorOverlay(e.getMessage());
    }
}

int UI::getUIIdiom()
{
    const hstring target = Session::getConfigValue("target");
    if (target == "pc")
    {
        return IDIOM_PC;
    }
    return target == "tablet" ? IDIOM_TABLET : IDIOM_MOBILE;
}

kavtypes::Vector2 UI::getCursorPosition() const
{
    kavtypes::Vector2 cursor = tesraui::getCursorPosition();
    if (this->rootObject == nullptr)
    {
        return cursor;
    }
    const kavtypes::Rectangle bounds = this->rootObject->getBoundingRect();
    if (bounds.w == 0.0f || bounds.h == 0.0f)
    {
        return cursor;
    }
    const kavtypes::Vector2 size = this->rootObject->getSize();
    return kavtypes::Vector2((cursor.x - bounds.x) * size.x / bounds.w,
                             (cursor.y - bounds.y) * size.y / bounds.h);
}

bool UI::OnPointerPressed(float, float, int button)
{
    if (button == 1)
    {
        this->pointerDown = true;
    }
    if (this->loading || this->rootObject == nullptr)
    {
        return false;
    }
    tesraui::updateCursorPosition();
    Scene* scene = Session::getActiveScene();
    if (scene != nullptr && button >= 0 && button < 16 && this->isCursorInScene())
    {
        this->pressedInScene[button] = true;
        if (button != 1)
        {
            scene->onAltPointerPressed(button);
            return false;
        }
        scene->onPointerPressed();
    }
    return this->rootObject->onMouseDown(button);
}

bool UI::isCursorInScene()
{
    Scene* scene = Session::getActiveScene();
    if (scene == nullptr || scene->getRootObject() == nullptr || this->rootObject == nullptr)
    {
        return false;
    }
    tesraui::Object* root = static_cast<tesraui::Object*>(scene->getRootObject());
    tesraui::Object* under = this->rootObject->getChildUnderCursor();
    return under != nullptr && (under == root || under->isDescendantOf(root));
}

bool UI::takeScenePress(int button)
{
    if (Session::getActiveScene() == nullptr || button < 0 || button >= 16 || !this->pressedInScene[button])
    {
        return false;
    }
    this->pressedInScene[button] = false;
    return true;
}

bool UI::OnPointerReleased(float, float, int button)
{
    if (button == 1)
    {
        this->pointerDown = false;
    }
    if (this->loading || this->rootObject == nullptr)
    {
        return false;
    }
    tesraui::updateCursorPosition();
    if (this->takeScenePress(button))
    {
        Scene* scene = Session::getActiveScene();
        if (!this->isCursorInScene())
        {
            scene->onPointerCanceled(button);
        }
        else if (button == 1)
        {
            scene->onPointerReleased();
        }
        else
        {
            scene->onAltPointerReleased(button);
        }
    }
    this->rootObject->onMouseUp(button);
    return true;
}

void UI::OnPointerMove(float x, float y)
{
    if (this->loading)
    {
        return;
    }
    if (this->rootObject != nullptr)
    {
        tesraui::updateCursorPosition();
        this->rootObject->onMouseMove();
    }
    if (Session::getActiveScene() != nullptr)
    {
        Session::getActiveScene()->onPointerMove(x, y);
    }
}

void UI::OnPointerScroll(float x, float y)
{
    if (this->loading || this->rootObject == nullptr)
    {
        return;
    }
    tesraui::updateCursorPosition();
    this->rootObject->onMouseScroll(x, y);
}

void UI::OnPointerCanceled(int button)
{
    if (button == 1)
    {
        this->pointerDown = false;
    }
    if (this->takeScenePress(button))
    {
        Session::getActiveScene()->onPointerCanceled(button);
    }
    if (this->rootObject != nullptr)
    {
        this->rootObject->onMouseCancel(button);
    }
}

bool UI::OnKeyDown(int keyCode)
{
    if (this->loading || this->rootObject == nullptr)
    {
        return false;
    }
    this->rootObject->onKeyDown(keyCode);
    return true;
}

bool UI::OnKeyUp(int keyCode)
{
    if (this->loading || this->rootObject == nullptr)
    {
        return false;
    }
    this->rootObject->onKeyUp(keyCode);
    return true;
}

void UI::OnChar(unsigned int charCode)
{
    if (!this->loading && this->rootObject != nullptr)
    {
        this->rootObject->onChar(charCode);
    }
}

void UI::OnTouch(const harray<kavtypes::Vector2>& touches)
{
    this->touchCount = touches.size();
    if (this->pointerDown && this->touchCount != 1)
    {
        this->pointerDown = false;
    }
}

bool UI::OnInputModeChanged(int mode)
{
    hstring name;
    switch (mode)
    {
    case 0:
        name = "mouse";
        if (this->getUIIdiom() != IDIOM_PC)
        {
            Session::setConfigValue("target", "pc");
        }
        break;
    case 1:
        name = "touch";
        if (this->getUIIdiom() != IDIOM_TABLET)
        {
            Session::setConfigValue("target", "tablet");
        }
        break;
    case 2:
        name = "controller";
        break;
    default:
        quortypes::Log::error("ui", "Trying to set non-supported input mode!");
        return true;
    }
    if (!LuaInterface::isFunction("ui.OnInputModeChanged"))
    {
        quortypes::Log::write("ui", "Input mode changed to '" + name +
                                        "'. Warning: Lua handler function not defined!");
        return false;
    }
    quortypes::Log::write("ui", "Input mode changed to '" + name + "', calling Lua handler function");
    this->execute("ui.OnInputModeChanged(" + LuaInterface::literal(name) + ")");
    return true;
}

void UI::OnLowMemoryWarning()
{
    quortypes::Log::write(Session::logTag, "Low memory warning received");
    Session::cleanMemory();
}

void UI::OnWindowSizeChanged(float width, float height)
{
    if (!this->initialised)
    {
        if (this->rootObject != nullptr)
        {
            if (std::find(this->deferredCalls.begin(), this->deferredCalls.end(), "size") ==
                this->deferredCalls.end())
            {
                this->deferredCalls.push_back("size");
            }
            this->rootObject->setSize(width, height);
        }
        return;
    }
    if (this->callHook("ui.OnWindowSizeChanged",
                       formatString("ui.OnWindowSizeChanged(%f,%f)", width, height)))
    {
        return;
    }
    if (!this->windowSizeHookReported)
    {
        quortypes::Log::write(Session::logTag, "Ignoring ui.onWindowSizeChanged call, function not defined");
        this->windowSizeHookReported = true;
    }
    if (this->rootObject != nullptr && this->rootObject->getWidth() > 0.0f &&
        this->rootObject->getHeight() > 0.0f)
    {
        const kavtypes::Vector2 size = windowSize();
        this->rootObject->setScale(size.x / this->rootObject->getWidth(),
                                   size.y / this->rootObject->getHeight());
    }
}

bool UI::OnWindowClose(bool)
{
    return true;
}

void UI::OnFocusChanged(bool focused)
{
    if (yim::manager == nullptr)
    {
        return;
    }
    // Audio that a script suspended stays suspended when the focus comes back.
    if (focused)
    {
        if (this->audioSuspendedByFocus)
        {
            yim::manager->resumeAudio();
        }
        this->audioSuspendedByFocus = false;
    }
    else if (!yim::manager->isSuspended())
    {
        yim::manager->suspendAudio();
        this->audioSuspendedByFocus = true;
    }
}

void UI::OnBeginLoading(const hstring& chapter)
{
    this->loading = true;
    if (!LuaInterface::isFunction("ui.OnBeginLoading") || !LuaInterface::isFunction("ui.OnFinishLoading"))
    {
        return;
    }
    this->execute("ui.OnBeginLoading(" + LuaInterface::literal(chapter, '\'') + ")", chapter == "ui");
    if (this->dataset != nullptr)
    {
        this->dataset->update(0.0f);
    }
    this->draw();
    if (tesra::rendersys != nullptr)
    {
        tesra::rendersys->presentFrame();
    }
}

void UI::OnFinishLoading(const hstring& chapter)
{
    if (LuaInterface::isFunction("ui.OnBeginLoading") && LuaInterface::isFunction("ui.OnFinishLoading"))
    {
        this->execute("ui.OnFinishLoading(" + LuaInterface::literal(chapter, '\'') + ")");
        if (this->dataset != nullptr)
        {
            this->dataset->update(0.0f);
        }
    }
    this->loading = false;
}

void UI::OnUpdateLoading(float progress)
{
    if (!this->callHook("ui.OnUpdateLoading", formatString("ui.OnUpdateLoading(%f)", progress)))
    {
        return;
    }
    if (this->dataset != nullptr)
    {
        this->dataset->update(0.0f);
    }
    this->draw();
    if (tesra::rendersys != nullptr)
    {
        tesra::rendersys->presentFrame();
    }
}

void UI::OnGamePaused()
{
    this->callHook("ui.OnGamePaused", "ui.OnGamePaused()");
}

void UI::OnGameUnpaused()
{
    this->callHook("ui.OnGameUnpaused", "ui.OnGameUnpaused()");
}

void UI::OnSceneResetting()
{
    this->callHook("ui.OnSceneResetting", "ui.OnSceneResetting()");
}

void UI::OnSceneReset()
{
    this->callHook("ui.OnSceneReset", "ui.OnSceneReset()");
}

void UI::OnSceneTransitionBegan(const hstring& target, const hstring& transition, float duration)
{
    this->callHook("ui.OnSceneTransitionBegan",
                   "ui.OnSceneTransitionBegan(" + LuaInterface::literal(target, '\'') + "," +
                       LuaInterface::literal(transition, '\'') + formatString(", %f)", duration));
}

hstring UI::OnSceneChanging(const hstring& target)
{
    const hstring current =
        (Session::getActiveScene() != nullptr ? Session::getActiveScene()->getFullName() : hstring());
    this->previousScene = current;
    if (!LuaInterface::isFunction("ui.OnSceneChanging"))
    {
        return "";
    }
    harray<hstring> results;
    this->executeWithReturnValues("return ui.OnSceneChanging(" + LuaInterface::literal(target, '\'') + "," +
                                      LuaInterface::literal(current, '\'') + ")",
                                  results);
    // A hook that returns nothing keeps the target.
    return (results.size() > 0 && results[0] != "nil" ? results[0] : hstring());
}

void UI::OnSceneChanged()
{
    const hstring current =
        (Session::getActiveScene() != nullptr ? Session::getActiveScene()->getFullName() : hstring());
    this->callHook("ui.OnSceneChanged", "ui.OnSceneChanged(" + LuaInterface::literal(current, '\'') + "," +
                                            LuaInterface::literal(this->previousScene, '\'') + ")");
}

void UI::OnSceneTransitionEnded()
{
    this->callHook("ui.OnSceneTransitionEnded", "ui.OnSceneTransitionEnded()");
}

void UI::OnSceneActivating()
{
    const hstring current =
        (Session::getActiveScene() != nullptr ? Session::getActiveScene()->getFullName() : hstring());
    this->callHook("ui.OnSceneActivating",
                   "ui.OnSceneActivating(" + LuaInterface::literal(current, '\'') + ")");
}

void UI::OnSceneActivated()
{
    const hstring current =
        (Session::getActiveScene() != nullptr ? Session::getActiveScene()->getFullName() : hstring());
    this->callHook("ui.OnSceneActivated",
                   "ui.OnSceneActivated(" + LuaInterface::literal(current, '\'') + ")");
}

bool UI::callHook(const hstring& path, const hstring& code, bool systemMessage)
{
    if (!LuaInterface::isFunction(path))
    {
        return false;
    }
    this->execute(code, systemMessage);
    return true;
}

void UI::execute(const hstring& code, bool systemMessage)
{
    try
    {
        LuaInterface::execute(code);
    }
    catch (const quortypes::exception& e)
    {
        if (!systemMessage)
        {
            this->showErrorOverlay(e.getMessage());
            return;
        }
        quortypes::Log::error(Session::logTag, e.getMessage());
        tesra::showMessageBox("Scripting Error!", e.getMessage(), tesra::MESSAGE_BUTTON_OK,
                              tesra::MESSAGE_STYLE_CRITICAL);
    }
}

bool UI::executeWithReturnValues(const hstring& code, harray<hstring>& results)
{
    try
    {
        LuaInterface::executeWithReturnValues(code, "", results);
        return true;
    }
    catch (const quortypes::exception& e)
    {
        results.clear();
        this->showErrorOverlay(e.getMessage());
        return false;
    }
}

void UI::showErrorOverlay(const hstring& message)
{
    // The scripting-error overlay takes this over once it exists.
    quortypes::Log::error(Session::logTag, message);
}

void UI::OnAchievementUnlocked(const hstring& name)
{
    if (!LuaInterface::isFunction("ui.OnAchievementUnlocked"))
    {
        quortypes::Log::write("ui",
                              "WARNING: Unlocked an achievement but unable to notify UI since lua function "
                              "ui.OnAchievementUnlocked() is not defined");
        return;
    }
    // A quoted literal, so that a quote in the name cannot end the text early.
    this->execute("ui.OnAchievementUnlocked(" + LuaInterface::literal(name) + ")");
}

void UI::selectItem(const hstring& item)
{
    if (item != this->selectedItem)
    {
        this->selectedItem = item;
    }
    this->dropPending = false;
}

void UI::OnUseItemFail(const hstring& item)
{
    this->callHook("ui.OnUseItemFail", "ui.OnUseItemFail(" + LuaInterface::literal(item, '\'') + ")");
}

void UI::OnItemAdded(const hstring& item)
{
    this->callHook("ui.OnItemAdded", "ui.OnItemAdded(" + LuaInterface::literal(item, '\'') + ")");
}

void UI::OnItemRemoved(const hstring& item)
{
    this->callHook("ui.OnItemRemoved", "ui.OnItemRemoved(" + LuaInterface::literal(item, '\'') + ")");
}

void UI::startDialog()
{
    this->callHook("ui.startDialog", "ui.startDialog()");
}

void UI::endDialog()
{
    if (!this->callHook("ui.endDialog", "ui.endDialog()"))
    {
        this->showErrorOverlay("ui.endDialog() not implemented!");
    }
}

void UI::displayDialogReplies(const harray<hstring>& replies)
{
    hstring list;
    for (const hstring& reply : replies)
    {
        list += (list.size() > 0 ? "," : "") + LuaInterface::literal(reply, '\'');
    }
    if (!this->callHook("ui.displayDialogReplies", "ui.displayDialogReplies{" + list + "}"))
    {
        this->showErrorOverlay("ui.displayDialogReplies() not implemented!");
    }
}

float UI::displayDialog(const hstring& speaker, const hstring& text)
{
    if (!LuaInterface::isFunction("ui.displayDialog"))
    {
        this->showErrorOverlay("ui.displayDialog() not implemented!");
        return 10000.0f;
    }
    harray<hstring> results;
    if (!this->executeWithReturnValues("return ui.displayDialog(" + LuaInterface::literal(speaker, '\'') +
                                           "," + LuaInterface::literal(text, '\'') + ")",
                                       results))
    {
        return 10000.0f;
    }
    if (results.size() != 1)
    {
        this->showErrorOverlay(
            formatString("ui.displayDialog() must return only 1 float value, got %d", results.size()));
        return 10000.0f;
    }
    float seconds = 0.0f;
    if (sscanf(results[0].c_str(), "%f", &seconds) != 1)
    {
        seconds = 0.0f;
    }
    return seconds;
}
