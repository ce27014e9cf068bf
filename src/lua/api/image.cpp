#include <algorithm>
#include <cmath>
#include <memory>

#include <lua.hpp>
#include <quortypes/PropertyInfo.h>
#include <quortypes/Dir.h>
#include <tesra/RenderSystem.h>
#include <tesra/tesra.h>
#include <tesraui/CompositeImage.h>
#include <tesraui/Dataset.h>
#include <tesraui/Image.h>
#include <tesraui/ImageButton.h>
#include <tesraui/Object.h>
#include <tesraui/ProgressBase.h>
#include <tesraui/Texture.h>
#include <tesraui/TiledImage.h>
#include <tesraui/ToggleButton.h>
#include <tesraui/tesraui.h>

#include "Chapter.h"
#include "lua/Calls.h"
#include "lua/Host.h"
#include "lua/api/registrars.h"

namespace vumo
{
    namespace LuaInterface
    {
        namespace
        {
            // Images and textures live in chapters (the UI's dataset is one).
            Chapter* chapterArgument(lua_State* L, const hstring& name)
            {
                Chapter* chapter = dynamic_cast<Chapter*>(tesraui::getDatasetByName(name));
                if (chapter == nullptr)
                {
                    raiseLuaError(L, "Dataset '" + name +
                                         "' found, but it's not a Chapter class, dynamic cast failed.");
                }
                return chapter;
            }

            tesraui::Image* findImage(lua_State* L, const hstring& name)
            {
                hstring datasetName;
                hstring imageName;
                if (name.split('.', datasetName, imageName))
                {
                    tesraui::Dataset* dataset = tesraui::getDatasets().tryGet(datasetName, nullptr);
                    if (dataset == nullptr)
                    {
                        raiseLuaError(L, "Failed fetching image '" + name + "', dataset '" + datasetName +
                                             "' not found!");
                    }
                    return dataset->getImage(imageName);
                }
                Scene* scene = getHost().getActiveScene();
                tesraui::Dataset* dataset = (scene != nullptr ? getHost().getSceneDataset(scene) : nullptr);
                if (dataset == nullptr)
                {
                    raiseLuaError(L,
                                  "Failed fetching image '" + name +
                                      "', dataset prefix wasn't given and the active scene is not set yet");
                }
                return dataset->getImage(name);
            }

            tesraui::CompositeImage* compositeOf(lua_State* L, tesraui::Image* image, const hstring& name,
                                                 const char* verb)
            {
                tesraui::CompositeImage* composite = dynamic_cast<tesraui::CompositeImage*>(image);
                if (composite == nullptr)
                {
                    raiseLuaError(L, hstring("Unable to ") + verb + " 'references' property on image '" +
                                         name + "', image not a CompositeImage");
                }
                return composite;
            }

            int pushReferences(lua_State* L, tesraui::CompositeImage* composite)
            {
                const harray<tesraui::CompositeImage::ImageRef>& references = composite->getImageRefs();
                lua_createtable(L, references.size(), 0);
                int index = 0;
                for (int i = 0; i < references.size(); ++i)
                {
                    // An image gone with its chapter reads as absent.
                    tesraui::Image* image = references[i].first.get();
                    if (image == nullptr)
                    {
                        continue;
                    }
                    const kavtypes::Rectangle& rect = references[i].second;
                    lua_createtable(L, 0, 5);
                    push(L, image->getFullName());
                    lua_setfield(L, -2, "name");
                    push(L, rect.x);
                    lua_setfield(L, -2, "x");
                    push(L, rect.y);
                    lua_setfield(L, -2, "y");
                    push(L, rect.w);
                    lua_setfield(L, -2, "w");
                    push(L, rect.h);
                    lua_setfield(L, -2, "h");
                    lua_rawseti(L, -2, ++index);
                }
                return 1;
            }

            // All references are found before the composite changes, so a bad entry changes nothing.
            void setReferences(lua_State* L, tesraui::CompositeImage* composite, int index)
            {
                if (!lua_istable(L, index))
                {
                    raiseLuaError(L, "Unable to set 'references' property on image '" +
                                         composite->getFullName() + "', a table of references expected");
                }
                harray<tesraui::CompositeImage::ImageRef> references;
                const int count = (int)lua_objlen(L, index);
                for (int i = 1; i <= count; ++i)
                {
                    lua_rawgeti(L, index, i);
                    const int entry = lua_gettop(L);
                    if (!lua_istable(L, entry))
                    {
                        raiseLuaError(L, "Unable to set 'references' property on image '" +
                                             composite->getFullName() + "', every reference must be a table");
                    }
                    tesraui::Image* image = findImage(L, getTableValueString(L, entry, "image"));
                    kavtypes::Rectangle rect(
                        getTableNumber(L, entry, "x", 0.0f), getTableNumber(L, entry, "y", 0.0f),
                        getTableNumber(L, entry, "w", 0.0f), getTableNumber(L, entry, "h", 0.0f));
                    references.push_back(std::make_pair(image, rect));
                    lua_pop(L, 1);
                }
                // A composite drawn inside itself, or inside too many others, would recurse past the stack.
                const hstring refusal = composite->refusal(references);
                if (refusal != "")
                {
                    raiseLuaError(L, "Unable to set 'references' property on image '" +
                                         composite->getFullName() + "', " + refusal);
                }
                composite->setImageRefs(references);
            }

