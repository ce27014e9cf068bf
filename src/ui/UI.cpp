#include "UI.h"

#include <memory>

#include <quortypes/Log.h>
#include <tesra/Cursor.h>
#include <tesra/RenderSystem.h>
#include <tesra/Window.h>
#include <tesra/tesra.h>
#include <tesraui/Container.h>
#include <tesraui/tesraui.h>

#include "Chapter.h"
#include "Config.h"
#include "EngineObjects.h"
#include "Profile.h"
#include "Session.h"
#include "Variables.h"
#include "lua/HookCalls.h"
#include "lua/LuaInterface.h"
#include "lua/ScriptErrorLog.h"
#include "objects/VumoViewportObject.h"
#include "ui/DebugUI.h"
#include "ScriptTexts.h"
#include "ui/UIWindowSize.h"
#include "ui/ZoomController.h"

namespace vumo
{
    namespace
    {
        UI* instance = nullptr;
    } // namespace

    const char* const UI::developerProfileNames[2] = {"torvin_devs", "vumotester"};

    UI::UI()
    {
        this->loading = true;
        this->debugUI = std::make_unique<DebugUI>(*this);
        this->zoomController = std::make_unique<ZoomController>(*this);
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
        this->uninstall();
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
        this->rootObject->setOutsideHolder("the UI");
        this->rootObject->setCenter(0.0f, 0.0f);
        LuaInterface::execute(HookTexts::setRootObject());
        this->callHook("ui.setup", HookTexts::setup());
        this->OnBeginLoading("ui");
        // "ui.setup" may have taken the name.
        VumoViewportObject* viewport = new VumoViewportObject(
            EngineObjects::freeName(chapter, "vumo"), kavtypes::Rectangle(0.0f, 0.0f, size.x, size.y));
        Session::setViewport(viewport);
        chapter->registerObjects(viewport);
        viewport->setOutsideHolder("the UI");
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

    bool UI::isDebugModeEnabled()
    {
        // Known by the profile's name, which is what decides: another profile may come at the same address.
        Profile* profile = Session::getProfile();
        const hstring name = (profile != nullptr ? profile->getName().lowered() : hstring());
        if (this->debugModeKnown && name == this->debugModeProfileName)
        {
            return this->debugMode;
        }
        this->debugModeKnown = true;
        this->debugModeProfileName = name;
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
        ScriptErrorLog::advance(timeDelta);
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

    namespace
    {
        int configuredIdiom()
        {
            const hstring target = Session::getConfigValue("target");
            if (target == "pc")
            {
                return GameUiInventory::IDIOM_PC;
            }
            return target == "tablet" ? GameUiInventory::IDIOM_TABLET : GameUiInventory::IDIOM_MOBILE;
        }
    } // namespace

    int UI::getUIIdiom()
    {
        if (this->idiomFrame != this->frameCounter)
        {
            this->idiom = this->computeIdiom();
            this->idiomFrame = this->frameCounter;
            this->idiomKnown = true;
        }
        return this->idiom;
    }

    int UI::getKnownUIIdiom()
    {
        return this->idiomKnown ? this->idiom : configuredIdiom();
    }

    int UI::computeIdiom()
    {
        if (LuaInterface::isHook("ui.getUIIdiomOverride"))
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
        return configuredIdiom();
    }

    void UI::callUpdateHook(float timeDelta)
    {
        LuaInterface::HookText text;
        text.functionName = "update";
        const auto make = [timeDelta](hstring& code, hstring&) { code = HookTexts::update(timeDelta); };
        text.setMake(make);
        try
        {
            if (LuaInterface::callFieldHook("ui", "update", timeDelta, text) !=
                LuaInterface::HookCall::RunText)
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
        if (!LuaInterface::isHook(path))
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
} // namespace vumo
