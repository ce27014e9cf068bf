#include "Scene.h"

#include <string>
#include <unordered_set>
#include <utility>

#include <quortypes/Log.h>
#include <tesra/SystemInfo.h>
#include <tesraui/Container.h>
#include <tesraui/Dataset.h>
#include <tesraui/Image.h>
#include <tesraui/ImageBox.h>
#include <tesraui/Texture.h>

#include "Chapter.h"
#include "EngineObjects.h"
#include "Session.h"
#include "SessionWork.h"
#include "Variables.h"
#include "lua/Calls.h"
#include "lua/HookCalls.h"
#include "lua/LuaInterface.h"
#include "objects/RegionTables.h"
#include "objects/VumoViewportObject.h"
#include "GameUiHost.h"
#include "ScriptTexts.h"
#include "lua/Host.h"

namespace vumo
{
    namespace
    {
        hdict<Scene::Creator>& registry()
        {
            static hdict<Scene::Creator> creators;
            return creators;
        }

        void unloadTexturesUnder(tesraui::Object* object)
        {
            for (tesraui::Image* image : object->getImages())
            {
                if (image != nullptr && image->getTexture() != nullptr && image->getTexture()->isLoaded())
                {
                    image->getTexture()->unload();
                }
            }
            for (tesraui::Object* child : object->getChildren())
            {
                unloadTexturesUnder(child);
            }
        }

        void reportScriptError(const quortypes::exception& e)
        {
            LuaInterface::getHost().reportScriptError({"Scene scripting error: "}, e.getMessage());
        }

        // Destroys what hangs below object except the parts it made for itself, which it still works with;
        // what hangs below those parts goes too, unless it is a part itself.
        void destroyAllButParts(tesraui::Object* object)
        {
            harray<std::pair<tesraui::Object*, tesraui::LifeToken::Watch>> children;
            for (tesraui::Object* child : object->getChildren())
            {
                children.emplace_back(child, child->watchLife());
            }
            const tesraui::LifeToken::Watch alive = object->watchLife();
            for (auto& [child, watch] : children)
            {
                // Destroying one may take its siblings or the object with it.
                if (!alive.isAlive() || !watch.isAlive() || child->getParent() != object)
                {
                    continue;
                }
                if (child->isHeldPart())
                {
                    destroyAllButParts(child);
                }
                else if (child->getDataset() != nullptr)
                {
                    child->getDataset()->destroyObject(child);
                }
            }
        }

        // Whether a kept object still stands as its dataset's object of its name: one a script destroyed
        // meanwhile is gone, or no longer registered when its memory goes later.
        bool isStillKept(tesraui::Object* object)
        {
            return object != nullptr && object->getDataset() != nullptr &&
                   object->getDataset()->getObjects().tryGet(object->getName(), nullptr) == object;
        }

        // Children first, so an object kept aside no longer holds children that are destroyed.
        void collectRetained(tesraui::Object* object, harray<tesraui::Object*>& out)
        {
            for (tesraui::Object* child : harray<tesraui::Object*>(object->getChildren()))
            {
                collectRetained(child, out);
                if (child->getName().endsWith("__retain"))
                {
                    out.push_back(child);
                }
            }
        }
    } // namespace

    Scene::Scene(Chapter* chapter, const hstring& name, const hstring& fileName)
        : chapter(chapter), name(name), fileName(fileName)
    {
    }

    Scene::~Scene()
    {
        this->life.end();
        if (this->rootObject != nullptr)
        {
            this->deactivate(false);
        }
        this->releaseObjects();
    }

    hstring Scene::getChunkName() const
    {
        return "data/chapters/" + this->chapter->getName() + "/scenes/" + this->name + ".scene";
    }

    hstring Scene::getFullName() const
    {
        return this->chapter->getName() + "." + this->name;
    }

    hstring Scene::getScript()
    {
        if (!this->scriptRead)
        {
            this->scriptText =
                LuaInterface::loadLuaFile(this->chapter->getCurrentFolder() + "/scenes/" + this->fileName);
            this->scriptRead = true;
        }
        return this->scriptText;
    }

    void Scene::registerFactory(const hstring& typeName, Creator creator)
    {
        registry()[typeName] = creator;
    }

    Scene* Scene::instantiate(const hstring& typeName, Chapter* chapter, const hstring& name,
                              const hstring& fileName)
    {
        if (typeName == "scene")
        {
            return new Scene(chapter, name, fileName);
        }
        Creator creator = registry().tryGet(typeName, nullptr);
        if (creator == nullptr)
        {
            throw quortypes::exception("Unable to instantiate scene of type '" + typeName +
                                           "', no factory registered for that type.",
                                       __FILE__, __LINE__);
        }
        return creator(chapter, name, fileName);
    }

