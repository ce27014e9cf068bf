#pragma once

#include <functional>

namespace tesraui
{
    class Dataset;

    // What start-up and shut-down need of the registries.
    void _setDestroying(bool value);
    void _destroyDatasets();
    void _clearRegistries();
    // Every registered dataset in name order; a dataset that leaves the registry during the walk is skipped.
    void _forEachDataset(const std::function<void(Dataset*)>& function);
} // namespace tesraui
