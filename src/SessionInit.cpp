#include <chrono>
#include <cstdint>
#include <cmath>
#include <memory>

#include <fintu/Renderer.h>
#include <fintu/fintu.h>
#include <fintuttf/fintuttf.h>
#include <pirk/pirk.h>
#include <quortypes/Log.h>
#include <quortypes/util.h>
#include <tesra/RenderSystem.h>
#include <tesra/SystemInfo.h>
#include <tesra/Window.h>
#include <tesra/tesra.h>
#include <tesraparticle/tesraparticle.h>
#include <tesraui/tesraui.h>
#include <tesravideo/tesravideo.h>
#include <yim/AudioManager.h>
#include <yim/Category.h>
#include <yim/yim.h>
#include <tesrauiparticle/tesrauiparticle.h>

#include "Config.h"
#include "DebugNames.h"
#include "EngineObjects.h"
#include "EventDelegate.h"
#include "Dialogs.h"
#include "Chapter.h"
#include "Scene.h"
#include "Session.h"
#include "SessionState.h"
#include "Variables.h"
#include "lua/Host.h"
#include "lua/LuaInterface.h"
#include "lua/ScriptErrorLog.h"
#include "lua/SignalStop.h"
#include "objects/DelayedCall.h"
#include "objects/DraggableContainer.h"
#include "objects/InventoryPane.h"
#include "objects/LineObject.h"
#include "objects/LoopSound.h"
#include "objects/ObjectDestructor.h"
#include "objects/ActionMapObject.h"
#include "objects/HiddenObject.h"
#include "objects/ItemReceiver.h"
#include "objects/PausableObject.h"
#include "objects/SceneSwitchDestructor.h"
#include "objects/VumoViewportObject.h"
#include "objects/VumoVideoObject.h"
#include "Profile.h"
#include "GameUiHost.h"

namespace vumo
{
    namespace Session
    {
        namespace
        {
            // The Lua host's view of the running engine.
            class EngineHost : public LuaInterface::Host
            {
            public:
                void showFatalError(const quortypes::exception& exception) override
                {
                    Session::showFatalError(exception);
                }
                void showErrorOverlay(const hstring& message) override
                {
                    if (GameUiHost* ui = findGameUiHost())
                    {
                        ui->showErrorOverlay(message);
                        return;
                    }
                    LuaInterface::Host::showErrorOverlay(message);
                }
                void showErrorOverlayIfShown(const hstring& message) override
                {
                    getGameUiHost().showErrorOverlay(message);
                }
                bool isDebugModeEnabled() override { return getGameUiHost().isDebugModeEnabled(); }
                void executeInUI(const hstring& code) override
                {
                    try
                    {
                        LuaInterface::execute(code, "ui", "");
                    }
                    catch (const quortypes::exception& e)
                    {
                        ScriptErrorLog::write(logTag, e.getMessage());
                        this->showErrorOverlay(e.getMessage());
                    }
                }
                Scene* getActiveScene() override { return Session::getActiveScene(); }
                void runSceneScript(Scene* scene, const hstring& code) override { scene->runScript(code); }
                tesraui::Dataset* getSceneDataset(Scene* scene) override { return scene->getChapter(); }
                hstring getSceneEnvironment(Scene* scene) override { return scene->getFullName(); }
                // A scene's names and its chapter's are fixed for its life.
                tesraui::LifeToken::Watch watchSceneEnvironment(Scene* scene) override
                {
                    return scene->watchLife();
                }
                tesraui::LifeToken::Watch watchScene(Scene* scene) override { return scene->watchLife(); }
                void runObjectScript(tesraui::Dataset* dataset, const hstring& code) override
                {
                    // A loaded chapter other than the UI's has its table; the UI's own runs in "ui".
                    Chapter* chapter = Chapter::fromDataset(dataset);
                    if (chapter == nullptr || !chapter->isLoaded() || chapter->getName() == "ui" ||
                        !Chapter::isIdentifier(chapter->getName()))
                    {
                        this->executeInUI(code);
                        return;
                    }
                    try
                    {
                        LuaInterface::execute(code, chapter->getName(), "");
                    }
                    catch (const quortypes::exception& e)
                    {
                        ScriptErrorLog::write(logTag, e.getMessage());
                        this->showErrorOverlay(e.getMessage());
                    }
                }
            };

