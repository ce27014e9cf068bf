#pragma once

#include <cstddef>

#include <memory>

#include <quortypes/hstring.h>
#include <tesra/Image.h>

namespace tesra
{
    namespace decoders
    {
        /// Largest width or height a decoder accepts.
        const int MAX_SIDE = 16384;
        /// Largest decoded buffer in bytes (8192 x 8192 RGBA).
        const size_t MAX_BYTES = (size_t)256 << 20;

        /// Whether width x height pixels of `channels` bytes are within the limits above.
        bool sizeAllowed(size_t width, size_t height, size_t channels);

        /// Why the last decode or file read on this thread gave no image; "" after clearFailure.
        const hstring& lastFailure();
        void clearFailure();
        /// Records the reason and returns false, for the decoders' failure paths.
        bool fail(const hstring& reason);

        // Each returns a new image or null; the bytes stay the caller's.
        Image* decodePng(const unsigned char* data, size_t size);
        Image* decodeJpeg(const unsigned char* data, size_t size);
        Image* decodeJpt(const unsigned char* data, size_t size);
        /// Picks the decoder by the lower-cased extension of `filename`; null for other extensions.
        Image* decodeByName(const hstring& filename, const unsigned char* data, size_t size);
        /// The size an image file declares in its header, the decoder picked by the extension of
        /// `filename`; false when the bytes hold no header of that kind or the size is past the limits.
        bool readSize(const hstring& filename, const unsigned char* data, size_t size, int& width,
                      int& height);
        /// Whether the extension of `filename` is one the decoders know.
        bool isImageName(const hstring& filename);
        /// The image's pixels converted to `format` in a buffer of their own; null when the
        /// conversion is not possible.
        std::unique_ptr<unsigned char[]> convertedPixels(const Image& image, Image::Format format);
    } // namespace decoders
} // namespace tesra
