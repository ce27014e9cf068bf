#include <memory>
#include <utility>

#include <quortypes/File.h>
#include <quortypes/Resource.h>
#include <quortypes/exception.h>

#include "ImageDecoders.h"

namespace tesra
{
    namespace
    {
        // The whole file is read first: the decoders work on memory, and files are
        // small next to the pixels they hold.
        template <typename Stream> Image* load(const hstring& filename)
        {
            decoders::clearFailure();
            if (!decoders::isImageName(filename))
            {
                decoders::fail("not a picture type that can be read");
                return nullptr;
            }
            try
            {
                Stream stream(filename);
                int size = stream.getSize();
                if (size <= 0)
                {
                    decoders::fail("the file is empty");
                    return nullptr;
                }
                std::unique_ptr<unsigned char[]> data(new unsigned char[size]);
                if (stream.readRaw(data.get(), size) != size)
                {
                    decoders::fail("the file could not be read whole");
                    return nullptr;
                }
                stream.close();
                return decoders::decodeByName(filename, data.get(), (size_t)size);
            }
            catch (quortypes::exception& e)
            {
                // Without the "[source:line] " in front: the reason goes into a log line of its own.
                const hstring message = e.getMessage();
                const int text = (message.startsWith("[") ? message.find("] ") : -1);
                decoders::fail(text >= 0 ? message.subString(text + 2) : message);
                return nullptr;
            }
        }

        Image* converted(Image* image, Image::Format format)
        {
            if (image != nullptr && image->format != format && Image::needsConversion(image->format, format))
            {
                std::unique_ptr<unsigned char[]> data = decoders::convertedPixels(*image, format);
                if (data != nullptr)
                {
                    image->data = std::move(data);
                    image->format = format;
                }
            }
            return image;
        }
    } // namespace

    Image* Image::createFromFile(const hstring& filename)
    {
        return load<quortypes::File>(filename);
    }

    Image* Image::createFromFile(const hstring& filename, Format format)
    {
        return converted(createFromFile(filename), format);
    }

    Image* Image::createFromResource(const hstring& filename)
    {
        return load<quortypes::Resource>(filename);
    }

    Image* Image::createFromResource(const hstring& filename, Format format)
    {
        return converted(createFromResource(filename), format);
    }
} // namespace tesra