            EngineHost engineHost;

            // The display is gone and the process with it: the player keeps what the last sync took.
            void onAbruptEnd()
            {
                saveProfileWithoutScripts();
                quortypes::Log::write(logTag, "Ending at once; the profile was saved as last synced.");
                quortypes::Log::mergeSegments(true);
            }

            // 6.25 would read back as "6.2" with one decimal; it is written "6.2.5".
            hstring formatOsVersion(float version)
            {
                hstring text = formatString("%.1f", version);
                if (std::fabs(text.toFloat() - version) >= 0.009f)
                {
                    text = formatString("%.2f", version);
                    text = text.subString(0, text.size() - 1) + "." + text.subString(text.size() - 1, 1);
                }
                return text;
            }

            kavtypes::Vector2 windowSize(hdict<hstring>& config)
            {
                hstring width = config["width"];
                // A missing or empty width would open a window of no size: it means the display's.
                if (width == "")
                {
                    width = "0";
                }
                if (width != "0")
                {
                    const kavtypes::Vector2 size(width.toFloat(), config["height"].toFloat());
                    if (size.x >= 1.0f && size.x <= 32767.0f && size.y >= 1.0f && size.y <= 32767.0f)
                    {
                        return size;
                    }
                    quortypes::Log::warn(logTag,
                                         "The configured window size " + width + " x " + config["height"] +
                                             " is not one from 1 to 32767 pixels a side; the display's "
                                             "size is used.");
                }
                kavtypes::Vector2 size = tesra::getSystemInfo().displayResolution;
                if (config["fullscreen"] == "0")
                {
                    size *= 0.6666667f;
                }
                return size;
            }

            void logSystemInfo(const tesra::SystemInfo& info)
            {
                quortypes::Log::write(
                    logTag,
                    formatString(
                        "\nSystem Info:\n------------\nname: %s (OS version: %s)\ncpuArch: %s\ncpuCores: "
                        "%d\nram: %d\nmaxTextureSize: %d\nVRAM: %d\ndisplayResolution: %d, %d\ndisplayDpi: "
                        "%.1f\nlocale: %s\n------------",
                        info.name.c_str(), formatOsVersion(info.osVersion).c_str(), info.architecture.c_str(),
                        info.cpuCores, info.ram, tesra::rendersys->getMaxTextureSize(),
                        tesra::rendersys->getVRam(), (int)info.displayResolution.x,
                        (int)info.displayResolution.y, info.displayDpi, info.locale.c_str()));
            }

            // A missing volume reads as 0: that sound stays silent.
            // A volume in percent as a gain; one that is not a finite number leaves the gain as it is, and
            // the warning names the key to mend.
            bool configuredGain(const char* key, const hstring& text, float& gain)
            {
                gain = text.toFloat() / 100.0f;
                if (!std::isfinite(gain))
                {
                    quortypes::Log::warn(logTag, hstring("Configuration value ") + key + ": '" + text +
                                                     "' is not a volume; the volume stays as it was.");
                    return false;
                }
                return true;
            }

            void startAudio(hdict<hstring>& config)
            {
                void* window = tesra::window->getBackendId();
                yim::init(config.tryGet("audio_mute", "") == "1" ? yim::SystemType::AS_DISABLED
                                                                 : yim::SystemType::AS_DEFAULT,
                          (unsigned int)(uintptr_t)window, true, 0.01f, "");
                yim::manager->createCategory("fx", yim::BufferMode::MANAGED, yim::SourceMode::DISK);
                for (const char* name : {"music", "ambient", "voice"})
                {
                    yim::manager->createCategory(name, yim::BufferMode::STREAMED, yim::SourceMode::DISK);
                }
                float gain = 0.0f;
                if (configuredGain("master_volume", config.tryGet("master_volume", ""), gain))
                {
                    yim::manager->setGlobalGain(gain);
                }
                // Each key spelt out where it is read, so that the configuration page's test finds it.
                const struct
                {
                    const char* category;
                    const char* key;
                    hstring text;
                } volumes[] = {{"fx", "fx_volume", config.tryGet("fx_volume", "")},
                               {"music", "music_volume", config.tryGet("music_volume", "")},
                               {"ambient", "ambient_volume", config.tryGet("ambient_volume", "")},
                               {"voice", "voice_volume", config.tryGet("voice_volume", "")}};
                for (const auto& volume : volumes)
                {
                    if (configuredGain(volume.key, volume.text, gain))
                    {
                        yim::manager->getCategory(volume.category)->setGain(gain);
                    }
                }
            }

