#include <algorithm>
#include <cctype>
#include <cstring>
#include <strings.h>
#include <filesystem>
#include <memory>

#include <quortypes/Dir.h>
#include <quortypes/Log.h>
#include <quortypes/Resource.h>
#include <quortypes/ResourceDir.h>
#include <quortypes/exception.h>
#include <quorxml/Document.h>
#include <quorxml/Node.h>
#include <quorxml/Property.h>
#include <quorxml/exception.h>
#include <tesra/RenderSystem.h>
#include <tesra/tesra.h>
#include <tesraui/Animator.h>
#include <tesraui/CompositeImage.h>
#include <tesraui/Dataset.h>
#include <tesraui/Image.h>
#include <tesraui/Object.h>
#include <tesraui/Texture.h>
#include <tesraui/TiledImage.h>
#include <tesraui/exception.h>
#include <tesraui/tesraui.h>

#include "LocatedError.h"

using quortypes::Dir;

namespace tesraui
{
    namespace
    {
        // Keeps a file on the stack of files being parsed while it is parsed; a file already on it would
        // include itself again without end.
        class ParsingFile
        {
        public:
            ParsingFile(harray<hstring>& stack, const hstring& path) : stack(stack)
            {
                if (std::find(stack.begin(), stack.end(), path) != stack.end())
                {
                    throw quortypes::exception("Include cycle: '" + path + "' includes itself again",
                                               "src/Dataset", __LINE__);
                }
                stack.push_back(path);
            }
            ~ParsingFile() { this->stack.pop_back(); }
            ParsingFile(const ParsingFile&) = delete;
            ParsingFile& operator=(const ParsingFile&) = delete;

        private:
            harray<hstring>& stack;
        };

        bool isGeometry(const hstring& name)
        {
            return name == "rect" || name == "position" || name == "size" || name == "x" || name == "y" ||
                   name == "w" || name == "h";
        }

        // How the numbers of a property's text are read by its setter, to tell what a text it cannot hold
        // came out as; a bounded property's setter holds them within its bounds.
        hstring readAs(const PropertyInfo& info, const hstring& value)
        {
            const int type = info.type;
            if (type == PropertyInfo::INT)
            {
                return hstring(info.isBounded()
                                   ? (int)PropertyInfo::heldWithin(value.toInt(), info.lowest, info.highest)
                                   : value.toInt());
            }
            if (type == PropertyInfo::UCHAR)
            {
                return hstring(value.toInt() & 0xFF);
            }
            if (type == PropertyInfo::FLOAT)
            {
                const double read = value.toFloat();
                return formatString("%g", info.isBounded()
                                              ? PropertyInfo::heldWithin(read, info.lowest, info.highest)
                                              : read);
            }
            harray<hstring> parts;
            for (const hstring& part : value.split(','))
            {
                parts.push_back(formatString("%g", (double)part.trimmed().toFloat()));
            }
            return parts.joined(",");
        }

        // Whether a number property of some type could refuse the text. Nearly every text of a data file is a
        // name or a list of small whole numbers, which none refuses, so a character scan spares them the
        // property's description and the number readers. Anything else (a fraction, an exponent, a run of
        // more than `digits` digits, "nan" or "inf") is looked at whole. An int holds every whole number of
        // nine digits, a bounded property every one of three.
        bool mayBeUnheld(const hstring& value, int maxDigits)
        {
            // Part by part, as a rectangle or a vector is read; a part that starts with no digit (a word)
            // reads as no number, which nothing refuses.
            for (const char* c = value.c_str();; ++c)
            {
                c += std::strspn(c, " \t");
                c += (*c == '-' || *c == '+') ? 1 : 0;
                if (strncasecmp(c, "nan", 3) == 0 || strncasecmp(c, "inf", 3) == 0)
                {
                    return true;
                }
                if (isdigit((unsigned char)*c) || *c == '.')
                {
                    int digits = 0;
                    for (; *c != '\0' && *c != ','; ++c)
                    {
                        const bool digit = isdigit((unsigned char)*c);
                        if ((digit && ++digits > maxDigits) || (!digit && *c != ' '))
                        {
                            return true;
                        }
                    }
                }
                c = std::strchr(c, ',');
                if (c == nullptr)
                {
                    return false;
                }
            }
        }

