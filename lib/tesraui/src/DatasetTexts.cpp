#include <quortypes/Dir.h>
#include <quortypes/Log.h>
#include <quortypes/ResourceDir.h>
#include <tesraui/Dataset.h>
#include <tesraui/tesraui.h>

#include "NameHop.h"
#include "texts/KeyFormatter.h"
#include "texts/TextsReader.h"

namespace tesraui
{
    hstring Dataset::getTextsFolder() const
    {
        hstring base =
            quortypes::Dir::joinPath(currentFolder, textsPath != "" ? textsPath : getDefaultTextsPath());
        hstring folder = quortypes::Dir::normalize(quortypes::Dir::joinPath(base, getLocalization()));
        if (!quortypes::ResourceDir::exists(folder))
        {
            folder = quortypes::Dir::normalize(quortypes::Dir::joinPath(base, getDefaultLocalization()));
        }
        return folder;
    }

    void Dataset::loadTexts(const hstring& folder)
    {
        quortypes::Log::write(logTag, "Loading texts: " + folder);
        TextsReader(texts).readFolder(folder);
    }

    void Dataset::reloadTexts()
    {
        texts.clear();
        loadTexts(getTextsFolder());
    }

    // "a.b" asks the dataset named a for b.
    static bool splitDatasetKey(const hstring& key, hstring& dataset, hstring& rest)
    {
        return key.split('.', dataset, rest);
    }

    hstring Dataset::getText(const hstring& key)
    {
        hstring datasetName;
        hstring rest;
        if (splitDatasetKey(key, datasetName, rest))
        {
            NameHop hop(key, "Text");
            return getDatasetByName(datasetName)->getText(rest);
        }
        auto it = texts.find(key);
        if (it == texts.end())
        {
            return "ERROR: Text '" + key + "' not found!";
        }
        return it->second;
    }

    bool Dataset::hasText(const hstring& key)
    {
        hstring datasetName;
        hstring rest;
        if (splitDatasetKey(key, datasetName, rest))
        {
            NameHop hop(key, "Text");
            return getDatasetByName(datasetName)->hasText(rest);
        }
        return texts.hasKey(key);
    }

    hstring Dataset::getTextFormatted(const hstring& key)
    {
        return formatTextKey(this, key);
    }
} // namespace tesraui
