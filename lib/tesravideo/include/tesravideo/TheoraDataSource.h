#pragma once

#include <cstdio>
#include <memory>
#include <string>

#include <quortypes/Resource.h>

// Where a clip reads its bytes from. Offsets are absolute; read returns 0 at the end.
class TheoraDataSource
{
public:
    virtual ~TheoraDataSource();
    virtual int read(void* output, int count) = 0;
    virtual std::string repr() = 0;
    virtual void seek(int offset) = 0;
    virtual int size() = 0;
    virtual int tell() = 0;
};

// Opens its file on first use, so a missing file fails where the clip first reads.
class TheoraFileDataSource : public TheoraDataSource
{
public:
    explicit TheoraFileDataSource(const std::string& filename);
    ~TheoraFileDataSource() override;

    int read(void* output, int count) override;
    std::string repr() override { return this->filename; }
    void seek(int offset) override;
    int size() override;
    int tell() override;

private:
    FILE* file = nullptr;
    std::string filename;
    int length = 0;

    void _openFile();
};

// Owns a block of memory holding a whole file (videos small enough are preloaded this way).
class TheoraMemoryFileDataSource : public TheoraDataSource
{
public:
    TheoraMemoryFileDataSource(std::unique_ptr<unsigned char[]> data, long size, const std::string& name);
    ~TheoraMemoryFileDataSource() override;

    int read(void* output, int count) override;
    std::string repr() override { return "MEM:" + this->name; }
    void seek(int offset) override { this->position = offset; }
    int size() override { return this->length; }
    int tell() override { return this->position; }

private:
    std::string name;
    int length;
    int position = 0;
    std::unique_ptr<unsigned char[]> data;
};

// Reads a resource of the base library.
class TesraVideoDataSource : public TheoraDataSource
{
public:
    explicit TesraVideoDataSource(const hstring& filename);
    ~TesraVideoDataSource() override;

    int read(void* output, int count) override;
    std::string repr() override { return "HRESOURCE:" + this->filename; }
    void seek(int offset) override;
    int size() override { return this->length; }
    int tell() override;

private:
    quortypes::Resource resource;
    hstring filename;
    int length;
};
