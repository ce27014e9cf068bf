#pragma once

#include <memory>

#include <kavtypes/Vector2.h>
#include <quortypes/harray.h>
#include <quortypes/hstring.h>
#include <tesra/Texture.h>
#include <tesraui/LifeToken.h>

namespace tesraui
{
    // A render texture as the UI sees it: sized in UI pixels, reloadable for another localisation,
    // loaded on first use when dynamic and unloaded again after lying idle.
    class Texture
    {
    public:
        Texture(const hstring& requestedFilename, std::unique_ptr<tesra::Texture> renderTexture);
        // Takes ownership of the render texture.
        Texture(const hstring& requestedFilename, tesra::Texture* renderTexture);
        ~Texture();
        Texture(const Texture&) = delete;
        Texture& operator=(const Texture&) = delete;

        const hstring& getRequestedFilename() const { return requestedFilename; }
        const hstring& getFilename() const { return filename; }
        int getWidth() const;
        int getHeight() const;
        float getIdleTime() const { return idleTime; }
        bool isDynamic() const { return dynamic; }
        const harray<Texture*>& getLinks() const { return links; }
        // Counts as a use: the idle time of this texture and its links starts again.
        tesra::Texture* getRenderTexture();
        bool isLoaded() const;
        bool hasRenderTexture() const { return renderTexture != nullptr; }

        void load(bool ownOnly = false);
        void unload();
        // Ages a loaded dynamic texture and unloads it once it has been idle for the library's unload time.
        void update(float timeDelta);
        // Throws quortypes::_file_not_found when no file of that name exists.
        void reload(const hstring& filename);
        void setFilter(tesra::Texture::Filter value);
        tesra::Texture::AddressMode getAddressMode() const { return addressMode; }
        void setAddressMode(tesra::Texture::AddressMode value);
        // Links are two-way and never repeated.
        void addLink(Texture* other);
        // For code that holds the texture across calls that may destroy it: the watch ends when its dataset
        // destroys it, before its memory goes.
        LifeToken::Watch watchLife() { return this->life.watch(); }

    protected:
        hstring requestedFilename;
        hstring filename;
        std::unique_ptr<tesra::Texture> renderTexture;
        kavtypes::Vector2 scale;
        float idleTime = 0.0f;
        bool dynamic;
        harray<Texture*> links;
        tesra::Texture::Filter filter;
        tesra::Texture::AddressMode addressMode;
        // The size last seen: from the file's header while the render texture is not loaded yet, else from
        // the loaded pixels; (0, 0) when the header could not be read, negative before it was looked at.
        mutable kavtypes::Vector2 headerSize;

        kavtypes::Vector2 _getPixelSize() const;

    private:
        friend class Dataset;
        LifeToken life;
    };
} // namespace tesraui
