#pragma once

#include <memory>

#include <quortypes/harray.h>
#include <quortypes/hdict.h>
#include <quortypes/hstring.h>
#include <tesraui/Dataset.h>
#include <tesraui/exception.h>

namespace vumo
{
    class ActionMap;
    class Scene;

    // Thrown when a chapter lacks a scene; the name is the one scripts and logs have always seen.
    class _SceneNotFoundExeption : public quortypes::exception
    {
    public:
        _SceneNotFoundExeption(const hstring& message, const char* file, int line)
            : quortypes::exception(message, file, line)
        {
        }
    };

    // One folder of game content under "data/chapters/": a dataset with the chapter's scenes and Lua
    // namespace. The UI's own chapter "ui" is persistent and has neither progress reports nor namespace.
    class Chapter : public tesraui::Dataset
    {
    public:
        Chapter(const hstring& fileName, const hstring& name);
        ~Chapter() override;

        void load();
        void unload();
        // Releases whatever a load that threw had made (scenes, dataset contents, the Lua namespace).
        void discardFailedLoad();
        // The dataset's update, then the idle clocks of the action maps.
        void update(float timeDelta) override;
        tesraui::Image* getImage(const hstring& name) override;
        // A key beginning with "{" is inline text: it names itself, so it always exists.
        bool hasText(const hstring& key) override;

        Scene* getScene(const hstring& name);
        bool hasScene(const hstring& name) const { return this->scenes.hasKey(name); }
        const hdict<std::unique_ptr<Scene>>& getScenes() const { return this->scenes; }
        hstring getFullSceneName(const hstring& name) const;
        void registerScene(std::unique_ptr<Scene> scene);
        std::unique_ptr<Scene> unregisterScene(const hstring& name);
        bool isPersistent() const { return this->persistent; }
        void setPersistent(bool value) { this->persistent = value; }
        // The description of the first object under root whose image belongs to this chapter, or "".
        hstring findImageUser(tesraui::Object* root);
        void setRoot(tesraui::Object* object) { this->root = object; }

        // "chapter.map" asks that chapter; throws the UI library's not-found exception for a missing map.
        ActionMap* getActionMap(const hstring& name);
        const hdict<std::unique_ptr<ActionMap>>& getActionMaps() const { return this->actionMaps; }
        // Every ".amp" file of the folder and its subfolders, by file name; a name met twice throws.
        void registerActionMaps(const hstring& folder);
        void unloadIdleResources();

        static Chapter* fromDataset(tesraui::Dataset* dataset);
        // Names pasted into Lua as identifiers must be plain ones.
        static bool isIdentifier(const hstring& name);
        static hstring getFolder(const hstring& name) { return "data/chapters/" + name; }

    protected:
        hdict<std::unique_ptr<Scene>> scenes;
        hdict<std::unique_ptr<ActionMap>> actionMaps;
        // The sounds its "audio" folder made at its load, by name: only those are its to destroy.
        harray<hstring> soundNames;
        bool persistent = false;

        void loadScenes(const hstring& folder);
        void deleteScenes();
        void deleteActionMaps();
        // One that a player of its own still plays stays, and the log says so.
        void destroySounds();
    };
} // namespace vumo