    bool Scene::runScript(const hstring& code, bool inEnvironment)
    {
        try
        {
            LuaInterface::execute(code, inEnvironment ? this->getFullName() : hstring(),
                                  this->getChunkName());
            return true;
        }
        catch (const quortypes::exception& e)
        {
            reportScriptError(e);
            return false;
        }
    }

    void Scene::update(float timeDelta)
    {
        if (Session::isPaused())
        {
            return;
        }
        const tesraui::LifeToken::Watch alive = this->watchLife();
        this->onUpdate(timeDelta);
        while (alive.isAlive() && this->queuedScripts.size() > 0)
        {
            const hstring code = std::move(queuedScripts.front());
            queuedScripts.pop_front();
            this->runScript(code);
        }
    }

    void Scene::onActivate()
    {
        this->runScript(SceneTexts::activate());
    }

    void Scene::onDeactivate()
    {
        this->runScript(SceneTexts::deactivate());
    }

    void Scene::onUpdate(float timeDelta)
    {
        // A scene keeps its names and its chapter's for life. The hook may delete this scene: the failure's
        // text names its chunk from a pool that outlives every scene.
        if (!this->updateKeys.isSet())
        {
            static std::unordered_set<std::string> chunkNames;
            this->updateChunkName = &*chunkNames.insert(this->getChunkName()).first;
            this->updateKeys.setScene(this->chapter->getName(), this->name);
        }
        const std::string* chunk = this->updateChunkName;
        LuaInterface::HookText text;
        text.functionName = "OnUpdate";
        const auto make = [chunk, timeDelta](hstring& code, hstring& chunkName)
        {
            code = SceneTexts::update(timeDelta);
            chunkName = *chunk;
        };
        text.setMake(make);
        try
        {
            if (LuaInterface::callEnvironmentHook(this->updateKeys, "OnUpdate", timeDelta, text) !=
                LuaInterface::HookCall::RunText)
            {
                return;
            }
        }
        catch (const quortypes::exception& e)
        {
            reportScriptError(e);
            return;
        }
        this->runScript(SceneTexts::update(timeDelta));
    }

    void Scene::onPointerPressed()
    {
        this->runScript(SceneTexts::pointerPressed());
    }

    void Scene::onPointerReleased()
    {
        this->runScript(SceneTexts::pointerReleased());
    }

    void Scene::onAltPointerPressed(int button)
    {
        this->runScript(SceneTexts::altPointerPressed(button));
    }

    void Scene::onAltPointerReleased(int button)
    {
        this->runScript(SceneTexts::altPointerReleased(button));
    }

    void Scene::onPointerCanceled(int button)
    {
        this->runScript(SceneTexts::pointerCanceled(button));
    }

    void Scene::activate()
    {
        const hstring fullName = this->getFullName();
        quortypes::Log::write(Session::logTag, "activating scene " + this->name);
        VariableDictionary::getGlobal().get("active_scene").set(fullName);
        this->backgroundSet = false;
        VumoViewportObject* viewport = Session::getViewport();
        if (this->rootObject == nullptr)
        {
            kavtypes::Rectangle rect(0.0f, 0.0f, 1.0f, 1.0f);
            if (getGameUiHost().getRootObject() != nullptr)
            {
                rect = getGameUiHost().getRootObject()->getRect();
            }
            this->rootObject = new tesraui::ImageBox(
                EngineObjects::freeName(this->chapter, fullName + "_sceneRootObject"), rect);
            this->chapter->registerObjects(this->rootObject);
            this->rootObject->setOutsideHolder("its scene");
            this->rootObject->setZOrder(-1);
            this->rootObject->setCenter(0.0f, 0.0f);
            this->rootObject->setAnchors(true, true, true, true);
            if (viewport != nullptr)
            {
                this->rootObject->setSize(viewport->getSize());
                viewport->addChild(this->rootObject);
            }
        }
        // The environment stands even when the lookup of its root object fails.
        this->runScript(SceneTexts::createEnvironment(fullName, this->rootObject->getFullName()), false);
        this->runScript(SceneTexts::setChapterScene(this->chapter->getName(), fullName), false);
        GameUiSceneHooks& hooks = getGameUiHost();
        hooks.OnSceneActivating();
        // The scene's own code may leave its chapter at once, deleting this scene.
        const tesraui::LifeToken::Watch alive = this->watchLife();
        const bool ran = this->runScript(this->getScript());
        if (!alive.isAlive())
        {
            return;
        }
        this->onActivate();
        if (!alive.isAlive())
        {
            return;
        }
        RegionTables::warnMistypedNames(fullName, this->rootObject, this->warnedRegionTables);
        if (ran && !this->backgroundSet && this->rootObject != nullptr)
        {
            // A scene drawn only by its objects has no image of its name; that is no error. A plain name
            // (neither "null", nor another dataset's, nor a colour) is looked for before it is set, since the
            // failure's throw cost a switch more than the rest of this step.
            tesraui::Dataset* dataset = this->rootObject->getDataset();
            if (dataset != nullptr && Chapter::isIdentifier(this->name) && this->name != "null" &&
                !dataset->getImages().hasKey(this->name))
            {
                quortypes::Log::warn(Session::logTag, "Image doesn't exist: '" + this->name +
                                                          "' in dataset '" + dataset->getName() + "'");
            }
            else
            {
                try
                {
                    this->rootObject->setImageByName(this->name);
                }
                catch (const quortypes::exception& e)
                {
                    quortypes::Log::warn(Session::logTag, e.getMessage());
                }
            }
        }
        hooks.OnSceneActivated();
    }

