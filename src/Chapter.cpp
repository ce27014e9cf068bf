#include "Chapter.h"

#include <utility>
#include <vector>

#include <quortypes/Log.h>
#include <quortypes/ResourceDir.h>
#include <tesraui/Container.h>
#include <tesraui/Image.h>
#include <tesraui/ImageBox.h>
#include <tesraui/Object.h>
#include <yim/AudioManager.h>
#include <yim/yim.h>
#include <tesraui/tesraui.h>

#include "ActionMap.h"
#include "FolderDepth.h"
#include "Scene.h"
#include "ScriptTexts.h"
#include "Session.h"
#include "lua/LuaInterface.h"
#include "objects/ColorImage.h"
#include "objects/LoopSound.h"
#include "GameUiHost.h"

namespace vumo
{
    namespace
    {
        void reportProgress(const Chapter* chapter, float progress)
        {
            if (chapter->getName() != "ui")
            {
                getGameUiHost().OnUpdateLoading(progress);
            }
        }

        void collectSceneFiles(const hstring& folder, harray<hstring>& out, int depth = 0)
        {
            harray<hstring> files;
            harray<hstring> folders;
            quortypes::ResourceDir::filesAndDirectories(folder, files, folders);
            for (const hstring& file : files)
            {
                if (file.endsWith(".scene"))
                {
                    out.push_back(folder + "/" + file);
                }
            }
            for (const hstring& sub : folders)
            {
                checkFolderDepth(folder + "/" + sub, depth);
                collectSceneFiles(folder + "/" + sub, out, depth + 1);
            }
        }
    } // namespace

    Chapter::Chapter(const hstring& fileName, const hstring& name) : tesraui::Dataset(fileName, name) {}

    Chapter::~Chapter()
    {
        if (this->loaded)
        {
            try
            {
                this->unload();
            }
            catch (const quortypes::exception& e)
            {
                quortypes::Log::error(Session::logTag, e.getMessage());
            }
        }
        this->deleteScenes();
        this->deleteActionMaps();
    }

    bool Chapter::isIdentifier(const hstring& name)
    {
        if (name.size() == 0)
        {
            return false;
        }
        for (int i = 0; i < name.size(); ++i)
        {
            const char c = name[i];
            const bool letter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
            if (!letter && !(i > 0 && c >= '0' && c <= '9'))
            {
                return false;
            }
        }
        return true;
    }

    void Chapter::load()
    {
        const bool ui = (this->name == "ui");
        if (!ui && !isIdentifier(this->name))
        {
            throw quortypes::exception("Invalid chapter folder name '" + this->name +
                                           "': expecting letters, digits and '_', not beginning with a digit",
                                       __FILE__, __LINE__);
        }
        quortypes::Log::write(Session::logTag, "Loading chapter " + this->name);
        tesraui::Dataset::load();
        reportProgress(this, 0.4f);
        const hstring folder = this->currentFolder;
        if (folder != "")
        {
            quortypes::Log::write(Session::logTag, "loading sounds");
            if (yim::manager != nullptr && quortypes::ResourceDir::exists(folder + "/audio"))
            {
                // A name already taken (a video's sound file named after the chapter) is not the chapter's.
                this->soundNames = yim::manager->createSoundsFromPath(folder + "/audio", this->name + ".");
            }
        }
        reportProgress(this, 0.5f);
        quortypes::Log::write(Session::logTag, "loading scenes");
        if (quortypes::ResourceDir::exists(folder + "/scenes"))
        {
            this->loadScenes(folder + "/scenes");
        }
        quortypes::Log::write(Session::logTag, "registering action maps");
        this->registerActionMaps(folder + "/action_maps");
        if (ui)
        {
            return;
        }
        reportProgress(this, 0.6f);
        LuaInterface::execute(SceneTexts::createChapterTable(this->name));
        const hstring lib = getFolder(this->name) + "/lib/";
        if (quortypes::ResourceDir::exists(lib))
        {
            quortypes::Log::write(Session::logTag, "loading scripts from " + lib);
            LuaInterface::loadScripts(lib, "");
        }
    }

