#include <algorithm>

#include <quortypes/exception.h>
#include <quortypes/util.h>
#include <tesra/RenderSystem.h>
#include <tesra/tesra.h>
#include <tesraui/Texture.h>
#include <tesraui/tesraui.h>

#include "libraryState.h"

namespace tesraui
{
    static kavtypes::Vector2 scaleOf(const hstring& filename)
    {
        float scale = findTextureExtensionScale(filename);
        return kavtypes::Vector2(scale, scale);
    }

    // A texture that is not loaded yet takes its size from the file's header, so that images over the
    // whole of it get their size before the first use loads the pixels.
    static kavtypes::Vector2 headerSizeOf(tesra::Texture* renderTexture)
    {
        int width = 0, height = 0;
        if (tesra::Image::readSize(renderTexture->getFilename(), renderTexture->isFromResource(), width,
                                   height))
        {
            return kavtypes::Vector2((float)width, (float)height);
        }
        return kavtypes::Vector2();
    }

    Texture::Texture(const hstring& requestedFilename, std::unique_ptr<tesra::Texture> renderTexture)
        : requestedFilename(requestedFilename), filename(renderTexture->getFilename()),
          scale(scaleOf(renderTexture->getFilename())), dynamic(!renderTexture->isLoaded()),
          filter(renderTexture->getFilter()), addressMode(renderTexture->getAddressMode()),
          headerSize(-1.0f, -1.0f)
    {
        this->renderTexture = std::move(renderTexture);
    }

    Texture::Texture(const hstring& requestedFilename, tesra::Texture* renderTexture)
        : Texture(requestedFilename, std::unique_ptr<tesra::Texture>(renderTexture))
    {
    }

    Texture::~Texture()
    {
        this->life.end();
        for (Texture* link : links)
        {
            link->links.removeAll(this);
        }
        links.clear();
    }

    kavtypes::Vector2 Texture::_getPixelSize() const
    {
        if (this->renderTexture == nullptr)
        {
            return kavtypes::Vector2();
        }
        if (this->renderTexture->isLoaded())
        {
            // Kept, so that the size asked for again after an unload needs no second look at the file.
            headerSize = kavtypes::Vector2((float)this->renderTexture->getWidth(),
                                           (float)this->renderTexture->getHeight());
            return headerSize;
        }
        // The header is read only when the size is wanted before the pixels: most textures are cut into
        // images of their own rects, and loading them reads the file anyway.
        if (headerSize.x < 0.0f)
        {
            headerSize = headerSizeOf(this->renderTexture.get());
        }
        if (headerSize.x > 0.0f)
        {
            return headerSize;
        }
        return kavtypes::Vector2((float)this->renderTexture->getWidth(),
                                 (float)this->renderTexture->getHeight());
    }

    int Texture::getWidth() const
    {
        return quortypes::truncateToInt(_getPixelSize().x * scale.x);
    }

    int Texture::getHeight() const
    {
        return quortypes::truncateToInt(_getPixelSize().y * scale.y);
    }

    tesra::Texture* Texture::getRenderTexture()
    {
        idleTime = 0.0f;
        for (Texture* link : links)
        {
            link->idleTime = 0.0f;
        }
        return this->renderTexture.get();
    }

    bool Texture::isLoaded() const
    {
        return this->renderTexture != nullptr && this->renderTexture->isLoaded();
    }

    void Texture::load(bool ownOnly)
    {
        idleTime = 0.0f;
        if (this->renderTexture != nullptr && !this->renderTexture->isLoaded())
        {
            this->renderTexture->load();
        }
        if (!ownOnly)
        {
            for (Texture* link : links)
            {
                link->load(true);
            }
        }
    }

    void Texture::unload()
    {
        if (this->renderTexture != nullptr)
        {
            this->renderTexture->unload();
        }
    }

    void Texture::update(float timeDelta)
    {
        if (!dynamic || !isLoaded())
        {
            return;
        }
        idleTime += timeDelta;
        float limit = getTextureIdleUnloadTime();
        if (limit > 0.0f && idleTime >= limit)
        {
            // At the frame's end, with what scripts destroyed; a draw before then keeps it.
            _unloadIdleTexture(this);
        }
    }

    void Texture::reload(const hstring& filename)
    {
        if (filename == this->filename)
        {
            return;
        }
        // The new texture is made first, so that a missing file leaves the old one in place and drawable.
        bool loadNow = !dynamic && !isDefaultDynamicLoading();
        std::unique_ptr<tesra::Texture> created(
            tesra::rendersys->createTextureFromResource(filename, tesra::Texture::Type::IMMUTABLE, loadNow));
        if (created == nullptr)
        {
            throw quortypes::_file_not_found(filename, true, "src/Texture", __LINE__);
        }
        this->renderTexture = std::move(created);
        idleTime = 0.0f;
        this->filename = this->renderTexture->getFilename();
        this->renderTexture->setFilter(filter);
        this->renderTexture->setAddressMode(addressMode);
        scale = scaleOf(this->filename);
        headerSize = kavtypes::Vector2(-1.0f, -1.0f);
    }

    void Texture::setFilter(tesra::Texture::Filter value)
    {
        filter = value;
        if (this->renderTexture != nullptr)
        {
            this->renderTexture->setFilter(value);
        }
    }

    void Texture::setAddressMode(tesra::Texture::AddressMode value)
    {
        addressMode = value;
        if (this->renderTexture != nullptr)
        {
            this->renderTexture->setAddressMode(value);
        }
    }

    void Texture::addLink(Texture* other)
    {
        if (std::find(links.begin(), links.end(), other) == links.end())
        {
            links.push_back(other);
        }
        if (std::find(other->links.begin(), other->links.end(), this) == other->links.end())
        {
            other->links.push_back(this);
        }
    }
} // namespace tesraui
