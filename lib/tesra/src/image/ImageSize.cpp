#include <algorithm>
#include <memory>

#include <quortypes/File.h>
#include <quortypes/Resource.h>
#include <quortypes/exception.h>

#include "ImageDecoders.h"

namespace tesra
{
    namespace decoders
    {
        namespace
        {
            unsigned int bigEndian(const unsigned char* p, int bytes)
            {
                unsigned int result = 0;
                for (int i = 0; i < bytes; ++i)
                {
                    result = (result << 8) | p[i];
                }
                return result;
            }

            bool pngSize(const unsigned char* data, size_t size, int& width, int& height)
            {
                static const unsigned char signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
                if (size < 24 || !std::equal(signature, signature + 8, data) ||
                    !std::equal(data + 12, data + 16, (const unsigned char*)"IHDR"))
                {
                    return false;
                }
                width = (int)bigEndian(data + 16, 4);
                height = (int)bigEndian(data + 20, 4);
                return true;
            }

            // Walks the marker segments up to the first frame header.
            bool jpegSize(const unsigned char* data, size_t size, int& width, int& height)
            {
                if (size < 4 || data[0] != 0xFF || data[1] != 0xD8)
                {
                    return false;
                }
                size_t position = 2;
                while (position + 4 <= size)
                {
                    if (data[position] != 0xFF)
                    {
                        return false;
                    }
                    const unsigned char marker = data[position + 1];
                    if (marker == 0xFF)
                    {
                        ++position; // fill byte
                        continue;
                    }
                    const size_t length = bigEndian(data + position + 2, 2);
                    const bool frame = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 &&
                                       marker != 0xCC;
                    if (frame)
                    {
                        if (length < 7 || position + 9 > size)
                        {
                            return false;
                        }
                        height = (int)bigEndian(data + position + 5, 2);
                        width = (int)bigEndian(data + position + 7, 2);
                        return true;
                    }
                    if (marker == 0xD9 || marker == 0xDA || length < 2)
                    {
                        return false;
                    }
                    position += 2 + length;
                }
                return false;
            }
        } // namespace

        bool readSize(const hstring& filename, const unsigned char* data, size_t size, int& width,
                      int& height)
        {
            const hstring name = filename.lowered();
            bool found = false;
            if (name.endsWith(".png"))
            {
                found = pngSize(data, size, width, height);
            }
            else if (name.endsWith(".jpg") || name.endsWith(".jpeg"))
            {
                found = jpegSize(data, size, width, height);
            }
            else if (name.endsWith(".jpt") && size >= 8)
            {
                // 4 bytes not read and the length of the colour JPEG, which gives the size
                found = jpegSize(data + 8, size - 8, width, height);
            }
            return found && sizeAllowed((size_t)width, (size_t)height, 1);
        }
    } // namespace decoders

    namespace
    {
        // Most headers sit in the first bytes; a JPEG may carry large metadata before its frame header, and
        // then the whole file is read.
        const int HEADER_BYTES = 4096;

        template <typename Stream> bool readSizeOf(const hstring& filename, int& width, int& height)
        {
            try
            {
                Stream stream(filename);
                const int size = stream.getSize();
                for (int wanted = std::min(size, HEADER_BYTES); wanted > 0;)
                {
                    std::unique_ptr<unsigned char[]> data(new unsigned char[wanted]);
                    stream.seek(0, quortypes::SeekMode::Start);
                    if (stream.readRaw(data.get(), wanted) != wanted)
                    {
                        return false;
                    }
                    if (decoders::readSize(filename, data.get(), (size_t)wanted, width, height))
                    {
                        return true;
                    }
                    wanted = (wanted < size ? size : 0);
                }
            }
            catch (quortypes::exception&)
            {
            }
            return false;
        }
    } // namespace

    bool Image::readSize(const hstring& filename, bool fromResource, int& width, int& height)
    {
        return fromResource ? readSizeOf<quortypes::Resource>(filename, width, height)
                            : readSizeOf<quortypes::File>(filename, width, height);
    }
} // namespace tesra