    void Chapter::loadScenes(const hstring& folder)
    {
        harray<hstring> files;
        collectSceneFiles(folder, files);
        for (const hstring& path : files)
        {
            const hstring fileName = path.contains("/") ? path.subString(path.rfind('/') + 1) : path;
            const int dot = fileName.find('.');
            const hstring sceneName = fileName.subString(0, dot);
            const hstring type = fileName.subString(dot + 1);
            if (!isIdentifier(sceneName))
            {
                throw quortypes::exception("Invalid scene file name '" + path +
                                               "': the scene name must be letters, digits and '_', "
                                               "not beginning with a digit",
                                           __FILE__, __LINE__);
            }
            const hstring relative = path.subString(folder.size() + 1);
            // A scene met twice under one name: the old one goes before the new one is made.
            auto old = this->scenes.find(sceneName);
            if (old != this->scenes.end())
            {
                old->second.reset();
            }
            this->scenes[sceneName].reset(Scene::instantiate(type, this, sceneName, relative));
        }
    }

    void Chapter::deleteScenes()
    {
        // Out of the table before any goes, so that nothing a dying scene reaches finds its siblings.
        hdict<std::unique_ptr<Scene>> scenes = std::move(this->scenes);
        this->scenes.clear();
        for (auto& pair : scenes)
        {
            pair.second.reset();
        }
    }

    void Chapter::unload()
    {
        quortypes::Log::write(Session::logTag, "Unloading chapter " + this->name);
        this->deleteActionMaps();
        this->deleteScenes();
        tesraui::Dataset::unload();
        LoopSound::fadeOutAll(this->name, 0.0f);
        this->destroySounds();
        if (this->name != "ui" && isIdentifier(this->name) && LuaInterface::state != nullptr)
        {
            LuaInterface::execute(this->name + " = nil");
        }
    }

    void Chapter::destroySounds()
    {
        harray<hstring> names = std::move(this->soundNames);
        this->soundNames.clear();
        if (yim::manager == nullptr)
        {
            return;
        }
        for (const hstring& name : names)
        {
            try
            {
                if (yim::manager->hasSound(name))
                {
                    yim::manager->destroySound(yim::manager->getSound(name));
                }
            }
            catch (const quortypes::exception& e)
            {
                quortypes::Log::error(Session::logTag, e.getMessage());
            }
        }
    }

    void Chapter::discardFailedLoad()
    {
        this->deleteActionMaps();
        this->deleteScenes();
        try
        {
            tesraui::Dataset::unload();
        }
        catch (const quortypes::exception&)
        {
            // Nothing had been registered.
        }
        this->destroySounds();
        if (this->name != "ui" && isIdentifier(this->name) && LuaInterface::state != nullptr)
        {
            try
            {
                LuaInterface::execute(this->name + " = nil");
            }
            catch (const quortypes::exception& e)
            {
                quortypes::Log::error(Session::logTag, e.getMessage());
            }
        }
    }

    tesraui::Image* Chapter::getImage(const hstring& name)
    {
        vumo::ColorImage::registerIfColorName(this, name);
        return tesraui::Dataset::getImage(name);
    }

    Scene* Chapter::getScene(const hstring& name)
    {
        auto found = this->scenes.find(name);
        Scene* scene = (found != this->scenes.end() ? found->second.get() : nullptr);
        if (scene == nullptr)
        {
            throw _SceneNotFoundExeption("Scene '" + name + "' not found in chapter '" + this->name + "'",
                                         __FILE__, __LINE__);
        }
        return scene;
    }

    hstring Chapter::getFullSceneName(const hstring& name) const
    {
        return name.contains(".") ? name : this->name + "." + name;
    }

    void Chapter::registerScene(std::unique_ptr<Scene> scene)
    {
        if (this->scenes.hasKey(scene->getName()))
        {
            throw tesraui::_GenericException("Unable to register manual scene '" + scene->getName() +
                                                 "' in dataset '" + this->name + "', scene already exists.",
                                             __FILE__, __LINE__);
        }
        const hstring sceneName = scene->getName();
        this->scenes[sceneName] = std::move(scene);
    }

    std::unique_ptr<Scene> Chapter::unregisterScene(const hstring& name)
    {
        auto found = this->scenes.find(name);
        std::unique_ptr<Scene> scene;
        if (found != this->scenes.end())
        {
            scene = std::move(found->second);
        }
        if (scene == nullptr)
        {
            throw tesraui::_GenericException("Unable to unregister scene '" + name + "' in dataset '" +
                                                 this->name + "', scene not found.",
                                             __FILE__, __LINE__);
        }
        this->scenes.removeKey(name);
        return scene;
    }

