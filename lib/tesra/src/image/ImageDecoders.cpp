#include "ImageDecoders.h"

#include <mutex>
#include <set>
#include <string>

#include <quortypes/Log.h>
#include <tesra/tesra.h>

namespace tesra
{
    namespace decoders
    {
        bool sizeAllowed(size_t width, size_t height, size_t channels)
        {
            return (width > 0 && height > 0 && width <= (size_t)MAX_SIDE && height <= (size_t)MAX_SIDE &&
                    width * height * channels <= MAX_BYTES);
        }

        namespace
        {
            // Per thread: pictures are decoded on loading threads too.
            thread_local hstring failure;
        } // namespace

        const hstring& lastFailure()
        {
            return failure;
        }

        void clearFailure()
        {
            failure = "";
        }

        bool fail(const hstring& reason)
        {
            failure = reason;
            return false;
        }

        namespace
        {
            enum class Kind
            {
                None,
                Png,
                Jpeg,
                Jpt
            };

            Kind kindOf(const hstring& filename)
            {
                hstring name = filename.lowered();
                if (name.endsWith(".png"))
                {
                    return Kind::Png;
                }
                if (name.endsWith(".jpg") || name.endsWith(".jpeg"))
                {
                    return Kind::Jpeg;
                }
                if (name.endsWith(".jpt"))
                {
                    return Kind::Jpt;
                }
                return Kind::None;
            }

            Image* decode(Kind kind, const unsigned char* data, size_t size)
            {
                switch (kind)
                {
                case Kind::Png:
                    return decodePng(data, size);
                case Kind::Jpeg:
                    return decodeJpeg(data, size);
                case Kind::Jpt:
                    return decodeJpt(data, size);
                default:
                    fail("not a picture type that can be read");
                    return nullptr;
                }
            }

            // A grey PNG keeps its one channel and so becomes an alpha mask, which draws as black: painters
            // who saved a picture in grey would otherwise only see a dark shape and not know why. Textures
            // that reload on demand decode the same file again, hence once per file.
            void warnGreyPng(const hstring& filename)
            {
                static std::mutex mutex;
                static std::set<std::string> warned;
                {
                    std::lock_guard<std::mutex> lock(mutex);
                    if (!warned.insert(filename).second)
                    {
                        return;
                    }
                }
                quortypes::Log::warn(logTag,
                                     "'" + filename +
                                         "' is a greyscale PNG: it is read as an alpha mask and draws "
                                         "black; save it as RGB or RGBA to show its grey levels");
            }
        } // namespace

        bool isImageName(const hstring& filename)
        {
            return (kindOf(filename) != Kind::None);
        }

        Image* decodeByName(const hstring& filename, const unsigned char* data, size_t size)
        {
            const Kind kind = kindOf(filename);
            Image* image = decode(kind, data, size);
            if (image != nullptr && kind == Kind::Png && image->format == Image::FORMAT_ALPHA)
            {
                warnGreyPng(filename);
            }
            return image;
        }

        std::unique_ptr<unsigned char[]> convertedPixels(const Image& image, Image::Format format)
        {
            size_t size = (size_t)image.width * (size_t)image.height * (size_t)Image::getFormatBpp(format);
            std::unique_ptr<unsigned char[]> pixels(new unsigned char[size]);
            unsigned char* out = pixels.get();
            if (!Image::convert(image.width, image.height, image.data.get(), image.format, &out, format))
            {
                return nullptr;
            }
            return pixels;
        }
    } // namespace decoders
} // namespace tesra
