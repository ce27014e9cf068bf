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
    // Where Later leads, in the store's chapter.
    static const hstring laterScene;

    using vumo::Scene::Scene;

    hstring getScript() override { return "scene.setBackground('null')"; }
    void onActivate() override;
    void onDeactivate() override;
    void onUpdate(float timeDelta) override;
    // The upsell screen hangs under the scene's root: it is taken down through the promotion library
    // before the root's destruction would delete it behind the library's back.
    void onObjectsEnding() override;

    void fitToRoot(tesraui::Object* screen);

    void onLaterClicked(tesraui::EventArgs* args);
    void onRestoreClicked(tesraui::EventArgs* args);
    void onBuyClicked(tesraui::EventArgs* args);
    // Runs the chapter's script function of that name; false when it has none.
    bool runChapterHandler(const hstring& name);

private:
    // A store that cannot be used or left is left, once the error overlay saying why is closed, for this
    // scene.
    hstring leaveTo;

    // The scene the player came from, "" when the store came first.
    hstring sceneBefore() const;
    // Back to the scene before the store, or to Later's scene when the store came first.
    void leaveWhenRead();
};
