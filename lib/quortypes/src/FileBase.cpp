#include <quortypes/FileBase.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <thread>

#include <quortypes/Dir.h>
#include <quortypes/exception.h>

#include "CarriageReturns.h"
#include "DelimiterScan.h"
#include "platform/FileSystem.h"

namespace quortypes
{
    int FileBase::repeats = 0;
    float FileBase::timeout = 100.0f;

    FileBase::~FileBase()
    {
        if (this->file != nullptr)
        {
            fclose(this->file);
            this->file = nullptr;
        }
    }

    const char* FileBase::modeString(AccessMode mode)
    {
        switch (mode)
        {
        case AccessMode::Read:
            return "rb";
        case AccessMode::Write:
            return "wb";
        case AccessMode::Append:
            return "ab";
        case AccessMode::ReadWrite:
            return "r+b";
        case AccessMode::WriteRead:
            return "w+b";
        case AccessMode::AppendRead:
            return "a+b";
        }
        return "rb";
    }

    FILE* FileBase::openWithRetries(const hstring& path, const char* mode, int repeats, float timeout,
                                    uint64_t* size)
    {
        for (int attempt = 0;; ++attempt)
        {
            FILE* handle = platform::openFile(path, mode, size);
            // Waiting does not make a named pipe or a device a file.
            if (handle != nullptr || attempt >= repeats || errno == platform::notRegularFileError)
            {
                return handle;
            }
            std::this_thread::sleep_for(std::chrono::duration<float, std::milli>(timeout));
        }
    }

    void FileBase::open(const hstring& name, AccessMode mode, unsigned char byteOffset, int repeats,
                        float timeout)
    {
        if (this->file != nullptr)
        {
            fclose(this->file);
            this->file = nullptr;
            this->dataSize = 0;
        }
        this->filename = Dir::normalize(name);
        this->byteOffset = byteOffset;
        this->direction = Direction::None;
        this->knownPosition = -1;
        this->aheadStart = this->aheadEnd = 0;
        uint64_t size = 0;
        this->file = openWithRetries(this->filename, modeString(mode), repeats, timeout, &size);
        if (this->file == nullptr)
        {
            // Something is there, so "not found" would mislead whoever has to mend it.
            if (errno == platform::notRegularFileError)
            {
                throw exception("'" + this->getFilename() + "' is not a regular file", "hfbase", __LINE__);
            }
            throw _file_not_found(this->getFilename(), false, "hfbase", __LINE__);
        }
        // What refreshSize would find, from the look the opening took: its seek to the end and back would
        // read the file's last block only to drop it.
        this->dataSize = (size > (uint64_t)INT_MAX ? INT_MAX : (int)size);
    }

    void FileBase::close()
    {
        this->checkOpen();
        fclose(this->file);
        this->file = nullptr;
        this->dataSize = 0;
        this->knownPosition = -1;
        this->aheadStart = this->aheadEnd = 0;
    }

    bool FileBase::exists(const hstring& path, bool caseSensitive)
    {
        hstring name = Dir::normalize(path);
        if (platform::isRegularFile(name))
        {
            return true;
        }
        if (caseSensitive)
        {
            return false;
        }
        hstring lowered = Dir::baseName(name).lowered();
        for (const hstring& entry : Dir::files(Dir::baseDir(name)))
        {
            if (entry.lowered() == lowered)
            {
                return true;
            }
        }
        return false;
    }

    void FileBase::refreshSize()
    {
        this->giveBackReadAhead();
        long current = ftell(this->file);
        fseek(this->file, 0, SEEK_END);
        long end = ftell(this->file);
        fseek(this->file, current, SEEK_SET);
        this->direction = Direction::None;
        this->dataSize = end < 0 ? 0 : (end > INT_MAX ? INT_MAX : (int)end);
    }

    int FileBase::readRaw(void* buffer, int size, int count)
    {
        if (size <= 0 || count <= 0)
        {
            return 0;
        }
        this->giveBackReadAhead();
        this->turnTo(Direction::Reading);
        size_t got = fread(buffer, (size_t)size, (size_t)count, this->file);
        // A short read may have consumed part of an item, so the position is no longer known.
        if (this->knownPosition >= 0 && got == (size_t)count)
        {
            this->knownPosition += (long)size * count;
        }
        else
        {
            this->knownPosition = -1;
        }
        return (int)got;
    }