        // A number its property cannot hold is set as ever (files in use may hold such numbers), but the
        // file's writer is told where, or the typo would only show as something out of place. `owner` is
        // "object", "animator" or "image".
        void warnUnheld(quorxml::Node* node, const char* owner, const hstring& ownerName,
                        const PropertyInfo& info, const hstring& value)
        {
            const hstring refusal = PropertyInfo::valueRefusal(info, value);
            if (refusal != "")
            {
                quortypes::Log::warnf(logTag, "Property '%s' of %s '%s': %s, read as %s, in file %s, line %d",
                                      info.name.c_str(), owner, ownerName.c_str(), refusal.c_str(),
                                      readAs(info, value).c_str(), node->getFilename().c_str(),
                                      node->getLine());
            }
        }

        // The type the geometry attribute is read as by readRectNode, or -1 when another attribute is read
        // in its stead.
        int geometryType(quorxml::Node* node, const hstring& name)
        {
            if (name == "rect")
            {
                return PropertyInfo::RECT;
            }
            if (node->hasProperty("rect"))
            {
                return -1;
            }
            if (name == "position" || name == "size")
            {
                return PropertyInfo::GVEC2;
            }
            const bool placed = (name == "x" || name == "y");
            return (node->hasProperty(placed ? "position" : "size") ? -1 : PropertyInfo::FLOAT);
        }

        // Every attribute but the geometry ones, in document order; the geometry ones (read by readRectNode)
        // only looked at for numbers they cannot hold, when `geometry`.
        template <typename Target>
        void applyProperties(quorxml::Node* node, Target* target, const char* owner, const hstring& ownerName,
                             bool geometry)
        {
            // Asked only for a text that could be refused: building it costs more than most objects' load.
            harray<PropertyInfo> descriptions;
            bool described = false;
            for (quorxml::Property* property = node->firstProperty(); property != nullptr;
                 property = property->next())
            {
                const hstring name = property->getName();
                if (isGeometry(name))
                {
                    if (geometry)
                    {
                        const hstring value = property->getValue();
                        // The geometry's types have no bounds.
                        const int type = (mayBeUnheld(value, 9) ? geometryType(node, name) : -1);
                        if (type >= 0)
                        {
                            warnUnheld(node, owner, ownerName, PropertyInfo(name, type), value);
                        }
                    }
                    continue;
                }
                const hstring value = property->getValue();
                located(node, [&]() { target->setProperty(name, value); });
                if (!mayBeUnheld(value, 3))
                {
                    continue;
                }
                if (!described)
                {
                    descriptions = target->getPropertyDescriptions();
                    described = true;
                }
                if (const PropertyInfo* info = PropertyInfo::find(descriptions, name))
                {
                    // Named as written: a parameterised property's description names it with "%".
                    PropertyInfo written = *info;
                    written.name = name;
                    warnUnheld(node, owner, ownerName, written, value);
                }
            }
        }

        std::filesystem::path absoluteResource(const hstring& path)
        {
            std::filesystem::path full =
                std::filesystem::absolute(std::string(quortypes::Resource::makeFullPath(path)))
                    .lexically_normal();
            return (full.has_filename() ? full : full.parent_path());
        }

        // An include names a file of the game. One that climbs out of the folder the game's files are read
        // from with ".." would read any file of the system, its devices among them; a path inside the folder
        // is taken as it is, links and all.
        hstring includePath(quorxml::Node* node, const hstring& folder)
        {
            const hstring written = node->getString("path");
            const hstring path = Dir::normalize(Dir::joinPath(folder, written));
            const std::filesystem::path relative =
                absoluteResource(path).lexically_relative(absoluteResource("."));
            if (relative.empty() || *relative.begin() == "..")
            {
                throw quorxml::_XMLException("Include path '" + written + "' leads out of the game's folder",
                                             node, "", "src/Dataset", __LINE__);
            }
            return path;
        }