            void setImageProperty(lua_State* L, tesraui::Image* image, const hstring& name,
                                  const hstring& property, int valueIndex)
            {
                if (property == "references")
                {
                    setReferences(L, compositeOf(L, image, name, "set"), valueIndex);
                    return;
                }
                hstring value =
                    (lua_type(L, valueIndex) == LUA_TBOOLEAN ? hstring(toBool(L, valueIndex) ? "1" : "0")
                                                             : toString(L, valueIndex));
                const hstring refusal =
                    PropertyInfo::valueRefusal(image->getPropertyDescriptions(), property, value);
                if (refusal != "")
                {
                    raiseLuaError(L, "Unable to set property '" + property + "' of image '" + name + "', " +
                                         property + " " + refusal + ".");
                }
                if (!image->setProperty(property, value))
                {
                    raiseLuaError(L, "Image '" + name + "' has no property named: " + property);
                }
            }

            hstring textureName(Chapter* chapter, const hstring& file);

            // The texture is named as every texture call names it.
            tesraui::Image* makeImage(lua_State* L, const hstring& type, Chapter* chapter,
                                      const hstring& texture, const hstring& name,
                                      const kavtypes::Rectangle& rect)
            {
                if (type == "CompositeImage")
                {
                    return new tesraui::CompositeImage(name, rect.getSize());
                }
                tesraui::Texture* owner = chapter->getTexture(textureName(chapter, texture));
                if (type == "Image")
                {
                    return new tesraui::Image(owner, name, rect);
                }
                if (type == "TiledImage")
                {
                    return new tesraui::TiledImage(owner, name, rect, 0.0f, 0.0f);
                }
                raiseLuaError(L, "image.create: unknown image type '" + type + "'");
            }

            int image_create(lua_State* L)
            {
                const int count = lua_gettop(L);
                if (count == 0)
                {
                    raiseLuaError(L, "image.create expects at least 1 argument");
                }
                if (!lua_istable(L, 1))
                {
                    checkArgsExact(L, 7, "image.create", "sssnnnn");
                    Chapter* chapter = chapterArgument(L, toString(L, 1));
                    const kavtypes::Rectangle rect(
                        finiteArgument(L, 4, "image.create"), finiteArgument(L, 5, "image.create"),
                        finiteArgument(L, 6, "image.create"), finiteArgument(L, 7, "image.create"));
                    std::unique_ptr<tesraui::Image> image(
                        makeImage(L, "Image", chapter, toString(L, 2), toString(L, 3), rect));
                    return push(L, chapter->registerImage(std::move(image))->getName());
                }
                const hstring type = getTableStringOr(L, 1, "type", "Image");
                Chapter* chapter = chapterArgument(L, getTableValueString(L, 1, "dataset"));
                const hstring name = getTableValueString(L, 1, "name");
                const hstring texture = getTableStringOr(L, 1, "texture", "");
                const kavtypes::Rectangle rect(
                    getTableNumber(L, 1, "x", 0.0f), getTableNumber(L, 1, "y", 0.0f),
                    getTableNumber(L, 1, "w", 0.0f), getTableNumber(L, 1, "h", 0.0f));
                if (!std::isfinite(rect.x) || !std::isfinite(rect.y) || !std::isfinite(rect.w) ||
                    !std::isfinite(rect.h))
                {
                    raiseLuaError(L, "image.create failed, NaN/INF value passed in the rectangle of image '" +
                                         name + "'.");
                }
                std::unique_ptr<tesraui::Image> image(makeImage(L, type, chapter, texture, name, rect));
                // Until registered the image is not in the dataset; references resolve through their own
                // names.
                lua_pushnil(L);
                while (lua_next(L, 1) != 0)
                {
                    const hstring key = (lua_type(L, -2) == LUA_TSTRING ? toString(L, -2) : hstring());
                    if (key != "" && key != "type" && key != "dataset" && key != "name" && key != "texture" &&
                        key != "x" && key != "y" && key != "w" && key != "h")
                    {
                        setImageProperty(L, image.get(), name, key, lua_gettop(L));
                    }
                    lua_pop(L, 1);
                }
                return push(L, chapter->registerImage(std::move(image))->getName());
            }