    int FileBase::writeRaw(const void* buffer, int size, int count)
    {
        if (size <= 0 || count <= 0)
        {
            return 0;
        }
        this->giveBackReadAhead();
        this->turnTo(Direction::Writing);
        // Appending handles write at the end whatever the position was.
        this->knownPosition = -1;
        return (int)fwrite(buffer, (size_t)size, (size_t)count, this->file);
    }

    int FileBase::position()
    {
        // ftell locks the handle and may ask the system; line-by-line reading asks for every line.
        if (this->knownPosition < 0)
        {
            this->giveBackReadAhead();
            this->knownPosition = ftell(this->file);
        }
        long current = this->knownPosition;
        return current < 0 ? 0 : (current > INT_MAX ? INT_MAX : (int)current);
    }

    void FileBase::doSeek(int offset, SeekMode mode)
    {
        int origin = SEEK_CUR;
        if (mode == SeekMode::Start)
        {
            origin = SEEK_SET;
        }
        else if (mode == SeekMode::End)
        {
            origin = SEEK_END;
        }
        this->giveBackReadAhead();
        fseek(this->file, offset, origin);
        this->direction = Direction::None;
        this->knownPosition = -1;
    }

    void FileBase::turnTo(Direction next)
    {
        if (this->direction != Direction::None && this->direction != next)
        {
            fseek(this->file, 0, SEEK_CUR);
        }
        this->direction = next;
    }

    void FileBase::giveBackReadAhead()
    {
        if (this->aheadStart < this->aheadEnd)
        {
            fseek(this->file, -(long)(this->aheadEnd - this->aheadStart), SEEK_CUR);
            this->direction = Direction::None;
        }
        this->aheadStart = this->aheadEnd = 0;
    }

    hstring FileBase::readPast(char delimiter)
    {
        // Not virtual: the position is nearly always known here, and this runs for every line.
        if (FileBase::position() >= this->dataSize)
        {
            return hstring();
        }
        // Most texts lie within the chunk read ahead: one pass finds both their end and whether they hold a
        // carriage return, and the text is made at its size straight from the chunk, in the caller's string.
        if (this->aheadStart < this->aheadEnd)
        {
            const char* begin = this->ahead.get() + this->aheadStart;
            const size_t available = this->aheadEnd - this->aheadStart;
            const DelimiterScan scan = scanDelimiter(begin, available, delimiter);
            if (scan.end < available)
            {
                this->aheadStart += scan.end + 1;
                if (this->knownPosition >= 0)
                {
                    this->knownPosition += (long)(scan.end + 1);
                }
                if (scan.firstReturn == scan.end)
                {
                    return hstring(begin, (int)scan.end);
                }
                if (scan.firstReturn + 1 == scan.end)
                {
                    // the usual "\r\n" ending
                    return hstring(begin, (int)scan.firstReturn);
                }
                hstring text(begin, (int)scan.end);
                removeCarriageReturns(text);
                return text;
            }
        }
        return this->readPastAcrossChunks(delimiter);
    }

    hstring FileBase::readPastAcrossChunks(char delimiter)
    {
        // Line by line through stdio costs a locked call per line and a copy out of its buffer; a chunk
        // of our own is searched and copied from directly. Its slack lets the search read whole blocks.
        static const size_t aheadSize = 65536;
        if (this->ahead == nullptr)
        {
            this->ahead.reset(new char[aheadSize + delimiterScanSlack]());
        }
        hstring text;
        while (true)
        {
            if (this->aheadStart == this->aheadEnd)
            {
                this->turnTo(Direction::Reading);
                if (this->knownPosition < 0)
                {
                    this->knownPosition = ftell(this->file);
                }
                this->aheadStart = 0;
                this->aheadEnd = fread(this->ahead.get(), 1, aheadSize, this->file);
                if (this->aheadEnd == 0)
                {
                    break;
                }
            }
            const char* begin = this->ahead.get() + this->aheadStart;
            const size_t available = this->aheadEnd - this->aheadStart;
            const char* found = static_cast<const char*>(memchr(begin, delimiter, available));
            const size_t taken = found != nullptr ? (size_t)(found - begin) : available;
            text.append(begin, taken);
            const size_t consumed = taken + (found != nullptr ? 1 : 0);
            this->aheadStart += consumed;
            if (this->knownPosition >= 0)
            {
                this->knownPosition += (long)consumed;
            }
            if (found != nullptr)
            {
                break;
            }
        }
        removeCarriageReturns(text);
        return text;
    }
} // namespace quortypes
