#pragma once

#include <functional>
#include <memory>

namespace tesraui
{
    class Dataset;
    class Image;
    class Object;
    class Texture;

    // What start-up and shut-down need of the registries.
    void _setDestroying(bool value);
    void _destroyDatasets();
    void _clearRegistries();
    // Every registered dataset in name order; a dataset that leaves the registry during the walk is skipped.
    void _forEachDataset(const std::function<void(Dataset*)>& function);
    // Withdraws from every registered dataset's queue the events whose arguments name the object.
    void _withdrawEventsNaming(const Object* object);
    // Kept until freeDestroyed; each is already out of its dataset.
    void _buryObject(Object* object);
    void _buryImage(std::unique_ptr<Image> image);
    void _buryTexture(std::unique_ptr<Texture> texture);
    // An idle texture's pixels go at freeDestroyed too, unless it is used or destroyed before; at once while
    // frees are not deferred.
    void _unloadIdleTexture(Texture* texture);
    // A start of the library tells of a fractional alpha again.
    void _forgetFractionAlphaWarning();
} // namespace tesraui
