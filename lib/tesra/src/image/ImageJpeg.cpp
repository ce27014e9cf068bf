#include <csetjmp>
#include <cstdio>

#include <algorithm>
#include <memory>

// jpeglib.h first: it defines the configuration that jerror.h depends on.
#include <jpeglib.h>
#include <jerror.h>

#include "ImageDecoders.h"

namespace tesra
{
    namespace decoders
    {
        namespace
        {
            // Progressive files can carry any number of scans; real ones have a dozen or so.
            const int MAX_SCANS = 500;

            struct JpegError
            {
                jpeg_error_mgr manager;
                jmp_buf jump;
                bool damaged;
            };

            void failWithMessage(j_common_ptr info, const char* prefix)
            {
                char text[JMSG_LENGTH_MAX] = {};
                (*info->err->format_message)(info, text);
                fail(hstring(prefix) + text);
            }

            // The default handler ends the process; jump back to the decoder instead.
            void onError(j_common_ptr info)
            {
                failWithMessage(info, "JPEG: ");
                longjmp(((JpegError*)info->err)->jump, 1);
            }

            // libjpeg reports damaged or truncated data as warnings and carries on with made-up pixels.
            // Such a picture is wrong, so the decode fails; harmless notes are ignored.
            void onMessage(j_common_ptr info, int level)
            {
                if (level != -1)
                {
                    return;
                }
                switch (info->err->msg_code)
                {
#if JPEG_LIB_VERSION >= 70 || defined(D_ARITH_CODING_SUPPORTED) || defined(C_ARITH_CODING_SUPPORTED)
                case JWRN_ARITH_BAD_CODE:
#endif
                case JWRN_BOGUS_PROGRESSION:
                case JWRN_HIT_MARKER:
                case JWRN_HUFF_BAD_CODE:
                case JWRN_JPEG_EOF:
                case JWRN_MUST_RESYNC:
                case JWRN_NOT_SEQUENTIAL:
                    if (!((JpegError*)info->err)->damaged)
                    {
                        failWithMessage(info, "JPEG: damaged data: ");
                    }
                    ((JpegError*)info->err)->damaged = true;
                    break;
                default:
                    break;
                }
            }

            void onProgress(j_common_ptr info)
            {
                j_decompress_ptr decompress = (j_decompress_ptr)info;
                if (decompress->input_scan_number > MAX_SCANS)
                {
                    fail(formatString("JPEG: more than %d scans", MAX_SCANS));
                    longjmp(((JpegError*)info->err)->jump, 1);
                }
            }

            struct JpegState
            {
                jpeg_decompress_struct info;
                JpegError error;
                jpeg_progress_mgr progress;
                std::unique_ptr<Image> image;
                bool created = false;

                ~JpegState()
                {
                    if (created)
                    {
                        jpeg_destroy_decompress(&info);
                    }
                }
            };

            bool readImage(JpegState& state, const unsigned char* data, size_t size)
            {
                jpeg_decompress_struct& info = state.info;
                info.err = jpeg_std_error(&state.error.manager);
                state.error.manager.error_exit = onError;
                state.error.manager.emit_message = onMessage;
                state.error.damaged = false;
                if (setjmp(state.error.jump))
                {
                    return false;
                }
                jpeg_create_decompress(&info);
                state.created = true;
                state.progress.progress_monitor = onProgress;
                info.progress = &state.progress;
                // Progressive pictures keep all coefficients, about twice the decoded size.
                info.mem->max_memory_to_use = 2 * MAX_BYTES;
                jpeg_mem_src(&info, data, (unsigned long)size);
                if (jpeg_read_header(&info, TRUE) != JPEG_HEADER_OK)
                {
                    return fail("JPEG: no picture in the data");
                }
                // Only pictures that have an RGB form can be read: grey and YCbCr do, CMYK and YCCK do not.
                if (info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK)
                {
                    return fail("JPEG: CMYK and YCCK pictures are not supported");
                }
                if (!sizeAllowed(info.image_width, info.image_height, 3))
                {
                    return fail(formatString("JPEG: %u x %u pixels is past the size limit",
                                             (unsigned)info.image_width, (unsigned)info.image_height));
                }
                info.out_color_space = JCS_RGB;
                jpeg_start_decompress(&info);
                if (info.output_components != 3 || info.output_width != info.image_width ||
                    info.output_height != info.image_height)
                {
                    return fail("JPEG: unsupported pixel layout");
                }
                size_t rowBytes = (size_t)info.output_width * 3;
                state.image.reset(new Image());
                state.image->width = (int)info.output_width;
                state.image->height = (int)info.output_height;
                state.image->format = Image::FORMAT_RGB;
                state.image->data.reset(new unsigned char[rowBytes * info.output_height]);
                JSAMPROW rows[16];
                while (info.output_scanline < info.output_height && !state.error.damaged)
                {
                    JDIMENSION count = std::min<JDIMENSION>(16, info.output_height - info.output_scanline);
                    for (JDIMENSION i = 0; i < count; ++i)
                    {
                        rows[i] = state.image->data.get() + rowBytes * (info.output_scanline + i);
                    }
                    if (jpeg_read_scanlines(&info, rows, count) == 0)
                    {
                        return fail("JPEG: the picture ends early");
                    }
                }
                if (state.error.damaged)
                {
                    return false;
                }
                jpeg_finish_decompress(&info);
                return !state.error.damaged;
            }
        } // namespace

        Image* decodeJpeg(const unsigned char* data, size_t size)
        {
            if (data == nullptr || size == 0)
            {
                fail("JPEG: no data");
                return nullptr;
            }
            JpegState state;
            if (!readImage(state, data, size))
            {
                return nullptr;
            }
            return state.image.release();
        }
    } // namespace decoders
} // namespace tesra
