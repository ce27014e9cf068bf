#include "UI.h"

#include <algorithm>
#include <memory>

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
#include "Profile.h"
#include "Scene.h"
#include "Session.h"
#include "Variables.h"
#include "lua/Calls.h"
#include "lua/HookCalls.h"
#include "lua/LuaInterface.h"
#include "objects/ItemReceiver.h"
#include "objects/VumoViewportObject.h"
#include "ui/DebugUI.h"
#include "ScriptTexts.h"
#include "ui/ZoomController.h"

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

    hstring activeSceneName()
    {
        return (Session::getActiveScene() != nullptr ? Session::getActiveScene()->getFullName() : hstring());
    }

    bool isInside(tesraui::Object* object, tesraui::Object* ancestor)
    {
        return object != nullptr && ancestor != nullptr &&
               (object == ancestor || object->isDescendantOf(ancestor));
    }

    // The scripts write "0" and "false" for nothing held, as the action maps and the pane read them.
    bool isItemHeld(const hstring& item)
    {
        return item != "" && item != "0" && item.lowered() != "false";
    }
} // namespace

const char* const UI::developerProfileNames[2] = {"torvin_devs", "vumotester"};

UI::UI()
{
    this->loading = true;
    this->debugUI = std::make_unique<DebugUI>();
    this->zoomController = std::make_unique<ZoomController>();
    instance = this;
    setGameUiHost(this);
}

UI::~UI()
{
    // The boxes' objects go with the dataset below.
    if (this->shownBox != nullptr)
    {
        this->shownBox->boxObject = nullptr;
    }
    this->clearRecords();
    // Torn down in this order: the cursors and the debug UI before the viewport and the dataset.
    this->systemCursors.clear();
    this->debugUI.reset();
    Session::setViewport(nullptr);
    dataset.reset();
    this->rootObject = nullptr;
    this->cursorObject = nullptr;
    this->zoomController.reset();
    if (instance == this)
    {
        instance = nullptr;
    }
    if (findGameUiHost() == this)
    {
        setGameUiHost(nullptr);
    }
}

UI* UI::getInstance()
{
    return instance;
}

tesraui::Dataset* UI::getUIDataset()
{
    return instance != nullptr ? instance->dataset.get() : nullptr;
}

void UI::load()
{
    auto owned = std::make_unique<Chapter>("data/ui/ui.dts", "ui");
    Chapter* chapter = owned.get();
    dataset = std::move(owned);
    const kavtypes::Vector2 size = windowSize();
    tesraui::setViewport(kavtypes::Rectangle(0.0f, 0.0f, size.x, size.y));
    if (tesra::rendersys != nullptr)
    {
        tesra::rendersys->setOrthoProjection(size);
    }
    this->rootObject = new tesraui::Container("root", kavtypes::Rectangle(0.0f, 0.0f, size.x, size.y));
    chapter->registerObjects(this->rootObject);
    this->rootObject->setCenter(0.0f, 0.0f);
    LuaInterface::execute(HookTexts::setRootObject());
    this->callHook("ui.setup", HookTexts::setup());
    this->OnBeginLoading("ui");
    VumoViewportObject* viewport =
        new VumoViewportObject("vumo", kavtypes::Rectangle(0.0f, 0.0f, size.x, size.y));
    Session::setViewport(viewport);
    chapter->registerObjects(viewport);
    viewport->setPosition(0.0f, 0.0f);
    viewport->setCenter(0.0f, 0.0f);
    LuaInterface::execute(HookTexts::setViewport(viewport->getFullName()));
    this->rootObject->addChild(viewport);
}

void UI::init()
{
    this->frameCounter = 0;
    this->registerLuaFunctions();
    if (this->dataset == nullptr)
    {
        this->load();
    }
    Chapter* chapter = static_cast<Chapter*>(dataset.get());
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
    this->callHook("ui.init", HookTexts::init());
    this->debugUI->init(300.0f, 24.0f, 5.0f, 5);
    this->cursorObject = nullptr;
    this->createSystemCursors();
    tesraui::setHoverEffectEnabled(tesra::window != nullptr &&
                                   tesra::window->getInputMode() != tesra::InputMode::TOUCH &&
                                   this->getUIIdiom() == IDIOM_PC);
    const hstring startScene = Session::getConfigValue("scene");
    if (startScene != "")
    {
        Session::checkStartScene(startScene);
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
            this->systemCursors[entry].reset(cursor);
        }
    }
}

