#include <algorithm>
#include <cstring>
#include <utility>

#include <tesravideo/TheoraDataSource.h>
#include <tesravideo/TheoraException.h>

TheoraDataSource::~TheoraDataSource() {}

TheoraFileDataSource::TheoraFileDataSource(const std::string& filename) : filename(filename) {}

TheoraFileDataSource::~TheoraFileDataSource()
{
    if (this->file != nullptr)
    {
        fclose(this->file);
    }
}

void TheoraFileDataSource::_openFile()
{
    if (this->file != nullptr)
    {
        return;
    }
    this->file = fopen(this->filename.c_str(), "rb");
    if (this->file == nullptr)
    {
        THEORA_THROW("Can't open video file: " + this->filename);
    }
    fseek(this->file, 0, SEEK_END);
    this->length = (int)ftell(this->file);
    fseek(this->file, 0, SEEK_SET);
}

int TheoraFileDataSource::read(void* output, int count)
{
    this->_openFile();
    return (int)fread(output, 1, count, this->file);
}

void TheoraFileDataSource::seek(int offset)
{
    this->_openFile();
    fseek(this->file, offset, SEEK_SET);
}

int TheoraFileDataSource::size()
{
    this->_openFile();
    return this->length;
}

int TheoraFileDataSource::tell()
{
    return (this->file != nullptr ? (int)ftell(this->file) : 0);
}

TheoraMemoryFileDataSource::TheoraMemoryFileDataSource(std::unique_ptr<unsigned char[]> data, long size,
                                                       const std::string& name)
    : name(name), length((int)size), data(std::move(data))
{
}

TheoraMemoryFileDataSource::~TheoraMemoryFileDataSource() = default;

int TheoraMemoryFileDataSource::read(void* output, int count)
{
    // A position beyond the end (after a seek there) reads nothing rather than a negative count.
    int available = std::max(0, this->length - this->position);
    count = std::min(std::max(count, 0), available);
    if (count == 0)
    {
        return 0;
    }
    memcpy(output, this->data.get() + this->position, count);
    this->position += count;
    return count;
}

TesraVideoDataSource::TesraVideoDataSource(const hstring& filename) : resource(filename), filename(filename)
{
    this->length = this->resource.getSize();
}

TesraVideoDataSource::~TesraVideoDataSource()
{
    this->resource.close();
}

int TesraVideoDataSource::read(void* output, int count)
{
    return this->resource.readRaw(output, count);
}

void TesraVideoDataSource::seek(int offset)
{
    this->resource.seek(offset, quortypes::SeekMode::Start);
}

int TesraVideoDataSource::tell()
{
    return this->resource.getPosition();
}
