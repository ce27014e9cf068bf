#pragma once

#include "Scene.h"

namespace tesraui
{
    class EventArgs;
    class Object;
} // namespace tesraui

// The store scene of the "menu" chapter: the promotion library's upsell screen with its three buttons. It
// holds no purchase logic; Unlock hands over to the scripts' "chapter.onBuy", Restore to "chapter.onRestore"
// when the game has one.
class StoreMenu : public vumo::Scene
{
public:
    static const hstring logTag;

    using vumo::Scene::Scene;

    hstring getScript() override { return "scene.setBackground('null')"; }
    void onActivate() override;
    void onDeactivate() override;
    // The upsell screen hangs under the scene's root: it is taken down through the promotion library
    // before the root's destruction would delete it behind the library's back.
    void onObjectsEnding() override;

    void fitToRoot(tesraui::Object* screen);

    void onLaterClicked(tesraui::EventArgs* args);
    void onRestoreClicked(tesraui::EventArgs* args);
    void onBuyClicked(tesraui::EventArgs* args);
    // Runs the chapter's script function of that name; false when it has none.
    bool runChapterHandler(const hstring& name);
};