    hstring Chapter::findImageUser(tesraui::Object* root)
    {
        if (root == nullptr)
        {
            return "";
        }
        tesraui::ImageBox* box = dynamic_cast<tesraui::ImageBox*>(root);
        if (box != nullptr && box->getImage() != nullptr && box->getImage()->getDataset() == this)
        {
            return "Object '" + root->getName() + "' is using image '" + box->getImageName() + "'.";
        }
        for (tesraui::Object* child : root->getChildren())
        {
            hstring found = this->findImageUser(child);
            if (found != "")
            {
                return found;
            }
        }
        return "";
    }

    Chapter* Chapter::fromDataset(tesraui::Dataset* dataset)
    {
        return dynamic_cast<Chapter*>(dataset);
    }

    bool Chapter::hasText(const hstring& key)
    {
        return key.startsWith("{") || tesraui::Dataset::hasText(key);
    }

    void Chapter::update(float timeDelta)
    {
        tesraui::Dataset::update(timeDelta);
        for (auto& pair : this->actionMaps)
        {
            pair.second->update(timeDelta);
        }
    }

    void Chapter::registerActionMaps(const hstring& folder)
    {
        if (!quortypes::ResourceDir::exists(folder))
        {
            return;
        }
        // Each folder's maps, then its folders' in turn, as deep as folders may nest.
        std::vector<std::pair<hstring, int>> pending = {{folder, 0}};
        while (!pending.empty())
        {
            const auto [at, depth] = pending.back();
            pending.pop_back();
            for (const hstring& file : quortypes::ResourceDir::files(at))
            {
                if (!file.endsWith(".amp"))
                {
                    continue;
                }
                const hstring path = at + "/" + file;
                const hstring mapName = ActionMap::nameFromPath(path);
                if (this->actionMaps.hasKey(mapName))
                {
                    throw quortypes::exception("Failed parsing action map '" + mapName + "' from path '" +
                                                   path + "', name already registered",
                                               __FILE__, __LINE__);
                }
                this->actionMaps[mapName] = std::make_unique<ActionMap>(path);
            }
            const harray<hstring> subs = quortypes::ResourceDir::directories(at);
            for (auto sub = subs.rbegin(); sub != subs.rend(); ++sub)
            {
                checkFolderDepth(at + "/" + *sub, depth);
                pending.push_back({at + "/" + *sub, depth + 1});
            }
        }
    }

    ActionMap* Chapter::getActionMap(const hstring& name)
    {
        // "a.b" asks the chapter named a for b, which may be dotted again: one chapter after the other, not
        // one inside the other, and each part read once, however many dots a name holds.
        Chapter* chapter = this;
        const hdict<tesraui::Dataset*> datasets = tesraui::getDatasets();
        int at = 0;
        for (int dot = name.find('.', at); dot >= 0; dot = name.find('.', at))
        {
            Chapter* named = fromDataset(datasets.tryGet(name.subString(at, dot - at), nullptr));
            if (named == nullptr)
            {
                throw tesraui::_ResourceNotExistsException(name.subString(at), "ActionMap", chapter, __FILE__,
                                                           __LINE__);
            }
            chapter = named;
            at = dot + 1;
        }
        const hstring rest = (at == 0 ? name : name.subString(at));
        auto found = chapter->actionMaps.find(rest);
        ActionMap* map = (found != chapter->actionMaps.end() ? found->second.get() : nullptr);
        if (map == nullptr)
        {
            throw tesraui::_ResourceNotExistsException(rest, "ActionMap", chapter, __FILE__, __LINE__);
        }
        return map;
    }

    void Chapter::unloadIdleResources()
    {
        quortypes::Log::write(Session::logTag, this->name + " dataset: unloading unused resources");
        for (auto& pair : this->actionMaps)
        {
            pair.second->unload();
        }
    }

    void Chapter::deleteActionMaps()
    {
        hdict<std::unique_ptr<ActionMap>> maps = std::move(this->actionMaps);
        this->actionMaps.clear();
        for (auto& pair : maps)
        {
            pair.second.reset();
        }
    }
} // namespace vumo
