#include <quortypes/FileBase.h>

#include <chrono>
#include <climits>
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
        return (int)fread(buffer, (size_t)size, (size_t)count, this->file);
    }

    int FileBase::writeRaw(const void* buffer, int size, int count)
    {
        if (size <= 0 || count <= 0)
        {
            return 0;
        }
        this->turnTo(Direction::Writing);
        return (int)fwrite(buffer, (size_t)size, (size_t)count, this->file);
    }

    int FileBase::position()
    {
        long current = ftell(this->file);
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
        platform::readPastByte(this->file, delimiter, text);
        return true;
    }
} // namespace quortypes