bool UI::isDebugModeEnabled()
{
    Profile* profile = Session::getProfile();
    if (this->debugModeKnown && profile == this->debugModeProfile)
    {
        return this->debugMode;
    }
    this->debugModeKnown = true;
    this->debugModeProfile = profile;
    const hstring name = (profile != nullptr ? profile->getName().lowered() : hstring());
    this->debugMode = (name == developerProfileNames[0] || name == developerProfileNames[1] ||
                       Session::getConfigValue("debug_mode") == "1");
    return this->debugMode;
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
    this->debugUI->draw();
}

void UI::update(float timeDelta)
{
    if (this->dataset == nullptr)
    {
        throw quortypes::exception("Error updating UI, dataset is NULL!", __FILE__, __LINE__);
    }
    if (this->dataset->isLoaded())
    {
        // Hit tests and object updates read files and sounds that may be damaged or missing: what they
        // throw is shown like a script error, and the frame goes on with its other steps.
        const auto reported = [this](auto step)
        {
            try
            {
                step();
            }
            catch (const quortypes::exception& e)
            {
                this->showErrorOverlay(e.getMessage());
            }
        };
        reported([&] { timeDelta = this->debugUI->update(timeDelta); });
        reported([&] { this->zoomController->update(timeDelta); });
        reported([&] { UIMessageBoxManager::update(timeDelta); });
        reported([] { tesraui::processEvents(); });
        reported([&] { tesraui::update(timeDelta); });
        reported([&] { tesraui::updateTextures(timeDelta); });
        if (!this->isErrorOverlayShown())
        {
            try
            {
                Session::update(timeDelta);
                this->callUpdateHook(timeDelta);
                if (Session::isSceneLocked() && this->selectedItem != "")
                {
                    this->selectItem("");
                }
            }
            catch (const quortypes::exception& e)
            {
                this->showErrorOverlay(e.getMessage());
            }
        }
    }
    this->updateCursor();
}

int UI::getUIIdiom()
{
    if (this->idiomFrame != this->frameCounter)
    {
        this->idiom = this->computeIdiom();
        this->idiomFrame = this->frameCounter;
    }
    return this->idiom;
}

