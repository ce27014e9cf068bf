#include <tesra/RenderSystem.h>

#include <memory>

#include <quortypes/File.h>
#include <quortypes/Resource.h>
#include <tesra/tesra.h>

namespace tesra
{
    static bool fileExists(const hstring& name)
    {
        return quortypes::File::exists(name);
    }

    static bool resourceExists(const hstring& name)
    {
        return quortypes::Resource::exists(name);
    }

    // "dir/bg.png" -> "dir/bg"; a point inside a folder name is not an extension.
    static hstring withoutExtension(const hstring& name)
    {
        size_t dot = name.rfind('.');
        size_t slash = name.find_last_of("/\\");
        if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        {
            return name;
        }
        return hstring(name.substr(0, dot));
    }

    hstring RenderSystem::findTexture(const hstring& name, bool (*exists)(const hstring&))
    {
        if (name == "")
        {
            return "";
        }
        if (exists(name))
        {
            return name;
        }
        harray<hstring> extensions = getTextureExtensions();
        for (const hstring& extension : extensions)
        {
            hstring candidate = name + extension;
            if (exists(candidate))
            {
                return candidate;
            }
        }
        hstring stem = withoutExtension(name);
        if (stem != name)
        {
            for (const hstring& extension : extensions)
            {
                hstring candidate = stem + extension;
                if (exists(candidate))
                {
                    return candidate;
                }
            }
        }
        return "";
    }

    hstring RenderSystem::findTextureFile(const hstring& name)
    {
        return findTexture(name, &fileExists);
    }

    hstring RenderSystem::findTextureResource(const hstring& name)
    {
        return findTexture(name, &resourceExists);
    }

    Texture* RenderSystem::createTexture(const unsigned char* data, int width, int height,
                                         Image::Format format, Texture::Type type)
    {
        std::unique_ptr<Texture> texture = createTextureObject(false);
        if (!texture->create(data, width, height, format, type))
        {
            return nullptr;
        }
        return texture.release();
    }

    Texture* RenderSystem::createTexture(int width, int height, const Color& color, Image::Format format,
                                         Texture::Type type)
    {
        std::unique_ptr<Texture> texture = createTextureObject(false);
        if (!texture->create(width, height, color, format, type))
        {
            return nullptr;
        }
        return texture.release();
    }

    Texture* RenderSystem::createTextureFrom(const hstring& name, Texture::Type type, bool loadImmediately,
                                             bool fromResource)
    {
        hstring fullName = fromResource ? findTextureResource(name) : findTextureFile(name);
        if (fullName == "")
        {
            return nullptr;
        }
        std::unique_ptr<Texture> texture = createTextureObject(fromResource);
        if (!texture->registerFile(fullName, type) ||
            (loadImmediately && !texture->load() && !texture->isLoaded()))
        {
            return nullptr;
        }
        return texture.release();
    }

    Texture* RenderSystem::createTextureFromFile(const hstring& name, Texture::Type type,
                                                 bool loadImmediately)
    {
        return createTextureFrom(name, type, loadImmediately, false);
    }

    Texture* RenderSystem::createTextureFromResource(const hstring& name, Texture::Type type,
                                                     bool loadImmediately)
    {
        return createTextureFrom(name, type, loadImmediately, true);
    }
} // namespace tesra