            // The file the render system loads for a path, the texture extensions tried as loading tries
            // them; the path itself when no file is found.
            hstring textureFile(const hstring& path)
            {
                if (tesra::rendersys != nullptr)
                {
                    hstring found = tesra::rendersys->findTextureResource(path);
                    if (found == "")
                    {
                        found = tesra::rendersys->findTextureFile(path);
                    }
                    if (found != "")
                    {
                        return found;
                    }
                }
                return path;
            }

            // The name a texture file of the chapter is registered under when a script makes it, so that
            // "items" and "items.png" name one texture in every texture call.
            hstring texturePath(Chapter* chapter, const hstring& file)
            {
                return textureFile(quortypes::Dir::normalize(chapter->getFolderPath() + "/" + file));
            }

            // The registered texture a file argument names: the one made from the file it resolves to,
            // whether a script made it (kept under that file) or the chapter's definition did (kept under its
            // base name); else a name the chapter holds as given (the name createTexture returned).
            hstring textureName(Chapter* chapter, const hstring& file)
            {
                const hstring path = texturePath(chapter, file);
                if (chapter->hasTexture(path))
                {
                    return path;
                }
                const hstring folder = quortypes::Dir::baseDir(path);
                for (const auto& pair : chapter->getTextures())
                {
                    // Resolving only adds an extension: a file of another folder is never the same one.
                    const hstring& requested = pair.second->getRequestedFilename();
                    if (quortypes::Dir::baseDir(requested) == folder && textureFile(requested) == path)
                    {
                        return pair.first;
                    }
                }
                return (chapter->hasTexture(file) ? file : path);
            }

            int image_createTexture(lua_State* L)
            {
                checkArgsExact(L, 2, "image.createTexture", "ss");
                Chapter* chapter = chapterArgument(L, toString(L, 1));
                const hstring file = toString(L, 2);
                const hstring registered = textureName(chapter, file);
                // Loaded once: a second registration would fail after the file had been read again.
                if (chapter->hasTexture(registered))
                {
                    return push(L, registered);
                }
                const hstring path = texturePath(chapter, file);
                tesra::Texture* renderTexture = nullptr;
                if (tesra::rendersys != nullptr)
                {
                    renderTexture = tesra::rendersys->createTextureFromResource(path);
                    if (renderTexture == nullptr)
                    {
                        renderTexture = tesra::rendersys->createTextureFromFile(path);
                    }
                }
                if (renderTexture == nullptr)
                {
                    raiseLuaError(L, "Unable to create texture, '" + file + "' not found");
                }
                auto texture = std::make_unique<tesraui::Texture>(path, renderTexture);
                return push(L, chapter->registerTexture(std::move(texture))->getFilename());
            }

            // Every image the object keeps, whether it draws it now or may later: a button's normal image
            // while disabled, its toggled set, a progress object's progress and mask images.
            harray<tesraui::Image*> keptImages(tesraui::Object* object)
            {
                harray<tesraui::Image*> kept = object->getImages();
                if (auto* button = dynamic_cast<tesraui::ImageButton*>(object))
                {
                    kept.push_back(button->getImage());
                    kept.push_back(button->getHoverImage());
                    kept.push_back(button->getPushedImage());
                    kept.push_back(button->getDisabledImage());
                }
                if (auto* toggle = dynamic_cast<tesraui::ToggleButton*>(object))
                {
                    kept.push_back(toggle->getToggledImage());
                    kept.push_back(toggle->getToggledHoverImage());
                    kept.push_back(toggle->getToggledPushedImage());
                    kept.push_back(toggle->getToggledDisabledImage());
                }
                if (auto* progress = dynamic_cast<tesraui::ProgressBase*>(object))
                {
                    kept.push_back(progress->getProgressImage());
                    kept.push_back(progress->getMaskImage());
                }
                return kept;
            }

            // The first object or composite image that still keeps the image; deleting it would leave them
            // drawing nothing where the image was.
            hstring findImageUser(tesraui::Image* image)
            {
                for (const auto& datasetPair : tesraui::getDatasets())
                {
                    for (const auto& objectPair : datasetPair.second->getObjects())
                    {
                        const harray<tesraui::Image*> kept = keptImages(objectPair.second);
                        if (std::find(kept.begin(), kept.end(), image) != kept.end())
                        {
                            return objectPair.second->getFullName();
                        }
                    }
                    for (const auto& imagePair : datasetPair.second->getImages())
                    {
                        auto* composite = dynamic_cast<tesraui::CompositeImage*>(imagePair.second.get());
                        if (composite == nullptr || composite == image)
                        {
                            continue;
                        }
                        for (const auto& reference : composite->getImageRefs())
                        {
                            if (reference.first == image)
                            {
                                return composite->getFullName();
                            }
                        }
                    }
                }
                return "";
            }