            // The game's UI, from start-up to shut-down. The holder itself is never destroyed: the exit of a
            // fatal error leaves the UI be rather than tear it down after the libraries it stands on.
            std::unique_ptr<GameUiHost>& sessionUI()
            {
                static auto* owner = new std::unique_ptr<GameUiHost>();
                return *owner;
            }

            void start(UIFactory createUI)
            {
                const auto now = std::chrono::steady_clock::now().time_since_epoch();
                quortypes::seedRandom(
                    (unsigned int)std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
                tesraui::registerObjectFactory("VumoViewport", &VumoViewportObject::createInstance);
                getUserFolder();
                LuaInterface::setHost(&engineHost);
                quortypes::Log::write(logTag,
                                      formatString("Initializing VUMO (v%s, %s)", getVersion().c_str(),
                                                   LuaInterface::getVersion().c_str()));
                hdict<hstring>& config = getConfig();
                const bool fullscreen = config["fullscreen"].toBool();
                const kavtypes::Vector2 size = windowSize(config);
                pirk::markInitialized();
                tesra::init();
                tesra::createRenderSystem();
                tesravideo::init(1);
                tesraui::unregisterObjectFactory("VideoObject");
                tesraui::registerObjectFactory("VideoObject", &VumoVideoObject::createInstance);
                tesra::Window::Options options;
                options.resizable = (config["resizable_window"] == "1");
                options.fpsCounter = (config["developer_mode"] == "1");
                for (const auto& pair : hdict<hstring>(config))
                {
                    if (pair.first.startsWith("tesra."))
                    {
                        hstring prefix;
                        hstring name;
                        pair.first.split('.', prefix, name);
                        quortypes::Log::write(logTag, formatString("Setting tesra window param %s = %s",
                                                                   name.c_str(), pair.second.c_str()));
                        tesra::window->setParam(name, pair.second);
                    }
                }
                tesra::setAbruptEndListener(onAbruptEnd);
                // The configured size is any number a file gives: held within an int before it is one.
                tesra::createWindow(quortypes::truncateToInt(size.x), quortypes::truncateToInt(size.y),
                                    fullscreen, config["display_title"], options);
                tesra::window->setCursorVisible(false);
                VumoTesraEventDelegate& events = VumoTesraEventDelegate::getInstance();
                tesra::window->setMouseDelegate(&events);
                tesra::window->setKeyboardDelegate(&events);
                tesra::window->setTouchDelegate(&events);
                tesra::window->setUpdateDelegate(&events);
                tesra::window->setSystemDelegate(&events);
                const tesra::SystemInfo info = tesra::getSystemInfo();
                quortypes::Log::write(logTag, "Starting project '" + config["title"] + "'");
                logSystemInfo(info);
                LuaInterface::init();
                VariableDictionary& variables = VariableDictionary::getGlobal();
                for (const char* name :
                     {"items", "active_scene", "prev_scene", "profile_name", "profile_dir"})
                {
                    variables.create(name, "");
                }
                fintu::init();
                fintu::renderer->setCacheSize(info.ram < 512 ? 100 : info.ram < 1024 ? 200 : 1000);
                fintuttf::init();
                tesraui::init();
                // Scripts destroy from inside walks of the tree; what they destroy is freed at a frame's end.
                tesraui::setDeferredFrees(true);
                tesraui::setLimitCursorToViewport(false);
                tesraui::setTextureIdleUnloadTime(info.ram < 512 ? 10.0f : 60.0f);
                tesraui::setDefaultDynamicLoading(true);
                if (config["texture_extensions"] != "")
                {
                    const hstring refusal = textureExtensionsRefusal(config["texture_extensions"]);
                    if (refusal != "")
                    {
                        quortypes::Log::warn(logTag, "Configuration value texture_extensions: " + refusal +
                                                         "; that extension's scale is 1.");
                    }
                    setTextureExtensions(config["texture_extensions"]);
                }
                tesraui::registerObjectFactory("PausableObject", &PausableObject::createInstance);
                tesraui::registerObjectFactory("LineObject", &LineObject::createInstance);
                tesraui::registerObjectFactory("LoopSound", &LoopSound::createInstance);
                tesraui::registerObjectFactory("DraggableContainer", &DraggableContainer::createInstance);
                tesraui::registerObjectFactory("HiddenObject", &HiddenObject::createInstance);
                tesraui::registerObjectFactory("ItemReceiver", &ItemReceiver::createInstance);
                tesraui::registerObjectFactory("InventoryPane", &InventoryPane::createInstance);
                tesraui::registerObjectFactory("ActionMap", &ActionMapObject::createInstance);
                tesraui::registerObjectFactory("DelayedCall", &DelayedCall::createInstance);
                tesraui::registerObjectFactory("ObjectDestructor", &ObjectDestructor::createInstance);
                tesraui::registerObjectFactory("SceneSwitchDestructor",
                                               &SceneSwitchDestructor::createInstance);
                tesraparticle::init();
                tesrauiparticle::init();
                pirk::init();
                startAudio(config);
                createTransitions();
                config["screenshot"] = "0";
                setProfile(std::make_unique<DummyProfile>());
                getProfile()->load();
                sessionUI().reset(createUI != nullptr ? createUI() : createDefaultGameUi());
                events.setUi(sessionUI().get());
                sessionUI()->init();
            }
        } // namespace