int UI::computeIdiom()
{
    if (LuaInterface::state != nullptr && LuaInterface::isFunction("ui.getUIIdiomOverride"))
    {
        hstring problem;
        try
        {
            harray<hstring> results;
            LuaInterface::executeWithReturnValues(HookTexts::idiomOverride(), "ui", results);
            if (results.size() == 0)
            {
                problem = "ui.getUIIdiomOverride() must return 1 string value.";
            }
            else if (results[0] == "pc")
            {
                return IDIOM_PC;
            }
            else if (results[0] == "tablet")
            {
                return IDIOM_TABLET;
            }
            else if (results[0] == "mobile")
            {
                return IDIOM_MOBILE;
            }
            else
            {
                problem = "ui.getUIIdiomOverride() returned invalid value '" + results[0] +
                          "', valid values are 'pc', 'tablet' or 'mobile'.";
            }
        }
        catch (const quortypes::exception& e)
        {
            problem = e.getMessage();
        }
        // Removed, so that the message comes once and not every frame.
        this->execute(HookTexts::clearIdiomOverride());
        this->showErrorOverlay(problem);
    }
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

void UI::setCursorPosition(float x, float y)
{
    kavtypes::Vector2 cursor(x, y);
    if (this->rootObject != nullptr)
    {
        const kavtypes::Rectangle bounds = this->rootObject->getBoundingRect();
        const kavtypes::Vector2 size = this->rootObject->getSize();
        if (size.x != 0.0f && size.y != 0.0f)
        {
            cursor = kavtypes::Vector2(x * bounds.w / size.x + bounds.x, y * bounds.h / size.y + bounds.y);
        }
    }
    tesraui::setCursorPosition(cursor);
}

bool UI::updateCursorPosition()
{
    if (this->getUIIdiom() != IDIOM_PC && !this->pointerDown && !this->zoomController->isPanning())
    {
        return false;
    }
    tesraui::updateCursorPosition();
    if (!this->isErrorOverlayShown() && LuaInterface::isFunction("ui.updateCursorPosition"))
    {
        const kavtypes::Vector2 position = this->getCursorPosition();
        this->execute(HookTexts::updateCursorPosition(position.x, position.y));
    }
    return true;
}

void UI::destroyCursorObject()
{
    tesraui::Container* cursor = this->getCursorObject();
    this->cursorObject = nullptr;
    if (cursor == nullptr || this->dataset == nullptr)
    {
        return;
    }
    const tesraui::LifeToken::Watch life = this->cursorLife;
    const hstring name = cursor->getName();
    if (LuaInterface::isFunction("ui.destroyCursor"))
    {
        this->execute(HookTexts::destroyCursor(cursor->getFullName()));
    }
    // A hook that left it would keep the name from the next cursor.
    if (life.isAlive() && this->dataset->tryGetObject(name) == cursor)
    {
        this->dataset->destroyObject(cursor);
    }
}

void UI::applySystemCursor(const hstring& name)
{
    if (tesra::window == nullptr || name == "")
    {
        return;
    }
    if (name == "default")
    {
        tesra::window->setCursor(nullptr);
        return;
    }
    auto found = this->systemCursors.find(name);
    tesra::Cursor* cursor = (found != this->systemCursors.end() ? found->second.get() : nullptr);
    if (cursor == nullptr)
    {
        this->showErrorOverlay("Unable to set system cursor '" + name + "', cursor not found.");
        return;
    }
    tesra::window->setCursor(cursor);
}

void UI::updateCursor()
{
    hstring mode = this->debugUI->getDebugCursorMode();
    const bool debugCursor = (mode != "");
    this->updateCursorPosition();
    hstring systemName = this->systemCursorName;
    if (!debugCursor && tesra::window != nullptr && LuaInterface::isFunction("ui.getCursorMode"))
    {
        harray<hstring> results;
        if (this->executeWithReturnValues(HookTexts::cursorMode(), results))
        {
            mode = (results.size() > 0 && results[0] != "nil" ? results[0] : hstring());
            if (results.size() > 1)
            {
                systemName = (results[1] != "nil" ? results[1] : hstring());
            }
        }
    }
    const bool pc = (this->getUIIdiom() == IDIOM_PC);
    if (mode != this->cursorMode || (pc && systemName != this->systemCursorName))
    {
        this->destroyCursorObject();
        if (mode != "" && this->dataset != nullptr && this->rootObject != nullptr)
        {
            if (debugCursor || LuaInterface::isFunction("ui.createCursor"))
            {
                tesraui::Container* cursor = new tesraui::Container("vumo_cursor", kavtypes::Rectangle());
                this->dataset->registerObjects(cursor);
                cursor->setZOrder(100000);
                cursor->setClickThrough(true);
                this->rootObject->addChild(cursor);
                this->cursorObject = cursor;
                this->cursorLife = cursor->watchLife();
                if (debugCursor)
                {
                    this->debugUI->fillCursor(cursor, mode);
                }
                else
                {
                    this->execute(HookTexts::createCursor(mode, cursor->getFullName()));
                }
            }
            else
            {
                this->showErrorOverlay("Unable to create " + mode +
                                       " cursor UI, function ui.createCursor() doesn't exist.");
            }
        }
        this->cursorMode = mode;
    }
    if (pc && systemName != this->systemCursorName)
    {
        this->systemCursorName = systemName;
        this->applySystemCursor(systemName);
    }
    if (tesraui::Container* cursor = this->getCursorObject())
    {
        const kavtypes::Vector2 position = this->getCursorPosition();
        cursor->setPosition(position.x, position.y);
    }
    const bool visible = (this->systemCursorName != "");
    if (tesra::window != nullptr && tesra::window->isCursorVisible() != visible)
    {
        tesra::window->setCursorVisible(visible);
    }
}

bool UI::isCursorInScene()
{
    Scene* scene = Session::getActiveScene();
    if (scene == nullptr || scene->getRootObject() == nullptr || this->rootObject == nullptr)
    {
        return false;
    }
    tesraui::Object* root = static_cast<tesraui::Object*>(scene->getRootObject());
    return isInside(this->rootObject->getChildUnderCursor(), root);
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

bool UI::OnPointerPressed(float x, float y, int button)
{
    if (button == 1)
    {
        this->pointerDown = true;
    }
    const bool overlay = this->isErrorOverlayShown();
    if ((this->loading && !overlay) || this->rootObject == nullptr)
    {
        return false;
    }
    this->updateCursorPosition();
    if (!this->debugUI->onPointerPressed(x, y, button))
    {
        return false;
    }
    if (!overlay)
    {
        this->callHook(button == 1 ? "ui.OnPointerPressed" : "ui.OnAltPointerPressed",
                       HookTexts::pointerPressed(button));
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
    }
    if (this->rootObject == nullptr)
    {
        return false;
    }
    const bool pc = (this->getUIIdiom() == IDIOM_PC);
    if (!pc)
    {
        // A touch lands where no pointer hovered before it.
        Scene* scene = Session::getActiveScene();
        if (scene != nullptr && scene->getRootObject() != nullptr)
        {
            static_cast<tesraui::Object*>(scene->getRootObject())->clearChildUnderCursor();
        }
        this->rootObject->clearChildUnderCursor();
    }
    const bool result = this->rootObject->onMouseDown(button);
    if (pc)
    {
        this->zoomController->onPointerPressed(button);
    }
    return result;
}

bool UI::OnPointerReleased(float x, float y, int button)
{
    if (button == 1)
    {
        this->pointerDown = false;
    }
    const bool overlay = this->isErrorOverlayShown();
    if ((this->loading && !overlay) || this->rootObject == nullptr)
    {
        return false;
    }
    this->updateCursorPosition();
    if (!this->debugUI->onPointerReleased(x, y, button))
    {
        return false;
    }
    if (!overlay)
    {
        this->callHook(button == 1 ? "ui.OnPointerReleased" : "ui.OnAltPointerReleased",
                       HookTexts::pointerReleased(button));
        if (button == 2 && this->selectedItem != "")
        {
            this->selectItem("");
            return true;
        }
        if (button == 1 && isItemHeld(this->selectedItem) && this->rootObject != nullptr)
        {
            tesraui::Object* under = this->rootObject->getChildUnderCursor();
            tesraui::Object* viewport = Session::getViewport();
            if (under != nullptr && !isInside(under, viewport))
            {
                tesraui::Object* receiver = under;
                // Kinds derived from ItemReceiver, such as the inventory pane, take drops too.
                while (receiver != nullptr && dynamic_cast<ItemReceiver*>(receiver) == nullptr)
                {
                    receiver = receiver->getParent();
                }
                if (receiver == nullptr)
                {
                    this->selectItem("");
                    return true;
                }
            }
            else if (!this->zoomController->isPanning())
            {
                this->dropPending = true;
            }
        }
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
    }
    if (this->rootObject == nullptr)
    {
        return true;
    }
    this->rootObject->onMouseUp(button);
    if (overlay)
    {
        return true;
    }
    if (this->getUIIdiom() == IDIOM_PC)
    {
        this->zoomController->onPointerReleased(button);
    }
    if (this->dropPending)
    {
        // A click handler queued by the release may still take the item.
        tesraui::processEvents();
        if (this->dropPending && isItemHeld(this->selectedItem))
        {
            const hstring item = this->selectedItem;
            this->OnUseItemFail(item);
            this->selectItem("");
        }
        this->dropPending = false;
    }
    return true;
}

void UI::OnPointerMove(float x, float y)
{
    const bool overlay = this->isErrorOverlayShown();
    if (this->loading && !overlay)
    {
        return;
    }
    if (this->rootObject != nullptr && this->updateCursorPosition())
    {
        this->rootObject->onMouseMove();
        this->debugUI->onPointerMove();
        if (this->getUIIdiom() == IDIOM_PC)
        {
            this->zoomController->onPointerMove();
        }
    }
    if (!overlay && Session::getActiveScene() != nullptr)
    {
        Session::getActiveScene()->onPointerMove(x, y);
    }
}

void UI::OnPointerScroll(float x, float y)
{
    if ((this->loading && !this->isErrorOverlayShown()) || this->rootObject == nullptr)
    {
        return;
    }
    this->updateCursorPosition();
    this->rootObject->onMouseScroll(x, y);
    if (this->getUIIdiom() == IDIOM_PC)
    {
        this->zoomController->onPointerScroll(x, y);
    }
}

void UI::OnPointerCanceled(int button)
{
    if (button == 1)
    {
        this->pointerDown = false;
    }
    if (!this->isErrorOverlayShown())
    {
        this->callHook("ui.OnPointerCanceled", HookTexts::pointerCanceled(button));
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
    const bool overlay = this->isErrorOverlayShown();
    if ((this->loading && !overlay) || this->rootObject == nullptr || !this->debugUI->onKeyDown(keyCode))
    {
        return false;
    }
    this->rootObject->onKeyDown(keyCode);
    if (!overlay)
    {
        this->callHook("ui.OnKeyDown", HookTexts::keyDown(keyCode));
    }
    return true;
}

bool UI::OnKeyUp(int keyCode)
{
    const bool overlay = this->isErrorOverlayShown();
    if ((this->loading && !overlay) || this->rootObject == nullptr || !this->debugUI->onKeyUp(keyCode))
    {
        return false;
    }
    this->rootObject->onKeyUp(keyCode);
    if (!overlay)
    {
        this->callHook("ui.OnKeyUp", HookTexts::keyUp(keyCode));
    }
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
    if (this->loading)
    {
        return;
    }
    if (!this->isErrorOverlayShown() && LuaInterface::isFunction("ui.OnTouch"))
    {
        harray<hstring> results;
        this->executeWithReturnValues(HookTexts::touch(touches), results);
        if (results.size() > 0 && (results[0] == "0" || results[0] == "false"))
        {
            return;
        }
    }
    this->zoomController->onTouch(touches);
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
            this->idiomFrame = -1;
        }
        break;
    case 1:
        name = "touch";
        if (this->getUIIdiom() != IDIOM_TABLET)
        {
            Session::setConfigValue("target", "tablet");
            this->idiomFrame = -1;
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
    this->execute(HookTexts::inputModeChanged(name));
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
    if (this->callHook("ui.OnWindowSizeChanged", HookTexts::windowSizeChanged(width, height)))
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

void UI::saveProfile()
{
    Profile* profile = Session::getProfile();
    if (profile == nullptr)
    {
        return;
    }
    try
    {
        profile->saveToFile();
    }
    catch (const quortypes::exception& e)
    {
        const hstring message = "Unable to save the profile: " + e.getMessage();
        quortypes::Log::error(Session::logTag, message);
        this->showErrorOverlay(message);
    }
}

bool UI::OnWindowClose(bool canCancel)
{
    if (canCancel && this->callHook("ui.OnWindowClose", HookTexts::windowClose()))
    {
        // The script decides whether and when the game ends.
        return false;
    }
    this->saveProfile();
    return true;
}

void UI::OnFocusChanged(bool focused)
{
    // Audio that a script suspended stays suspended when the focus comes back.
    if (yim::manager != nullptr)
    {
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
    if (!focused)
    {
        // A key let go in another window never reaches us: the debug keys must not stay held until the
        // next frame notices, nor when the focus is back before it.
        this->debugUI->releaseKeys();
        const bool wasDown = this->pointerDown;
        if (wasDown)
        {
            this->OnPointerReleased(0.0f, 0.0f, 1);
        }
        if (wasDown || this->touchCount > 0)
        {
            this->OnTouch(harray<kavtypes::Vector2>());
        }
        this->saveProfile();
    }
    if (Session::getActiveScene() != nullptr)
    {
        this->callHook("ui.OnFocusChanged", HookTexts::focusChanged(focused));
    }
}

void UI::OnBeginLoading(const hstring& chapter)
{
    this->loading = true;
    if (!LuaInterface::isFunction("ui.OnBeginLoading") || !LuaInterface::isFunction("ui.OnFinishLoading"))
    {
        return;
    }
    this->execute(HookTexts::beginLoading(chapter), chapter == "ui");
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
        this->execute(HookTexts::finishLoading(chapter));
        if (this->dataset != nullptr)
        {
            this->dataset->update(0.0f);
        }
    }
    this->loading = false;
}

void UI::OnUpdateLoading(float progress)
{
    if (!this->callHook("ui.OnUpdateLoading", HookTexts::updateLoading(progress)))
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

hstring UI::getSelectedItem()
{
    return this->selectedItem;
}

void UI::selectItem(const hstring& name)
{
    if (name != this->selectedItem)
    {
        this->selectedItem = name;
    }
    this->dropPending = false;
}

void UI::OnUseItemFail(const hstring& item)
{
    this->callHook("ui.OnUseItemFail", HookTexts::useItemFail(item));
}

void UI::OnGamePaused()
{
    this->callHook("ui.OnGamePaused", HookTexts::gamePaused());
}

void UI::OnGameUnpaused()
{
    this->callHook("ui.OnGameUnpaused", HookTexts::gameUnpaused());
}

void UI::OnSceneResetting()
{
    this->callHook("ui.OnSceneResetting", HookTexts::sceneResetting());
    this->debugUI->onSceneChanging();
}

void UI::OnSceneReset()
{
    this->callHook("ui.OnSceneReset", HookTexts::sceneReset());
    this->debugUI->onSceneChanged();
}

void UI::OnSceneTransitionBegan(const hstring& target, const hstring& transition, float duration)
{
    this->callHook("ui.OnSceneTransitionBegan",
                   HookTexts::sceneTransitionBegan(target, transition, duration));
}

hstring UI::OnSceneChanging(const hstring& target)
{
    const hstring current = activeSceneName();
    this->previousScene = current;
    hstring result;
    if (LuaInterface::isFunction("ui.OnSceneChanging"))
    {
        harray<hstring> results;
        this->executeWithReturnValues(HookTexts::sceneChanging(target, current), results);
        // A hook that returns nothing keeps the target.
        result = (results.size() > 0 && results[0] != "nil" ? results[0] : hstring());
    }
    this->debugUI->onSceneChanging();
    return result;
}

void UI::OnSceneChanged()
{
    this->callHook("ui.OnSceneChanged", HookTexts::sceneChanged(activeSceneName(), this->previousScene));
    this->debugUI->onSceneChanged();
}

void UI::OnSceneTransitionEnded()
{
    this->callHook("ui.OnSceneTransitionEnded", HookTexts::sceneTransitionEnded());
}

void UI::OnSceneActivating()
{
    this->callHook("ui.OnSceneActivating", HookTexts::sceneActivating(activeSceneName()));
}

void UI::OnSceneActivated()
{
    this->callHook("ui.OnSceneActivated", HookTexts::sceneActivated(activeSceneName()));
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
    this->execute(HookTexts::achievementUnlocked(name));
}

void UI::callUpdateHook(float timeDelta)
{
    LuaInterface::HookText text;
    text.functionName = "update";
    text.make = [timeDelta](hstring& code, hstring&) { code = HookTexts::update(timeDelta); };
    try
    {
        if (LuaInterface::callFieldHook("ui", "update", timeDelta, text) != LuaInterface::HookCall::RunText)
        {
            return;
        }
    }
    catch (const quortypes::exception& e)
    {
        this->showErrorOverlay(e.getMessage());
        return;
    }
    this->execute(HookTexts::update(timeDelta));
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

// Inventory and dialogs.

void UI::OnItemAdded(const hstring& item)
{
    this->callHook("ui.OnItemAdded", HookTexts::itemAdded(item));
}

void UI::OnItemRemoved(const hstring& item)
{
    this->callHook("ui.OnItemRemoved", HookTexts::itemRemoved(item));
}

void UI::startDialog()
{
    this->callHook("ui.startDialog", HookTexts::startDialog());
}

void UI::endDialog()
{
    if (!this->callHook("ui.endDialog", HookTexts::endDialog()))
    {
        this->showErrorOverlay("ui.endDialog() not implemented!");
    }
}

void UI::displayDialogReplies(const harray<hstring>& replies)
{
    if (!this->callHook("ui.displayDialogReplies", HookTexts::displayDialogReplies(replies)))
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
    if (!this->executeWithReturnValues(HookTexts::displayDialog(speaker, text), results))
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