            // A composite's references to itself go with it.
            int countOwnReferences(tesraui::Image* image)
            {
                auto* composite = dynamic_cast<tesraui::CompositeImage*>(image);
                if (composite == nullptr)
                {
                    return 0;
                }
                const harray<tesraui::CompositeImage::ImageRef>& references = composite->getImageRefs();
                return (int)std::count_if(references.begin(), references.end(),
                                          [image](const tesraui::CompositeImage::ImageRef& reference)
                                          { return reference.first == image; });
            }

            int image_destroy(lua_State* L)
            {
                checkArgsExact(L, 2, "image.destroy", "ss");
                Chapter* chapter = chapterArgument(L, toString(L, 1));
                const auto entry = chapter->getImages().find(toString(L, 2));
                tesraui::Image* image = entry != chapter->getImages().end()
                                            ? entry->second.get()
                                            : chapter->getImage(toString(L, 2));
                hstring user = findImageUser(image);
                // The count knows every holder, also those no dataset lists.
                if (user == "" && image->countHolders() > countOwnReferences(image))
                {
                    user = "an object or image outside every dataset";
                }
                if (user != "")
                {
                    raiseLuaError(L,
                                  formatString("Error destroying image '%s', another object is using it: %s",
                                               image->getFullName().c_str(), user.c_str()));
                }
                // A dotted name found the image in the dataset it names, which is the one that lets it go.
                image->getDataset()->destroyImage(image);
                return 0;
            }

            int image_destroyTexture(lua_State* L)
            {
                checkArgsExact(L, 2, "image.destroyTexture", "ss");
                Chapter* chapter = chapterArgument(L, toString(L, 1));
                tesraui::Texture* texture = chapter->getTexture(textureName(chapter, toString(L, 2)));
                for (const auto& datasetPair : tesraui::getDatasets())
                {
                    for (const auto& imagePair : datasetPair.second->getImages())
                    {
                        if (imagePair.second->getTexture() == texture)
                        {
                            raiseLuaError(
                                L,
                                formatString("Error destroying texture '%s', another image is using it: %s",
                                             texture->getFilename().c_str(),
                                             imagePair.second->getFullName().c_str()));
                        }
                    }
                }
                chapter->destroyTexture(texture);
                return 0;
            }

            int image_exists(lua_State* L)
            {
                checkArgsExact(L, 2, "image.exists", "ss");
                return push(L, chapterArgument(L, toString(L, 1))->getImages().hasKey(toString(L, 2)));
            }

            int image_textureExists(lua_State* L)
            {
                checkArgsExact(L, 2, "image.textureExists", "ss");
                Chapter* chapter = chapterArgument(L, toString(L, 1));
                return push(L, chapter->hasTexture(textureName(chapter, toString(L, 2))));
            }

            int image_getProperty(lua_State* L)
            {
                checkArgsExact(L, 2, "image.getProperty", "ss");
                const hstring name = toString(L, 1);
                const hstring property = toString(L, 2);
                tesraui::Image* image = findImage(L, name);
                if (property == "references")
                {
                    return pushReferences(L, compositeOf(L, image, name, "get"));
                }
                for (const PropertyInfo& info : image->getPropertyDescriptions())
                {
                    if (info.name == property)
                    {
                        return pushTyped(L, image->getProperty(property), info.type);
                    }
                }
                raiseLuaError(L, "Image '" + name + "' has no property named: " + property);
            }

            int image_setProperty(lua_State* L)
            {
                checkArgsExact(L, 3, "image.setProperty", "ss?");
                const hstring name = toString(L, 1);
                setImageProperty(L, findImage(L, name), name, toString(L, 2), 3);
                return 0;
            }
        } // namespace

        void registerImage()
        {
            registerFunction(image_create, "image.create");
            registerFunction(image_createTexture, "image.createTexture");
            registerFunction(image_destroy, "image.destroy");
            registerFunction(image_destroyTexture, "image.destroyTexture");
            registerFunction(image_exists, "image.exists");
            registerFunction(image_textureExists, "image.textureExists");
            registerFunction(image_getProperty, "image.getProperty");
            registerFunction(image_setProperty, "image.setProperty");
        }
    } // namespace LuaInterface
} // namespace vumo