        harray<hstring> sortedFiles(const hstring& folder, bool prependFolder)
        {
            harray<hstring> files = quortypes::ResourceDir::files(folder, prependFolder);
            std::sort(files.begin(), files.end());
            return files;
        }
    } // namespace

    void Dataset::_parseExtraNode(quorxml::Node*) {}

    Object* Dataset::createUnknownObject(quorxml::Node*, const hstring&, kavtypes::Rectangle)
    {
        return nullptr;
    }

    void Dataset::_clearIncludeDocuments()
    {
        includeDocuments.clear();
    }

    void Dataset::_parseDatasetFile()
    {
        try
        {
            parseFile(fileName);
        }
        catch (quortypes::exception& e)
        {
            quortypes::Log::error(logTag, e.getMessage());
            _clearIncludeDocuments();
            throw quortypes::exception(e);
        }
        catch (...)
        {
            _clearIncludeDocuments();
            throw;
        }
        _clearIncludeDocuments();
    }

    void Dataset::parseFile(const hstring& filename)
    {
        hstring path = Dir::normalize(filename);
        quortypes::Log::write(logTag, "Parsing dataset file: " + path);
        ParsingFile parsing(parsingFiles, path);
        quorxml::Document document(path);
        quorxml::Node* root = document.root();
        _parseExtraNode(root);
        hstring folder = Dir::baseDir(path);
        for (quorxml::Node* node = root->firstChild(); node != nullptr; node = node->nextSibling())
        {
            if (*node == "Texture")
            {
                parseTexture(node);
            }
            else if (*node == "CompositeImage")
            {
                parseCompositeImage(node);
            }
            else if (*node == "Object")
            {
                parseObject(node, nullptr);
            }
            else if (*node == "Include")
            {
                // Each file of a chain of includes is parsed inside the one that includes it.
                if (parsingFiles.size() >= maxIncludeDepth)
                {
                    throw quorxml::_XMLException(
                        formatString("Include of '%s' would nest dataset files deeper than %d",
                                     node->getString("path", "").c_str(), maxIncludeDepth),
                        node, "", "src/Dataset", __LINE__);
                }
                parseInclude(includePath(node, folder));
            }
            else if (*node == "TextureGroup")
            {
                parseTextureGroup(node);
            }
            else
            {
                _parseExtraNode(node);
            }
        }
    }

    void Dataset::parseInclude(const hstring& path)
    {
        hstring savedFolder = currentFolder;
        currentFolder = Dir::normalize(Dir::baseDir(path));
        try
        {
            if (!path.contains("*"))
            {
                parseFile(path);
            }
            else
            {
                hstring ending = Dir::baseName(path).replaced("*", "");
                for (const hstring& file : sortedFiles(Dir::baseDir(path), true))
                {
                    if (file.endsWith(ending))
                    {
                        parseFile(file);
                    }
                }
            }
        }
        catch (...)
        {
            currentFolder = savedFolder;
            throw;
        }
        currentFolder = savedFolder;
    }

