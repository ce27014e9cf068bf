#include "ActionMap.h"

#include <cstring>
#include <utility>

#include <quortypes/AtomicFile.h>
#include <quortypes/Dir.h>
#include <quortypes/Log.h>
#include <quortypes/Resource.h>
#include <quortypes/exception.h>
#include <tesraui/Freed.h>

#include <quortypes/FileBytes.h>
#include "Session.h"

namespace vumo
{
    const char* const ActionMap::magic = "TorvinAMPv3";
    const float ActionMap::idleTime = 60.0f;

    namespace
    {
        const int magicSize = 11;
        // Colour, six 16-bit values and the mask length.
        const int regionHeaderSize = 4 + 12 + 4;

        // Little-endian reads over the file's bytes; every read is checked against what is left.
        class Reader
        {
        public:
            Reader(const hstring& bytes, const hstring& path) : bytes(bytes), path(path) {}

            int left() const { return (int)this->bytes.std::string::size() - this->at; }
            [[noreturn]] void fail(const hstring& reason) const
            {
                throw quortypes::exception(this->path + ": " + reason, __FILE__, __LINE__);
            }
            void need(int count, const char* what) const
            {
                if (count > this->left())
                {
                    this->fail(formatString("file ends early in %s (%d bytes wanted, %d left)", what, count,
                                            this->left()));
                }
            }
            uint32_t u32(const char* what)
            {
                this->need(4, what);
                const unsigned char* p = (const unsigned char*)this->bytes.data() + this->at;
                this->at += 4;
                return (uint32_t)p[0] | ((uint32_t)p[1] << 8) | ((uint32_t)p[2] << 16) |
                       ((uint32_t)p[3] << 24);
            }
            int s32(const char* what) { return (int)this->u32(what); }
            int s16(const char* what)
            {
                this->need(2, what);
                const unsigned char* p = (const unsigned char*)this->bytes.data() + this->at;
                this->at += 2;
                return (int)(int16_t)(uint16_t)(p[0] | (p[1] << 8));
            }
            void copy(unsigned char* out, int count, const char* what)
            {
                this->need(count, what);
                if (count > 0)
                {
                    memcpy(out, this->bytes.data() + this->at, (size_t)count);
                }
                this->at += count;
            }

        private:
            const hstring& bytes;
            const hstring& path;
            int at = 0;
        };

        void put32(std::string& out, uint32_t value)
        {
            for (int i = 0; i < 4; ++i)
            {
                out.push_back((char)((value >> (8 * i)) & 0xFF));
            }
        }

        void put16(std::string& out, int value)
        {
            const uint32_t bits = (uint32_t)value % 0x10000;
            out.push_back((char)(bits & 0xFF));
            out.push_back((char)((bits >> 8) & 0xFF));
        }
    } // namespace

    ActionMap::ActionMap(const hstring& path) : name(nameFromPath(path)), path(path) {}

    ActionMap::~ActionMap()
    {
        // Its chapter goes: whatever watches the map from outside the chapter reads it as gone, and the
        // contents go with the map, at once.
        this->life.end();
        if (this->loaded)
        {
            quortypes::Log::write(Session::logTag, "Unloading ActionMap " + this->name);
        }
    }

    hstring ActionMap::nameFromPath(const hstring& path)
    {
        if (path == "dummy")
        {
            return path;
        }
        const hstring file = (path.contains("/") ? path.subString(path.rfind('/') + 1) : path);
        return file.subString(0, file.size() > 4 ? file.size() - 4 : 0);
    }

    ActionMap::Contents ActionMap::parse(const hstring& bytes, const hstring& path)
    {
        Reader reader(bytes, path);
        const int magicRead = (reader.left() < magicSize ? reader.left() : magicSize);
        char found[magicSize + 1] = {};
        reader.copy((unsigned char*)found, magicRead, "the magic string");
        if (strncmp(found, magic, magicSize) != 0)
        {
            throw quortypes::exception(path + ": magic string doesn't match: '" + hstring(found) +
                                           "', should be '" + magic + "'",
                                       __FILE__, __LINE__);
        }
        Contents contents;
        const int count = reader.s32("the header");
        contents.width = reader.s32("the header");
        contents.height = reader.s32("the header");
        contents.totalMaskSize = reader.s32("the header");
        if (contents.width < 0 || contents.height < 0)
        {
            reader.fail(formatString("negative size %d x %d", contents.width, contents.height));
        }
        if (contents.totalMaskSize < 0)
        {
            reader.fail(formatString("negative total mask size %d", contents.totalMaskSize));
        }
        // Every mask byte and every region header must be in the file: a header cannot make us take more
        // memory than the file itself brings.
        if (contents.totalMaskSize > reader.left())
        {
            reader.fail(formatString("total mask size %d is more than the %d bytes left",
                                     contents.totalMaskSize, reader.left()));
        }
        if (count > 0 && count > reader.left() / regionHeaderSize)
        {
            reader.fail(formatString("%d regions cannot fit in the %d bytes left", count, reader.left()));
        }
        contents.masks.resize((size_t)contents.totalMaskSize);
        if (count > 0)
        {
            contents.regions.reserve((size_t)count);
        }
        int offset = 0;
        for (int i = 0; i < count; ++i)
        {
            ActionMapRegion region;
            const uint32_t stored = reader.u32("a region");
            region.color = (stored << 8) | (stored >> 24);
            region.left = reader.s16("a region");
            region.top = reader.s16("a region");
            region.right = reader.s16("a region");
            region.bottom = reader.s16("a region");
            region.centerX = reader.s16("a region");
            region.centerY = reader.s16("a region");
            region.maskLength = reader.s32("a region");
            if (region.right < region.left || region.bottom < region.top)
            {
                reader.fail(formatString("region %d has the empty rectangle %d,%d to %d,%d", i, region.left,
                                         region.top, region.right, region.bottom));
            }
            if (region.maskLength < 0)
            {
                reader.fail(formatString("region %d has the negative mask length %d", i, region.maskLength));
            }
            const int64_t bits = (int64_t)(region.right - region.left + 1) * (region.bottom - region.top + 1);
            if ((int64_t)region.maskLength * 8 < bits)
            {
                reader.fail(
                    formatString("the mask of region %d holds %d bytes, its rectangle needs %lld bits", i,
                                 region.maskLength, (long long)bits));
            }
            if (region.maskLength > contents.totalMaskSize - offset)
            {
                reader.fail(formatString("the masks pass the total mask size %d at region %d",
                                         contents.totalMaskSize, i));
            }
            region.maskOffset = offset;
            reader.copy(contents.masks.data() + offset, region.maskLength, "a region's mask");
            offset += region.maskLength;
            contents.regions.push_back(region);
        }
        // The masks read are what the map holds: a header that claimed more would be written back with
        // bytes that are not there, and the saved file would not read again.
        contents.totalMaskSize = offset;
        contents.masks.resize((size_t)offset);
        return contents;
    }

