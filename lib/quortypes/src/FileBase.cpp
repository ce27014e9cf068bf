#include <quortypes/FileBase.h>

#include <chrono>
#include <climits>
#include <cstdlib>
#include <thread>

#include <quortypes/Dir.h>
#include <quortypes/exception.h>

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
        ::free(this->lineBuffer);
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

    FILE* FileBase::openWithRetries(const hstring& path, const char* mode, int repeats, float timeout)
    {
        for (int attempt = 0;; ++attempt)
        {
            FILE* handle = platform::openFile(path, mode);
            if (handle != nullptr || attempt >= repeats)
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
        this->file = openWithRetries(this->filename, modeString(mode), repeats, timeout);
        if (this->file == nullptr)
        {
            throw _file_not_found(this->getFilename(), false, "hfbase", __LINE__);
        }
        this->refreshSize();
    }

    void FileBase::close()
    {
        this->checkOpen();
        fclose(this->file);
        this->file = nullptr;
        this->dataSize = 0;
        this->knownPosition = -1;
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

    bool FileBase::readPastByte(char delimiter, std::string& text)
    {
        // Seeking back on a stdio handle costs a system call; reading exactly up to the delimiter
        // does not.
        this->turnTo(Direction::Reading);
        long consumed =
            platform::readPastByte(this->file, delimiter, text, this->lineBuffer, this->lineCapacity);
        if (this->knownPosition >= 0 && consumed >= 0)
        {
            this->knownPosition += consumed;
        }
        else
        {
            this->knownPosition = -1;
        }
        return true;
    }
} // namespace quortypes