    void Scene::deactivate(bool freeTextures)
    {
        quortypes::Log::write(Session::logTag, "deactivating scene " + this->getFullName());
        if (this->rootObject != nullptr)
        {
            onObjectsEnding();
            VumoViewportObject* viewport = Session::getViewport();
            if (freeTextures && viewport != nullptr && tesra::getSystemInfo().ram <= 1024)
            {
                unloadTexturesUnder(viewport);
            }
            if (this->rootObject->getParent() != nullptr)
            {
                this->rootObject->getParent()->removeChild(this->rootObject);
            }
            this->chapter->destroyObject(this->rootObject);
            this->rootObject = nullptr;
        }
        // The hook may delete the scene; the destructor's own deactivation (life already ended) goes on.
        const tesraui::LifeToken::Watch alive = this->watchLife();
        const bool deleting = !alive.isAlive();
        this->onDeactivate();
        if ((deleting || alive.isAlive()) && LuaInterface::state != nullptr)
        {
            this->runScript(SceneTexts::clearEnvironment(this->getFullName()), false);
        }
    }

    void Scene::retain(tesraui::Object* object)
    {
        this->retainedObjects[object->getName()] = tesraui::Watched<tesraui::Object>(object);
        const tesraui::LifeToken::Watch alive = object->watchLife();
        destroyAllButParts(object);
        if (alive.isAlive() && object->getParent() != nullptr)
        {
            object->getParent()->removeChild(object);
        }
    }

    void Scene::reset()
    {
        // A switch or reset its hooks ask for waits until this one is done.
        const Session::WorkUnderWay resetting;
        // Watched across the hooks and scripts below, as across every call into a script.
        const tesraui::LifeToken::Watch alive = this->watchLife();
        GameUiSceneHooks& hooks = getGameUiHost();
        hooks.OnSceneResetting();
        if (!alive.isAlive())
        {
            return;
        }
        tesraui::ImageBox* root = this->rootObject;
        if (root != nullptr)
        {
            onObjectsEnding();
            harray<tesraui::Object*> kept;
            collectRetained(root, kept);
            for (tesraui::Object* object : kept)
            {
                this->retain(object);
            }
            root->destroyChildren();
            this->rootObject = nullptr;
        }
        this->deactivate(false);
        if (!alive.isAlive())
        {
            return;
        }
        VariableDictionary::getGlobal().get("prev_scene").set(this->getFullName());
        this->rootObject = root;
        try
        {
            this->activate();
        }
        catch (...)
        {
            if (alive.isAlive())
            {
                this->releaseObjects();
                this->abandonActivation();
            }
            throw;
        }
        if (!alive.isAlive())
        {
            return;
        }
        this->releaseObjects();
        hooks.OnSceneReset();
    }

    void Scene::abandonActivation()
    {
        const tesraui::LifeToken::Watch alive = this->watchLife();
        if (this->isActive())
        {
            try
            {
                this->deactivate(false);
            }
            catch (const quortypes::exception& e)
            {
                quortypes::Log::error(Session::logTag, e.getMessage());
            }
        }
        if (alive.isAlive() && Session::getActiveScene() == this)
        {
            Session::setActiveScene(nullptr);
        }
    }

    void Scene::attachObject(tesraui::Object* object)
    {
        if (this->rootObject == nullptr)
        {
            throw quortypes::exception("Unable to attach object to scene '" + this->name +
                                           "', scene's root object is NULL.",
                                       __FILE__, __LINE__);
        }
        if (object->getDataset() == nullptr)
        {
            this->chapter->registerObjects(object);
        }
        this->rootObject->addChild(object);
    }

    tesraui::Object* Scene::takeObject(const hstring& name)
    {
        tesraui::Object* object = this->retainedObjects.tryGet(name, {}).get();
        this->retainedObjects.removeKey(name);
        return isStillKept(object) ? object : nullptr;
    }

    void Scene::releaseObjects()
    {
        hdict<tesraui::Watched<tesraui::Object>> retained;
        retained.swap(this->retainedObjects);
        for (auto& pair : retained)
        {
            // Each destruction may run code that destroys the others.
            tesraui::Object* object = pair.second.get();
            if (isStillKept(object))
            {
                object->getDataset()->destroyObject(object);
            }
        }
    }
} // namespace vumo