        void init(UIFactory createUI)
        {
            guarded([&] { start(createUI); });
        }

        void destroy()
        {
            // The main loop is over: its last frame is done, and what runs now is the end's own.
            LuaInterface::SignalStop::release();
            // Before the scenes, the UI and Lua go: the save may ask "ui.canSaveGame", and play since the
            // last autosave is kept, the last frame's included. A frame whose script was stopped on a
            // termination signal may have left things half done: the profile keeps its last sync then.
            if (Profile* profile = getProfile())
            {
                profile->saveAtEnd(!LuaInterface::SignalStop::hasStopped());
            }
            setProfile(nullptr);
            destroyScenes();
            DialogManager::destroy();
            LoopSound::destroyAll();
            VumoTesraEventDelegate::getInstance().setUi(nullptr);
            // Destroyed objects may still name the UI, which goes next.
            tesraui::freeDestroyed();
            sessionUI().reset();
            pirk::destroy();
            // The particle library owns textures of the render system, so it goes first.
            tesrauiparticle::destroy();
            tesraparticle::destroy();
            tesraui::destroy();
            // The fonts give their faces back to FreeType as they go, so they go before it ends.
            fintu::destroy();
            fintuttf::destroy();
            tesra::destroy();
            tesra::setAbruptEndListener(nullptr);
            yim::destroy();
            LuaInterface::destroy();
            LuaInterface::setHost(nullptr);
            ScriptErrorLog::flush();
            resetFrameState();
            VumoTesraEventDelegate::getInstance().reset();
            // The process is left as it was found, so that a later start in it begins from nothing: the
            // game's start-up declares its variables again, and the configuration and user folder are read
            // again for whatever game it starts.
            VariableDictionary::getGlobal() = VariableDictionary();
            forgetConfig();
            forgetUserFolder();
            DebugNames::forget();
            EngineObjects::forgetTakenNames();
            quortypes::Log::write(logTag, "VUMO destroyed");
            quortypes::Log::mergeSegments(true);
        }
    } // namespace Session
} // namespace vumo
