#pragma once

#include <kavtypes/Rectangle.h>
#include <kavtypes/Vector2.h>
#include <quortypes/harray.h>
#include <quortypes/hdict.h>
#include <quortypes/hstring.h>

namespace quorxml
{
    class Node;
}

namespace tesraui
{
    // The tag of the library's log lines.
    extern const hstring logTag;

    bool isDebugEnabled();
    void setDebugEnabled(bool value);

    // In UI coordinates; objects test the pointer against it.
    kavtypes::Vector2 getCursorPosition();
    void setCursorPosition(const kavtypes::Vector2& position);

    // "x,y,w,h" and "x,y", each number with six decimals.
    hstring rectToString(const kavtypes::Rectangle& rect);
    hstring vector2ToString(const kavtypes::Vector2& vector);
    // Throw quortypes::exception unless the text has exactly four (two) comma-separated parts.
    kavtypes::Rectangle stringToRect(const hstring& text);
    kavtypes::Vector2 stringToVector2(const hstring& text);

    class Animator;
    class Dataset;
    class Object;

    typedef Object* (*ObjectFactory)(const hstring& name, kavtypes::Rectangle rect);
    typedef Animator* (*AnimatorFactory)(const hstring& name);

    // Needs the window: the viewport takes its size.
    void init();
    // Deletes the datasets still registered and empties the registries; the settings stay. Datasets made
    // while it deletes are not registered; those made after it are.
    void destroy();

    // Factories may be registered before init, which keeps them.
    void registerObjectFactory(const hstring& typeName, ObjectFactory factory);
    void unregisterObjectFactory(const hstring& typeName);
    void registerAnimatorFactory(const hstring& typeName, AnimatorFactory factory);
    // Null when no factory has the name; the caller owns the result.
    Object* createObject(const hstring& typeName, const hstring& name, kavtypes::Rectangle rect);
    Animator* createAnimator(const hstring& typeName, const hstring& name);
    // The type names createObject and createAnimator know, in name order.
    harray<hstring> getObjectTypeNames();
    harray<hstring> getAnimatorTypeNames();

    // Datasets register themselves on construction and leave on destruction.
    void registerDataset(const hstring& name, Dataset* dataset);
    void unregisterDataset(const hstring& name, Dataset* dataset);
    Dataset* getDatasetByName(const hstring& name);
    hdict<Dataset*> getDatasets();

    // Whether what a dataset destroys (objects, images, textures) waits for freeDestroyed instead of being
    // freed at once; off until asked, and again after init. Taken out either way: the name no longer
    // resolves, the life token ends, no walk visits it and its queued events are withdrawn. Code that
    // still holds it finds a detached object, never freed memory.
    void setDeferredFrees(bool value);
    bool isDeferringFrees();
    // Frees what was destroyed since the last call, also what those frees destroy in turn. Called where no
    // walk over the tree runs and nothing holds a destroyed thing: the end of a frame, and shut-down.
    void freeDestroyed();

    // Broadcasts to every registered dataset in name order.
    void notifyEvent(const hstring& type, void* args);
    void processEvents();
    void update(float timeDelta);
    void updateTextures(float timeDelta);
    void unloadUnusedTextures();

    bool isHoverEffectEnabled();
    void setHoverEffectEnabled(bool value);
    // A layer over everything else (a modal message box) that alone takes the pointer while it stands: only
    // buttons inside it count as under the pointer, whatever tree or dataset the others belong to. nullptr
    // for none; a layer destroyed meanwhile counts as none.
    void setModalLayer(Object* layer);
    Object* getModalLayer();
    void setLimitCursorToViewport(bool value);
    bool isDefaultDynamicLoading();
    void setDefaultDynamicLoading(bool value);
    float getTextureIdleUnloadTime();
    void setTextureIdleUnloadTime(float value);
    float getDefaultScale();
    hstring getDefaultTextsPath();
    hstring getLocalization();
    // Reloads the texts and textures of every loaded dataset, then tells them "onLocalizationChanged".
    void setLocalization(const hstring& name);
    hstring getDefaultLocalization();

    void setTextureExtensionScales(const harray<hstring>& extensions, const harray<float>& scales);
    float getTextureExtensionScale(const hstring& extension);
    float findTextureExtensionScale(const hstring& filename);

    void setViewport(const kavtypes::Rectangle& rect);
    kavtypes::Vector2 transformWindowToViewport(const kavtypes::Vector2& position);
    void updateCursorPosition();

    // The file textures load for the current localisation: "dir/<localisation>/name" when that exists.
    hstring getLocalisedFilename(const hstring& filename);

    // The rectangle of a dataset file's element: "rect", or "position" or "x" and "y" with "size" or "w"
    // and "h"; with the flag a missing size reads as -1, which image boxes take as their image's size.
    // A text that is no rectangle or vector throws quorxml::_XMLException naming the file and line.
    kavtypes::Rectangle readRectNode(quorxml::Node* node, bool sizeDefaultsToMinusOne);
    // The vector of a dataset file's attribute, which must be there; throws as readRectNode does.
    kavtypes::Vector2 readVectorNode(quorxml::Node* node, const hstring& name);
} // namespace tesraui
