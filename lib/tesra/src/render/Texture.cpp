#include <tesra/Texture.h>

#include <algorithm>

#include <climits>
#include <cstdint>
#include <cstring>
#include <memory>
#include <utility>

#include <quortypes/Log.h>
#include <tesra/RenderSystem.h>
#include <tesra/tesra.h>

#include "../image/ImageDecoders.h"

namespace tesra
{
    static const char* getTypeText(Texture::Type type)
    {
        switch (type)
        {
        case Texture::Type::MANAGED:
            return " (managed)";
        case Texture::Type::IMMUTABLE:
            return " (immutable)";
        case Texture::Type::VOLATILE:
            return " (volatile)";
        case Texture::Type::RENDER_TARGET:
            return " (render target)";
        }
        return "";
    }

    Texture::Texture(RenderSystem* renderSystem, bool fromResource)
        : renderSystem(renderSystem), fromResource(fromResource)
    {
        renderSystem->registerTexture(this);
    }

    Texture::~Texture()
    {
        if (renderSystem != nullptr)
        {
            renderSystem->unregisterTexture(this);
        }
        freeData();
    }

    bool Texture::isDetached() const
    {
        if (renderSystem == nullptr)
        {
            quortypes::Log::error(logTag,
                                  "Texture " + toString() + " outlived its rendersystem: not loaded.");
            return true;
        }
        return false;
    }

    hstring Texture::toString() const
    {
        hstring result = filename != "" ? "'" + filename + "'"
                                        : formatString("<0x%016llX>", (unsigned long long)(uintptr_t)this);
        return result + getTypeText(type);
    }

    int Texture::getWidth() const
    {
        // A texture whose file failed was reported then: its size is asked at every draw.
        if (width == 0 && !loadFailed)
        {
            quortypes::Log::warnf(logTag, "Texture '%s' has width = 0 (possibly not loaded yet?)",
                                  filename.c_str());
        }
        return width;
    }

    int Texture::getHeight() const
    {
        // A texture whose file failed was reported then: its size is asked at every draw.
        if (height == 0 && !loadFailed)
        {
            quortypes::Log::warnf(logTag, "Texture '%s' has height = 0 (possibly not loaded yet?)",
                                  filename.c_str());
        }
        return height;
    }

    int Texture::getByteSize() const
    {
        if (compressedSize > 0)
        {
            return compressedSize;
        }
        if ((width == 0 || height == 0 || format == Image::FORMAT_UNKNOWN) && !loadFailed)
        {
            quortypes::Log::warnf(logTag, "Texture '%s' has byteSize = 0 (possibly not loaded yet?)",
                                  filename.c_str());
        }
        return Image::getFormatBpp(format) * width * height;
    }

    void Texture::freeData()
    {
        data.reset();
    }

    bool Texture::isWritable() const
    {
        if (type == Type::IMMUTABLE)
        {
            quortypes::Log::warn(logTag, "Cannot write texture: " + toString());
            return false;
        }
        return true;
    }

    bool Texture::registerFile(const hstring& filename, Image::Format format, Type type)
    {
        unload(); // a texture that showed another picture must not keep it
        freeData();
        loadFailed = false;
        this->filename = filename;
        this->format = format;
        this->type = type;
        width = height = 0;
        dataFormat = compressedSize = 0;
        quortypes::Log::write(logTag, "Registering texture: " + toString());
        return true;
    }

    bool Texture::registerFile(const hstring& filename, Type type)
    {
        return registerFile(filename, Image::FORMAT_UNKNOWN, type);
    }

