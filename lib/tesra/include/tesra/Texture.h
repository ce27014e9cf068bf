#pragma once

#include <memory>

#include <quortypes/hstring.h>
#include <tesra/Color.h>
#include <tesra/Image.h>

namespace tesra
{
    class RenderSystem;

    /// A picture the render system can bind. Created only through the render system, which lists it while
    /// both live; whoever asked for it owns it. One that outlives its render system is detached: it loads
    /// and draws no more, and its delete touches no device.
    class Texture
    {
    public:
        enum class Type : int
        {
            MANAGED = 1,      ///< keeps a system-memory copy of its pixels
            IMMUTABLE = 2,    ///< refuses writes; a file-backed one drops its pixels after upload
            VOLATILE = 3,     ///< no copy, written straight to video memory
            RENDER_TARGET = 4 ///< can be drawn into
        };

        enum class Filter : int
        {
            NEAREST = 1,
            LINEAR = 2
        };

        enum class AddressMode : int
        {
            WRAP = 0,
            CLAMP = 1
        };

        /// A locked rectangle: either a view into the system-memory copy or a back-end staging buffer.
        struct Lock
        {
            void* surface = nullptr;
            int x = 0, y = 0, w = 0, h = 0;
            int dx = 0, dy = 0;
            unsigned char* data = nullptr;
            /// The back-end's own copy that `data` points into, when it is one; freed by unlocking.
            std::unique_ptr<unsigned char[]> staging;
            int dataWidth = 0, dataHeight = 0;
            Image::Format format = Image::FORMAT_UNKNOWN;
            bool locked = false;
            bool failed = true;
            bool systemBuffer = false;

            bool isLocked() const { return locked; }
            bool isFailed() const { return failed; }
        };

        virtual ~Texture();

        const hstring& getFilename() const { return filename; }
        Type getType() const { return type; }
        Image::Format getFormat() const { return format; }
        int getDataFormat() const { return dataFormat; }
        int getCompressedSize() const { return compressedSize; }
        Filter getFilter() const { return filter; }
        AddressMode getAddressMode() const { return addressMode; }
        bool isFromResource() const { return fromResource; }
        const unsigned char* getData() const { return data.get(); }
        RenderSystem* getRenderSystem() const { return renderSystem; }

        /// Both warn when 0, which usually means the texture was never loaded.
        int getWidth() const;
        int getHeight() const;
        int getByteSize() const;

        void setFilter(Filter value) { filter = value; }
        void setAddressMode(AddressMode value) { addressMode = value; }

        /// A file that cannot be decoded is reported once: later loads fail at once and draws with the
        /// texture draw nothing, until another file or contents are given.
        virtual bool load();
        bool hasLoadFailed() const { return loadFailed; }
        virtual void unload() = 0;
        virtual bool isLoaded() const = 0;
        virtual bool create(int width, int height, const Color& color, Image::Format format, Type type);
        virtual bool create(const unsigned char* data, int width, int height, Image::Format format,
                            Type type);
        virtual bool registerFile(const hstring& filename, Image::Format format, Type type);
        virtual bool registerFile(const hstring& filename, Type type);

        Lock lock(int x, int y, int w, int h);
        bool unlock(Lock& lock, bool update);
        /// Ends a lock on the system-memory copy whose rows go to video memory later, together with those of
        /// every other such lock, when the texture is next bound for drawing (or uploadPendingRows is
        /// called). Locks of textures without a copy are written at once.
        bool unlockLater(Lock& lock);
        bool hasPendingRows() const { return pendingTop < pendingBottom; }
        bool uploadPendingRows();
        bool write(int sx, int sy, int sw, int sh, int dx, int dy, const unsigned char* srcData, int srcWidth,
                   int srcHeight, Image::Format srcFormat);
        bool fillRect(int x, int y, int w, int h, const Color& color);
        bool setPixel(int x, int y, const Color& color);
        bool clear();

        /// The texture as log lines name it: 'file' or <0x...>, followed by its type.
        hstring toString() const;

    protected:
        RenderSystem* renderSystem;
        hstring filename;
        Type type = Type::MANAGED;
        Image::Format format = Image::FORMAT_UNKNOWN;
        int dataFormat = 0;
        int compressedSize = 0;
        int width = 0;
        int height = 0;
        Filter filter = Filter::LINEAR;
        AddressMode addressMode = AddressMode::CLAMP;
        std::unique_ptr<unsigned char[]> data;
        bool fromResource = false;
        bool uploadOnCreate = true;
        bool loadFailed = false;
        // Rows [pendingTop, pendingBottom) of the system copy that video memory does not have yet.
        int pendingTop = 0;
        int pendingBottom = 0;

        Texture(RenderSystem* renderSystem, bool fromResource);

        /// Makes the video-memory object, holding `pixels` (width x height in `pixelsFormat`) or, without
        /// them, zeros.
        virtual bool createInternalTexture(const unsigned char* pixels, Image::Format pixelsFormat,
                                           Type type) = 0;
        virtual void assignFormat() = 0;
        virtual Lock lockRect(int x, int y, int w, int h) = 0;
        virtual bool unlockRect(Lock& lock, bool update) = 0;
        /// Writes source pixels straight into video memory when no conversion is needed; false otherwise.
        virtual bool uploadDataToGpu(int sx, int sy, int sw, int sh, int dx, int dy,
                                     const unsigned char* srcData, int srcWidth, int srcHeight,
                                     Image::Format srcFormat) = 0;

        /// A lock on x,y,w,h that holds pixels: they start at dx,dy of data, a dataWidth x dataHeight buffer.
        static Lock heldLock(int x, int y, int w, int h, unsigned char* data, int dx, int dy, int dataWidth,
                             int dataHeight, Image::Format format);
        /// False, with a warning, for immutable textures.
        bool isWritable() const;
        void freeData();
        // The writes without the immutability check, for filling a texture as it is made or loaded.
        bool writeInternal(int sx, int sy, int sw, int sh, int dx, int dy, const unsigned char* srcData,
                           int srcWidth, int srcHeight, Image::Format srcFormat);
        bool fillRectInternal(int x, int y, int w, int h, const Color& color);
        bool clearInternal();
        /// Straight to video memory, converting through a back-end lock when needed.
        bool writeToGpu(int sx, int sy, int sw, int sh, int dx, int dy, const unsigned char* srcData,
                        int srcWidth, int srcHeight, Image::Format srcFormat);

    private:
        friend class RenderSystem;

        /// The first contents are `pixels` in `format`, or a fill of `color`, or zeros without either.
        bool createCommon(int width, int height, Image::Format format, Type type, const char* dimensionError,
                          const unsigned char* pixels, const Color* color);
        bool uploadSystemRect(int x, int y, int w, int h);
        /// True, with an error, once the render system is gone.
        bool isDetached() const;
    };
} // namespace tesra
