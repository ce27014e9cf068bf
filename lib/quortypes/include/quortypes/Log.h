#pragma once

#include <quortypes/hstring.h>

#if defined(__GNUC__)
#define QUORTYPES_LOG_FORMAT __attribute__((format(printf, 2, 3)))
#else
#define QUORTYPES_LOG_FORMAT
#endif

namespace quortypes
{
    // The one logging facility of the process. Lines go to the console and, once a log file is set, into
    // numbered segment files next to it, which mergeSegments() joins into the log file. Any thread may log.
    class Log
    {
    public:
        enum LogLevel
        {
            LevelDebug = 1,
            LevelWarn = 2,
            LevelError = 3,
            LevelWrite = 4
        };

        typedef void (*Callback)(const hstring& tag, const hstring& text);

        // Each returns false when the line was dropped by its level switch or the tag filter.
        static bool write(const hstring& tag, const hstring& text);
        static bool error(const hstring& tag, const hstring& text);
        static bool warn(const hstring& tag, const hstring& text);
        static bool debug(const hstring& tag, const hstring& text);
        static bool writef(const hstring& tag, const char* format, ...) QUORTYPES_LOG_FORMAT;
        static bool errorf(const hstring& tag, const char* format, ...) QUORTYPES_LOG_FORMAT;
        static bool warnf(const hstring& tag, const char* format, ...) QUORTYPES_LOG_FORMAT;
        static bool debugf(const hstring& tag, const char* format, ...) QUORTYPES_LOG_FORMAT;

        // A text longer than this is quoted in a line by its start and its end (see quote).
        static const int quoteLimit = 400;
        // A script's or a file's text as a line quotes it: over quoteLimit bytes, its first 300 bytes and its
        // last 80 around the number of bytes cut, so that a huge value cannot make a huge line. A cut never
        // splits a UTF-8 character.
        static hstring quote(const hstring& text);
        // The text's first keepStart and last keepEnd bytes around the separator, whose "%d" becomes the
        // number of bytes cut; the text must be longer than the two together.
        static hstring cutMiddle(const hstring& text, size_t keepStart, size_t keepEnd,
                                 const char* separator);
        // The start of the UTF-8 character the byte at `at` belongs to, so that a cut there splits none; `at`
        // itself when no character starts within the three bytes before it (bytes that are no UTF-8).
        static size_t characterStart(const std::string& text, size_t at);

        // Writes out the lines that wait in the buffers of the console and the log file. Warnings and
        // errors are written out at once, other lines wait for this (once a frame) or for the program's
        // exit.
        static void flush();

        static void setFilename(const hstring& path, bool clear);
        static void mergeSegments(bool clear);
        // Called after every line, with the log lock held, with the tag and the text carrying its level
        // prefix; null removes it.
        static void setCallback(Callback function);
        // The callback set now, so that a new one can hand lines on to it.
        static Callback getCallback();

    private:
        static bool writeLevel(const hstring& tag, const hstring& text, LogLevel level);
    };
} // namespace quortypes