    bool Texture::load()
    {
        if (isLoaded())
        {
            return true;
        }
        // Drawn every frame: trying the file again would only log the same failure again.
        if (loadFailed)
        {
            return false;
        }
        if (isDetached())
        {
            loadFailed = true;
            return false;
        }
        quortypes::Log::write(logTag, "Loading texture: " + toString());
        bool decoded = false;
        bool sized = width > 0 && height > 0;
        if (data == nullptr && !((type == Type::VOLATILE || type == Type::RENDER_TARGET) && sized))
        {
            if (filename == "")
            {
                quortypes::Log::error(logTag, "No filename for texture specified!");
                loadFailed = true;
                return false;
            }
            std::unique_ptr<Image> image;
            if (format != Image::FORMAT_UNKNOWN)
            {
                image.reset(fromResource ? Image::createFromResource(filename, format)
                                         : Image::createFromFile(filename, format));
            }
            else
            {
                image.reset(fromResource ? Image::createFromResource(filename)
                                         : Image::createFromFile(filename));
            }
            if (image == nullptr)
            {
                const hstring reason = decoders::lastFailure();
                quortypes::Log::error(logTag, "Failed to load texture: " + toString() + ": " +
                                                  (reason != "" ? reason : hstring("no reason given")));
                loadFailed = true;
                return false;
            }
            width = image->width;
            height = image->height;
            format = image->format;
            dataFormat = image->internalFormat;
            compressedSize = image->compressedSize;
            data = std::move(image->data);
            decoded = true;
        }
        assignFormat();
        // The pixels go up with the storage, rather than over zeros after it.
        const bool withPixels = data != nullptr && uploadOnCreate && compressedSize == 0;
        if (!createInternalTexture(withPixels ? data.get() : nullptr, format, type))
        {
            if (decoded)
            {
                freeData();
            }
            return false;
        }
        if (data != nullptr && uploadOnCreate && !withPixels)
        {
            writeToGpu(0, 0, width, height, 0, 0, data.get(), width, height, format);
        }
        if (type == Type::VOLATILE || type == Type::RENDER_TARGET ||
            (type == Type::IMMUTABLE && filename != ""))
        {
            freeData();
            format = renderSystem->getNativeTextureFormat(format);
        }
        return true;
    }

    bool Texture::createCommon(int width, int height, Image::Format format, Type type,
                               const char* dimensionError, const unsigned char* pixels, const Color* color)
    {
        if (isDetached())
        {
            return false;
        }
        // Sizes the device cannot hold are refused before the pixel copy is allocated, whose byte
        // count would otherwise overflow.
        const int maxSize = renderSystem->getMaxTextureSize();
        if (width <= 0 || height <= 0 || (maxSize > 0 && (width > maxSize || height > maxSize)) ||
            (long long)width * height * 4 > INT_MAX)
        {
            quortypes::Log::errorf(logTag, dimensionError, width, height);
            return false;
        }
        unload();
        freeData();
        loadFailed = false;
        filename = "";
        this->width = width;
        this->height = height;
        this->type = type;
        compressedSize = dataFormat = 0;
        if (type == Type::VOLATILE || type == Type::RENDER_TARGET)
        {
            this->format = renderSystem->getNativeTextureFormat(format);
        }
        else
        {
            this->format = format;
            int size = getByteSize();
            data.reset(new unsigned char[size > 0 ? size : 1]());
        }
        quortypes::Log::write(logTag, "Creating texture: " + toString());
        assignFormat();
        // The first contents are made in system memory where there is a copy, and go up with the storage.
        if (data == nullptr)
        {
            if (!createInternalTexture(pixels, format, type))
            {
                return false;
            }
            if (color != nullptr)
            {
                fillRectInternal(0, 0, width, height, *color);
            }
            return true;
        }
        if (pixels != nullptr)
        {
            Image::write(0, 0, width, height, 0, 0, pixels, width, height, format, data.get(), width, height,
                         this->format);
        }
        else if (color != nullptr)
        {
            Image::fillRect(0, 0, width, height, *color, data.get(), width, height, this->format);
        }
        return createInternalTexture(data.get(), this->format, type);
    }

    bool Texture::create(const unsigned char* data, int width, int height, Image::Format format, Type type)
    {
        return createCommon(width, height, format, type, "Cannot create texture with dimentions %d,%d!",
                            uploadOnCreate ? data : nullptr, nullptr);
    }

