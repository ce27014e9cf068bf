#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>

#include <quortypes/StreamBase.h>

namespace quortypes
{
    // How a file is opened; each value stands for one standard mode string.
    enum class AccessMode
    {
        Read = 0,      // "rb"
        Write = 1,     // "wb"
        Append = 2,    // "ab"
        ReadWrite = 3, // "r+b"
        WriteRead = 4, // "w+b"
        AppendRead = 5 // "a+b"
    };

    // What files on disk and read-only resources share: the name, the handle and opening with retries.
    class FileBase : public StreamBase
    {
    public:
        explicit FileBase(unsigned char byteOffset = 0) : StreamBase(byteOffset) {}
        ~FileBase() override;

        using StreamBase::readRaw;
        using StreamBase::writeRaw;

        void close();
        bool isOpen() override { return this->file != nullptr; }
        hstring getDescriptor() override { return this->filename; }
        const hstring& getFilename() const { return this->filename; }

        // Whether the path names a regular file; without caseSensitive a file whose name differs only in
        // letter case counts too.
        static bool exists(const hstring& path, bool caseSensitive = true);

        // Shared by every opening: how many times a failed opening is repeated and how long to wait
        // between tries, in milliseconds.
        static int getRepeats() { return repeats; }
        static void setRepeats(int value) { repeats = value; }
        static float getTimeout() { return timeout; }
        static void setTimeout(float value) { timeout = value; }

    protected:
        hstring filename;
        FILE* file = nullptr;

        static int repeats;
        static float timeout;

        // Throws _file_not_found when every try fails.
        void open(const hstring& name, AccessMode mode, unsigned char byteOffset, int repeats, float timeout);
        // Opens with the shared tries and waits; null when every try failed. With size, the file's size as
        // the opening found it.
        static FILE* openWithRetries(const hstring& path, const char* mode, int repeats, float timeout,
                                     uint64_t* size = nullptr);
        static const char* modeString(AccessMode mode);

        void refreshSize() override;
        int readRaw(void* buffer, int size, int count) override;
        int writeRaw(const void* buffer, int size, int count) override;
        int position() override;
        void doSeek(int offset, SeekMode mode) override;
        hstring readPast(char delimiter) override;

    private:
        enum class Direction
        {
            None,
            Reading,
            Writing
        };
        // The C library needs a positioning call when a handle turns from reading to writing or back.
        Direction direction = Direction::None;
        void turnTo(Direction next);
        // The handle's position as far as this object knows it, -1 when it has to be asked for.
        long knownPosition = -1;
        // Bytes line reading took from the handle beyond the position: [aheadStart, aheadEnd) of ahead.
        // Every other use of the handle gives them back first.
        std::unique_ptr<char[]> ahead;
        size_t aheadStart = 0;
        size_t aheadEnd = 0;
        void giveBackReadAhead();
        hstring readPastAcrossChunks(char delimiter);
    };
} // namespace quortypes
