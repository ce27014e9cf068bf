#pragma once

#include <quortypes/hstring.h>

namespace tesraui
{
    class Dataset;
    class Object;
} // namespace tesraui

namespace vumo
{
    // The objects the engine makes for itself and keeps: the names they take beside the game's objects, and
    // the one check every deletion a script or a destructor asks for passes.
    namespace EngineObjects
    {
        // Why object (or, with childrenOnly, only what hangs below it) may not be destroyed on request: it
        // or an object below it is held from outside the tree (the UI's root, the viewport, a scene's root,
        // the fade's overlay, the cursor...), or it is a part that goes only with its holder. "" when it may
        // go.
        hstring refusal(const tesraui::Object* object, bool childrenOnly);

        // wanted when no object of the dataset has that name, else the first free "wanted_<n>" from 2 on:
        // the engine finds its objects through its pointers, so a game object that took the name keeps it.
        // A taken name is logged once a run.
        hstring freeName(const tesraui::Dataset* dataset, const hstring& wanted);
        // Forgets the taken names logged, so that the next run logs them again.
        void forgetTakenNames();

        // Registers object in dataset and hangs it under parent; as a part, it goes only with its holder.
        void attachTo(tesraui::Object* object, tesraui::Object* parent, tesraui::Dataset* dataset, bool part);
        template <class T> T* attach(T* object, tesraui::Object* parent, tesraui::Dataset* dataset)
        {
            attachTo(object, parent, dataset, false);
            return object;
        }
        template <class T> T* attachPart(T* object, tesraui::Object* parent, tesraui::Dataset* dataset)
        {
            attachTo(object, parent, dataset, true);
            return object;
        }
    } // namespace EngineObjects
} // namespace vumo