    bool Texture::create(int width, int height, const Color& color, Image::Format format, Type type)
    {
        return createCommon(width, height, format, type, "Cannot create texture with dimensions %d,%d!",
                            nullptr, &color);
    }

    Texture::Lock Texture::lock(int x, int y, int w, int h)
    {
        if (data == nullptr)
        {
            if (!isLoaded())
            {
                load();
            }
            return lockRect(x, y, w, h);
        }
        Lock result = heldLock(x, y, w, h, data.get(), x, y, width, height, format);
        result.systemBuffer = true;
        return result;
    }

    Texture::Lock Texture::heldLock(int x, int y, int w, int h, unsigned char* data, int dx, int dy,
                                    int dataWidth, int dataHeight, Image::Format format)
    {
        Lock result;
        result.x = x;
        result.y = y;
        result.w = w;
        result.h = h;
        result.dx = dx;
        result.dy = dy;
        result.data = data;
        result.dataWidth = dataWidth;
        result.dataHeight = dataHeight;
        result.format = format;
        result.locked = true;
        result.failed = false;
        return result;
    }

    bool Texture::unlock(Lock& lock, bool update)
    {
        if (!lock.systemBuffer)
        {
            return unlockRect(lock, update);
        }
        lock.locked = false;
        if (!update || lock.failed)
        {
            return !lock.failed;
        }
        return uploadSystemRect(lock.x, lock.y, lock.w, lock.h);
    }

    bool Texture::unlockLater(Lock& lock)
    {
        if (!lock.systemBuffer || lock.failed)
        {
            return unlock(lock, true);
        }
        lock.locked = false;
        if (lock.w > 0 && lock.h > 0)
        {
            pendingTop = hasPendingRows() ? std::min(pendingTop, lock.y) : lock.y;
            pendingBottom = std::max(pendingBottom, lock.y + lock.h);
        }
        return true;
    }

    bool Texture::uploadPendingRows()
    {
        if (!hasPendingRows())
        {
            return true;
        }
        const int top = pendingTop, bottom = pendingBottom;
        pendingTop = pendingBottom = 0;
        return data == nullptr || uploadSystemRect(0, top, width, bottom - top);
    }

    bool Texture::uploadSystemRect(int x, int y, int w, int h)
    {
        if (!isLoaded())
        {
            return true; // the copy goes up whole when the texture loads
        }
        return writeToGpu(x, y, w, h, x, y, data.get(), width, height, format);
    }

    bool Texture::writeToGpu(int sx, int sy, int sw, int sh, int dx, int dy, const unsigned char* srcData,
                             int srcWidth, int srcHeight, Image::Format srcFormat)
    {
        if (uploadDataToGpu(sx, sy, sw, sh, dx, dy, srcData, srcWidth, srcHeight, srcFormat))
        {
            return true;
        }
        Lock gpu = lockRect(dx, dy, sw, sh);
        if (gpu.failed)
        {
            return false;
        }
        bool result = Image::write(sx, sy, sw, sh, gpu.dx, gpu.dy, srcData, srcWidth, srcHeight, srcFormat,
                                   gpu.data, gpu.dataWidth, gpu.dataHeight, gpu.format);
        unlockRect(gpu, result);
        return result;
    }

    // Cuts a copy of a source rectangle to what lands inside a width x height destination.
    static bool clipWrite(int& sx, int& sy, int& sw, int& sh, int& dx, int& dy, int srcWidth, int srcHeight,
                          int width, int height)
    {
        if (sx < 0 || sy < 0 || sw <= 0 || sh <= 0 || sx + sw > srcWidth || sy + sh > srcHeight)
        {
            return false;
        }
        if (dx < 0)
        {
            sx -= dx;
            sw += dx;
            dx = 0;
        }
        if (dy < 0)
        {
            sy -= dy;
            sh += dy;
            dy = 0;
        }
        sw = sw < width - dx ? sw : width - dx;
        sh = sh < height - dy ? sh : height - dy;
        return sw > 0 && sh > 0;
    }