    hstring ActionMap::write(const Contents& contents)
    {
        std::string out(magic, magicSize);
        put32(out, (uint32_t)contents.regions.size());
        put32(out, (uint32_t)contents.width);
        put32(out, (uint32_t)contents.height);
        put32(out, (uint32_t)contents.totalMaskSize);
        for (const ActionMapRegion& region : contents.regions)
        {
            put32(out, region.color >> 8);
            for (int value :
                 {region.left, region.top, region.right, region.bottom, region.centerX, region.centerY})
            {
                put16(out, value);
            }
            put32(out, (uint32_t)region.maskLength);
            out.append((const char*)contents.masks.data() + region.maskOffset, (size_t)region.maskLength);
        }
        return out;
    }

    void ActionMap::ensureLoaded()
    {
        this->idleTimer = idleTime;
        if (!this->loaded && this->path != "dummy" && this->failure == "")
        {
            try
            {
                this->load();
            }
            catch (const quortypes::exception& e)
            {
                this->failure = e.getMessage();
                throw;
            }
        }
    }

    void ActionMap::load()
    {
        if (!quortypes::Resource::exists(this->path))
        {
            throw quortypes::exception(formatString("Unable to load ActionMap '%s', path '%s' not found",
                                                    this->name.c_str(), this->path.c_str()),
                                       __FILE__, __LINE__);
        }
        quortypes::Log::write(Session::logTag, formatString("Loading ActionMap %s: %s", this->name.c_str(),
                                                            this->path.c_str()));
        // Parsed aside: a damaged file leaves the map unloaded and empty.
        this->contents = parse(readFileBytes(this->path, true), this->path);
        this->loaded = true;
    }

    int ActionMap::getWidth()
    {
        this->ensureLoaded();
        return this->contents.width;
    }

    int ActionMap::getHeight()
    {
        this->ensureLoaded();
        return this->contents.height;
    }

    uint32_t ActionMap::getColorAt(int x, int y)
    {
        this->ensureLoaded();
        if (!this->loaded)
        {
            return 0;
        }
        const unsigned char* masks = this->contents.masks.data();
        for (const ActionMapRegion& region : this->contents.regions)
        {
            if (x >= region.left && x <= region.right && y >= region.top && y <= region.bottom &&
                region.color != 0 && region.hasPixel(masks, x, y))
            {
                return (region.color & 0xFFFFFF00) | 0xFF;
            }
        }
        return 0;
    }

    void ActionMap::setRegionCenter(uint32_t colorRGBA, int x, int y)
    {
        this->ensureLoaded();
        for (ActionMapRegion& region : this->contents.regions)
        {
            if (((region.color & 0xFFFFFF00) | 0xFF) == colorRGBA)
            {
                region.centerX = x;
                region.centerY = y;
                return;
            }
        }
    }

    const harray<ActionMapRegion>& ActionMap::getRegions()
    {
        this->ensureLoaded();
        return this->contents.regions;
    }

    const unsigned char* ActionMap::getMasks()
    {
        this->ensureLoaded();
        return this->contents.masks.data();
    }

    void ActionMap::update(float timeDelta)
    {
        if (this->idleTimer > 0.0f)
        {
            this->idleTimer -= timeDelta;
            // Frames that add up to the idle time exactly land on 0, which would otherwise keep the map
            // for good.
            if (this->idleTimer <= 0.0f)
            {
                this->unload();
            }
        }
    }

    void ActionMap::unload()
    {
        if (this->loaded)
        {
            quortypes::Log::write(Session::logTag, "Unloading ActionMap " + this->name);
            // Freed with what scripts destroyed, at the frame's end, so that whatever reads the map within
            // the frame reads it whole.
            tesraui::freeWithDestroyed(std::move(this->contents));
        }
        this->loaded = false;
        this->failure = "";
        this->contents = Contents();
        this->idleTimer = 0.0f;
    }

    void ActionMap::save(const hstring& path)
    {
        this->ensureLoaded();
        // An empty map written over a file that could not be read would lose that file for good.
        if (this->failure != "")
        {
            throw quortypes::exception("Unable to save ActionMap '" + this->name + "': " + this->failure,
                                       __FILE__, __LINE__);
        }
        hstring target = (path != "" ? path : this->path);
        const hstring prefix = quortypes::Resource::getPrefix();
        if (prefix != "")
        {
            target = quortypes::Dir::joinPath(prefix, target);
        }
        quortypes::saveFileAtomically(target, write(this->contents));
    }
} // namespace vumo