    void Dataset::parseTexture(quorxml::Node* node)
    {
        hstring filename = Dir::normalize(node->getString("filename"));
        hstring path = Dir::normalize(Dir::joinPath(currentFolder, filename));
        hstring textureName = Dir::baseName(filename);
        if (textures.hasKey(textureName))
        {
            throw _ObjectExistsException(textureName, filename, "src/Dataset", __LINE__);
        }
        bool prefixImages = node->getBool("prefix_images", true);
        bool dynamic = node->getBool("dynamic_load", isDefaultDynamicLoading());
        hstring localised = getLocalisedFilename(path);
        tesra::Texture* renderTexture =
            tesra::rendersys->createTextureFromResource(localised, tesra::Texture::Type::IMMUTABLE, !dynamic);
        if (renderTexture == nullptr)
        {
            throw LocatedError(quortypes::_file_not_found(localised, true, "src/Dataset", __LINE__), node);
        }
        auto texture = std::make_unique<Texture>(path, std::unique_ptr<tesra::Texture>(renderTexture));
        if (node->hasProperty("filter"))
        {
            hstring filter = node->getString("filter");
            if (filter == "linear")
            {
                texture->setFilter(tesra::Texture::Filter::LINEAR);
            }
            else if (filter == "nearest")
            {
                texture->setFilter(tesra::Texture::Filter::NEAREST);
            }
            else
            {
                throw quortypes::exception("texture filter '" + filter + "' not supported", "src/Dataset",
                                           __LINE__);
            }
        }
        texture->setAddressMode(node->getBool("wrap", false) ? tesra::Texture::AddressMode::WRAP
                                                             : tesra::Texture::AddressMode::CLAMP);
        Texture* owned = texture.get();
        textures[textureName] = std::move(texture);
        quorxml::Node* child = node->firstChild();
        if (child == nullptr)
        {
            if (images.hasKey(textureName))
            {
                throw _ResourceExistsException(textureName, "Texture", this, "src/Dataset", __LINE__);
            }
            auto image = std::make_unique<Image>(
                owned, textureName,
                kavtypes::Rectangle(0.0f, 0.0f, (float)owned->getWidth(), (float)owned->getHeight()));
            image->setDataset(this);
            images[textureName] = std::move(image);
            return;
        }
        for (; child != nullptr; child = child->nextSibling())
        {
            if (*child != "Image")
            {
                continue;
            }
            hstring name = child->getString("name");
            if (prefixImages)
            {
                name = textureName + "/" + name;
            }
            if (images.hasKey(name))
            {
                throw _ResourceExistsException(name, "Image", this, "src/Dataset", __LINE__);
            }
            kavtypes::Rectangle rect = readRectNode(child, false);
            kavtypes::Vector2 tile =
                child->hasProperty("tile")
                    ? readVectorNode(child, "tile")
                    : kavtypes::Vector2(child->getFloat("tile_w", 1.0f), child->getFloat("tile_h", 1.0f));
            std::unique_ptr<Image> made =
                (tile.x == 1.0f && tile.y == 1.0f)
                    ? std::make_unique<Image>(owned, name, rect)
                    : std::make_unique<TiledImage>(owned, name, rect, tile.x, tile.y);
            Image* image = made.get();
            images[name] = std::move(made);
            image->setDataset(this);
            applyProperties(child, image, "image", name, true);
        }
    }

    void Dataset::parseCompositeImage(quorxml::Node* node)
    {
        hstring name = node->getString("name");
        if (images.hasKey(name))
        {
            throw _ResourceExistsException(name, "CompositeImage", this, "src/Dataset", __LINE__);
        }
        kavtypes::Vector2 size = node->hasProperty("size")
                                     ? readVectorNode(node, "size")
                                     : kavtypes::Vector2(node->getFloat("w"), node->getFloat("h"));
        auto image = std::make_unique<CompositeImage>(name, size);
        for (quorxml::Node* child = node->firstChild(); child != nullptr; child = child->nextSibling())
        {
            if (*child == "ImageRef")
            {
                Image* referenced = located(child, [&]() { return getImage(child->getString("name")); });
                const kavtypes::Rectangle rect = readRectNode(child, false);
                // Composites drawn one inside the other past the bound are refused at the reference.
                located(child, [&]() { image->addImageRef(referenced, rect); });
            }
        }
        image->setDataset(this);
        images[name] = std::move(image);
    }

    Object* Dataset::parseObject(quorxml::Node* node, Object* parent)
    {
        return _parseObject(node, parent, "", "", kavtypes::Vector2());
    }