    bool Texture::write(int sx, int sy, int sw, int sh, int dx, int dy, const unsigned char* srcData,
                        int srcWidth, int srcHeight, Image::Format srcFormat)
    {
        if (!isWritable())
        {
            return false;
        }
        return writeInternal(sx, sy, sw, sh, dx, dy, srcData, srcWidth, srcHeight, srcFormat);
    }

    bool Texture::writeInternal(int sx, int sy, int sw, int sh, int dx, int dy, const unsigned char* srcData,
                                int srcWidth, int srcHeight, Image::Format srcFormat)
    {
        if (srcData == nullptr || !clipWrite(sx, sy, sw, sh, dx, dy, srcWidth, srcHeight, width, height))
        {
            return false;
        }
        if (data == nullptr)
        {
            if (!isLoaded() && !load())
            {
                return false;
            }
            return writeToGpu(sx, sy, sw, sh, dx, dy, srcData, srcWidth, srcHeight, srcFormat);
        }
        Lock area = lock(dx, dy, sw, sh);
        bool result = Image::write(sx, sy, sw, sh, area.dx, area.dy, srcData, srcWidth, srcHeight, srcFormat,
                                   area.data, area.dataWidth, area.dataHeight, area.format);
        if (!result)
        {
            area.failed = true;
        }
        return unlock(area, true) && result;
    }

    static bool clipRect(int& x, int& y, int& w, int& h, int width, int height)
    {
        if (x < 0)
        {
            w += x;
            x = 0;
        }
        if (y < 0)
        {
            h += y;
            y = 0;
        }
        w = w < width - x ? w : width - x;
        h = h < height - y ? h : height - y;
        return w > 0 && h > 0;
    }

    bool Texture::fillRect(int x, int y, int w, int h, const Color& color)
    {
        if (w == 1 && h == 1)
        {
            return setPixel(x, y, color);
        }
        if (!isWritable())
        {
            return false;
        }
        return fillRectInternal(x, y, w, h, color);
    }

    bool Texture::fillRectInternal(int x, int y, int w, int h, const Color& color)
    {
        if (!clipRect(x, y, w, h, width, height))
        {
            return false;
        }
        Lock area = lock(x, y, w, h);
        if (area.failed)
        {
            return false;
        }
        bool result = Image::fillRect(area.dx, area.dy, w, h, color, area.data, area.dataWidth,
                                      area.dataHeight, area.format);
        if (!result)
        {
            area.failed = true;
        }
        return unlock(area, true) && result;
    }

    bool Texture::setPixel(int x, int y, const Color& color)
    {
        if (!isWritable())
        {
            return false;
        }
        if (x < 0 || y < 0 || x >= width || y >= height)
        {
            return false;
        }
        Lock area = lock(x, y, 1, 1);
        if (area.failed)
        {
            return false;
        }
        bool result =
            Image::setPixel(area.dx, area.dy, color, area.data, area.dataWidth, area.dataHeight, area.format);
        if (!result)
        {
            area.failed = true;
        }
        return unlock(area, true) && result;
    }

    bool Texture::clear()
    {
        if (!isWritable())
        {
            return false;
        }
        return clearInternal();
    }

    bool Texture::clearInternal()
    {
        if (width <= 0 || height <= 0)
        {
            return false;
        }
        Lock area = lock(0, 0, width, height);
        if (area.failed)
        {
            return false;
        }
        int bpp = Image::getFormatBpp(area.format);
        for (int row = 0; row < height; ++row)
        {
            memset(area.data + ((size_t)(area.dy + row) * area.dataWidth + area.dx) * bpp, 0,
                   (size_t)width * bpp);
        }
        return unlock(area, true);
    }
} // namespace tesra
