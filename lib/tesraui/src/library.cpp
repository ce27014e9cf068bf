#include <cmath>

#include <quortypes/Dir.h>
#include <quortypes/Log.h>
#include <tesra/tesra.h>
#include <tesraui/ButtonBase.h>
#include <tesraui/Dataset.h>
#include <tesraui/LifeToken.h>
#include <tesraui/Object.h>
#include <tesraui/tesraui.h>

#include "libraryState.h"

namespace tesraui
{
    static bool hoverEffect = true;
    static bool limitCursorToViewport = true;
    static bool defaultDynamicLoading = false;
    static float textureIdleUnloadTime = 0.0f;
    static float defaultScale = 1.0f;
    static hstring defaultTextsPath = "texts";
    static hstring localization = "";
    static hstring defaultLocalization = "";
    static kavtypes::Rectangle viewport;
    static Watched<Object> modalLayer;
    static hdict<float> textureExtensionScales;

    void _registerFactories();
    void _registerAnimatorFactories();

    void init()
    {
        quortypes::Log::write(logTag, "Initializing TesraUI.");
        _setDestroying(false);
        setDeferredFrees(false);
        defaultScale = 1.0f;
        limitCursorToViewport = true;
        hoverEffect = true;
        modalLayer = Watched<Object>();
        setDebugEnabled(false);
        defaultTextsPath = "texts";
        localization = "";
        textureIdleUnloadTime = 0.0f;
        if (tesra::window != nullptr)
        {
            viewport.w = (float)tesra::window->getWidth();
            viewport.h = (float)tesra::window->getHeight();
        }
        _forgetFractionAlphaWarning();
        ButtonBase::setAllowedKeys({1});
        ButtonBase::setAllowedButtons({11});
        _registerFactories();
        _registerAnimatorFactories();
    }

    void destroy()
    {
        quortypes::Log::write(logTag, "Destroying TesraUI.");
        // Datasets that the ones going make meanwhile are not registered; those made after it are.
        freeDestroyed();
        _setDestroying(true);
        _destroyDatasets();
        _clearRegistries();
        _setDestroying(false);
        // What the datasets' own objects destroyed as they went.
        freeDestroyed();
        setDeferredFrees(false);
        modalLayer = Watched<Object>();
    }

    bool isHoverEffectEnabled()
    {
        return hoverEffect;
    }

    void setHoverEffectEnabled(bool value)
    {
        hoverEffect = value;
    }

    void setModalLayer(Object* layer)
    {
        modalLayer = Watched<Object>(layer);
    }

    Object* getModalLayer()
    {
        return modalLayer.get();
    }

    void setLimitCursorToViewport(bool value)
    {
        limitCursorToViewport = value;
    }

    bool isDefaultDynamicLoading()
    {
        return defaultDynamicLoading;
    }

    void setDefaultDynamicLoading(bool value)
    {
        defaultDynamicLoading = value;
    }

    float getTextureIdleUnloadTime()
    {
        return textureIdleUnloadTime;
    }

    void setTextureIdleUnloadTime(float value)
    {
        textureIdleUnloadTime = value;
    }

    float getDefaultScale()
    {
        return defaultScale;
    }

    hstring getDefaultTextsPath()
    {
        return defaultTextsPath;
    }

    hstring getLocalization()
    {
        return localization;
    }

    hstring getDefaultLocalization()
    {
        return defaultLocalization;
    }

    void setLocalization(const hstring& name)
    {
        quortypes::Log::write(logTag, "Setting localization to: " + name);
        hstring oldLocalization = localization;
        localization = name;
        if (name == oldLocalization)
        {
            return;
        }
        _forEachDataset(
            [](Dataset* dataset)
            {
                if (dataset->isLoaded())
                {
                    dataset->reloadTexts();
                    dataset->reloadTextures();
                }
            });
        _forEachDataset(
            [](Dataset* dataset)
            {
                if (dataset->isLoaded())
                {
                    dataset->notifyEvent("onLocalizationChanged", nullptr);
                }
            });
    }

    void setTextureExtensionScales(const harray<hstring>& extensions, const harray<float>& scales)
    {
        harray<float> allScales = scales;
        while (allScales.size() < extensions.size())
        {
            allScales.push_back(1.0f);
        }
        textureExtensionScales.clear();
        for (int i = 0; i < extensions.size(); ++i)
        {
            textureExtensionScales[extensions[i]] = allScales[i];
        }
        tesra::setTextureExtensions(extensions);
    }

    float getTextureExtensionScale(const hstring& extension)
    {
        return textureExtensionScales.tryGet(extension, 1.0f);
    }

    float findTextureExtensionScale(const hstring& filename)
    {
        // The rendering library's order decides, as it does when it looks for the file.
        for (const hstring& extension : tesra::getTextureExtensions())
        {
            if (filename.endsWith(extension))
            {
                return getTextureExtensionScale(extension);
            }
        }
        return 1.0f;
    }

    void setViewport(const kavtypes::Rectangle& rect)
    {
        viewport = rect;
    }

    // A minimised window reports a size of 0; that axis then maps to the viewport's origin.
    static float toViewport(float position, float viewportSize, int windowSize, float origin, bool limit)
    {
        float result = -origin;
        if (windowSize != 0)
        {
            result = std::trunc(viewportSize * position / windowSize) - origin;
        }
        if (limit)
        {
            if (result < 0.0f)
            {
                result = 0.0f;
            }
            else if (result > viewportSize - 1.0f)
            {
                result = viewportSize - 1.0f;
            }
        }
        return result;
    }

    kavtypes::Vector2 transformWindowToViewport(const kavtypes::Vector2& position)
    {
        int width = tesra::window != nullptr ? tesra::window->getWidth() : 0;
        int height = tesra::window != nullptr ? tesra::window->getHeight() : 0;
        return kavtypes::Vector2(
            toViewport(position.x, viewport.w, width, viewport.x, limitCursorToViewport),
            toViewport(position.y, viewport.h, height, viewport.y, limitCursorToViewport));
    }

    void updateCursorPosition()
    {
        if (tesra::window != nullptr)
        {
            setCursorPosition(transformWindowToViewport(tesra::window->getCursorPosition()));
        }
    }

    hstring getLocalisedFilename(const hstring& filename)
    {
        if (localization == "" || tesra::rendersys == nullptr)
        {
            return filename;
        }
        hstring candidate = quortypes::Dir::joinPath(
            quortypes::Dir::joinPath(quortypes::Dir::baseDir(filename), localization),
            quortypes::Dir::baseName(filename));
        hstring found = tesra::rendersys->findTextureResource(candidate);
        return found != "" ? found : filename;
    }
} // namespace tesraui