    Object* Dataset::_parseObject(quorxml::Node* node, Object* parent, const hstring& prefix,
                                  const hstring& suffix, kavtypes::Vector2 offset)
    {
        if (*node == "Include")
        {
            kavtypes::Vector2 includeOffset;
            if (node->hasProperty("position"))
            {
                includeOffset = readVectorNode(node, "position");
            }
            else
            {
                includeOffset.set(node->getFloat("x", 0.0f), node->getFloat("y", 0.0f));
            }
            parseObjectInclude(includePath(node, currentFolder), parent,
                               node->getString("name_prefix", "") + prefix,
                               suffix + node->getString("name_suffix", ""), includeOffset);
            return nullptr;
        }
        hstring type = node->getString("type");
        bool isObject = *node == "Object";
        if (!isObject && *node != "Animator")
        {
            return nullptr;
        }
        hstring name =
            node->hasProperty("name") ? prefix + node->getString("name") + suffix : tesra::generateName(type);
        kavtypes::Rectangle rect;
        if (isObject)
        {
            rect = readRectNode(node, true);
            rect.x += offset.x;
            rect.y += offset.y;
        }
        if (objects.hasKey(name))
        {
            throw _ResourceExistsException(name, "Object", this, "src/Dataset", __LINE__);
        }
        Object* created = isObject ? createObject(type, name, rect) : createAnimator(type, name);
        if (created == nullptr)
        {
            created = createUnknownObject(node, name, rect);
        }
        if (created == nullptr)
        {
            throw quorxml::_XMLException("Unknown class detected in XML file: " + type, node, "",
                                         "src/Dataset", __LINE__);
        }
        std::unique_ptr<Object> object(created);
        object->_setDataset(this);
        object->notifyEvent("RegisterInDataset", this);
        objects[name] = object.release();
        if (this->root == nullptr)
        {
            this->root = created;
        }
        if (parent != nullptr)
        {
            // A tree nested deeper than any walk of it may go is refused at the object too deep.
            located(node, [&]() { parent->addChild(created); });
        }
        applyProperties(node, created, isObject ? "object" : "animator", name, isObject);
        for (quorxml::Node* child = node->firstChild(); child != nullptr; child = child->nextSibling())
        {
            _parseObject(child, created, prefix, suffix, kavtypes::Vector2());
        }
        return created;
    }

    void Dataset::parseObjectInclude(const hstring& path, Object* parent, const hstring& prefix,
                                     const hstring& suffix, kavtypes::Vector2 offset)
    {
        if (!path.contains("*"))
        {
            parseObjectIncludeFile(path, parent, prefix, suffix, offset);
            return;
        }
        hstring folder = Dir::baseDir(path);
        hstring head;
        hstring tail;
        Dir::baseName(path).split('*', head, tail);
        for (const hstring& file : sortedFiles(folder, false))
        {
            if (file.size() >= head.size() + tail.size() && file.startsWith(head) && file.endsWith(tail))
            {
                parseObjectIncludeFile(Dir::joinPath(folder, file), parent, "", "", kavtypes::Vector2());
            }
        }
    }

    void Dataset::parseObjectIncludeFile(const hstring& filename, Object* parent, const hstring& prefix,
                                         const hstring& suffix, kavtypes::Vector2 offset)
    {
        hstring path = Dir::normalize(filename);
        quortypes::Log::write(logTag, "Parsing object include file: " + path);
        ParsingFile parsing(parsingFiles, path);
        std::unique_ptr<quorxml::Document>& document = includeDocuments[path];
        if (document == nullptr)
        {
            document = std::make_unique<quorxml::Document>(path);
        }
        quorxml::Node* root = document->root();
        for (quorxml::Node* node = root->firstChild(); node != nullptr; node = node->nextSibling())
        {
            if (*node == "Object" || *node == "Animator")
            {
                _parseObject(node, parent, prefix, suffix, offset);
            }
            else if (*node == "Include")
            {
                // Only includes inside an object of the file are followed; a silent skip here would leave a
                // writer of the file searching for the missing objects.
                quortypes::Log::warnf(logTag,
                                      "Object include file '%s': the Include of '%s' at its top level is "
                                      "not followed; put it inside an Object.",
                                      path.c_str(), node->getString("path", "").c_str());
            }
        }
    }

    void Dataset::parseTextureGroup(quorxml::Node* node)
    {
        // Every name must be a texture, even one that has no partner to link with.
        harray<Texture*> group;
        for (const hstring& name : node->getString("names").split(',', -1, true))
        {
            group.push_back(getTexture(name));
        }
        for (Texture* a : group)
        {
            for (Texture* b : group)
            {
                if (a != b)
                {
                    a->addLink(b);
                }
            }
        }
    }
} // namespace tesraui
