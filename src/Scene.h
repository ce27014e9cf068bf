#pragma once

#include <string>

#include <quortypes/harray.h>
#include <quortypes/hdeque.h>
#include <quortypes/hdict.h>
#include <quortypes/hstring.h>
#include <tesraui/LifeToken.h>

#include "lua/HookCalls.h"

namespace tesraui
{
    class ImageBox;
    class Object;
} // namespace tesraui

namespace vumo
{
    class Chapter;

    // One screen of the game: a root object under the viewport while active, and a Lua environment (a field
    // of its chapter's namespace) in which its script and hooks run.
    class Scene
    {
    public:
        typedef Scene* (*Creator)(Chapter* chapter, const hstring& name, const hstring& fileName);

        Scene(Chapter* chapter, const hstring& name, const hstring& fileName);
        virtual ~Scene();
        Scene(const Scene&) = delete;
        Scene& operator=(const Scene&) = delete;

        virtual hstring getScript();
        virtual void update(float timeDelta);
        virtual void onActivate();
        virtual void onDeactivate();
        // Called while the objects under the root still stand, before deactivation or a reset destroys them:
        // what the scene put there from elsewhere can be taken down in its own way first.
        virtual void onObjectsEnding() {}
        virtual void onUpdate(float timeDelta);
        virtual void onPointerPressed();
        virtual void onPointerReleased();
        virtual void onAltPointerPressed(int button);
        virtual void onAltPointerReleased(int button);
        virtual void onPointerCanceled(int button);
        virtual void onPointerMove(float, float) {}
        virtual void onItemUsed(const hstring&) {}

        static void registerFactory(const hstring& typeName, Creator creator);
        // "scene" is a plain Scene; any other type needs a registered creator.
        static Scene* instantiate(const hstring& typeName, Chapter* chapter, const hstring& name,
                                  const hstring& fileName);

        // Script errors are logged and shown, never thrown; the result tells whether the text ran.
        bool runScript(const hstring& code, bool inEnvironment = true);
        void activate();
        void deactivate(bool freeTextures);
        // After an activation that threw: the scene is taken down again (its failures logged) and is the
        // session's active scene no more, so that nothing updates a scene left half made.
        void abandonActivation();
        void reset();
        void attachObject(tesraui::Object* object);
        // A kept object of that name, out of the keeping; null when there is none or it has gone meanwhile.
        tesraui::Object* takeObject(const hstring& name);
        void queueScript(const hstring& code) { this->queuedScripts.push_back(code); }
        void setBackgroundSet(bool value) { this->backgroundSet = value; }

        Chapter* getChapter() const { return this->chapter; }
        const hstring& getName() const { return this->name; }
        const hstring& getFileName() const { return this->fileName; }
        hstring getFullName() const;
        // The name the scene's code runs under, which failures and tracebacks show.
        hstring getChunkName() const;
        tesraui::ImageBox* getRootObject() const { return this->rootObject; }
        bool isActive() const { return this->rootObject != nullptr; }
        // Script code may delete the scene (a switch out of its chapter): callers watch it across such calls.
        tesraui::LifeToken::Watch watchLife() { return this->life.watch(); }

    protected:
        Chapter* chapter;
        hstring name;
        hstring fileName;
        hstring scriptText = "<empty>";
        bool scriptRead = false;
        tesraui::ImageBox* rootObject = nullptr;
        bool backgroundSet = false;
        hdeque<hstring> queuedScripts;
        // What a reset keeps aside across the scene's scripts, which may destroy it.
        hdict<tesraui::Watched<tesraui::Object>> retainedObjects;
        tesraui::LifeToken life;
        // Region tables in the wrong case already warned about.
        harray<hstring> warnedRegionTables;
        // The environment's names as Lua strings for the hook called every frame, and the name its text's
        // chunk would have: made on its first call.
        LuaInterface::EnvironmentKeys updateKeys;
        const std::string* updateChunkName = nullptr;

        void releaseObjects();
        void retain(tesraui::Object* object);
    };
} // namespace vumo
