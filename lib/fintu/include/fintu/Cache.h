#pragma once

#include <map>

#include <kavtypes/Rectangle.h>
#include <kavtypes/Vector2.h>
#include <quortypes/harray.h>
#include <quortypes/hlist.h>
#include <quortypes/hstring.h>
#include <tesra/Color.h>
#include <fintu/RenderLine.h>
#include <fintu/RenderSequence.h>

namespace fintu
{
    /// Key and result of one drawn text. The drawing colour's alpha is not part of the key, so a fading text
    /// keeps its layout.
    struct CacheEntryText
    {
        hstring text;
        hstring fontName;
        kavtypes::Rectangle rect;
        int horzFormatting = 0;
        int vertFormatting = 0;
        tesra::Color color;
        kavtypes::Vector2 offset;
        harray<RenderSequence> textSequences;
        harray<RenderSequence> shadowSequences;
        harray<RenderSequence> borderSequences;

        unsigned int hash() const;
        bool operator==(const CacheEntryText& other) const;
        void copyResult(const CacheEntryText& other);
    };

    /// Key and result of one line measurement.
    struct CacheEntryLine
    {
        hstring text;
        /// The whole text with its tags when it has any, "" otherwise: the same plain text measures
        /// differently under other tags.
        hstring formatted;
        hstring fontName;
        kavtypes::Vector2 size;
        RenderLine line;

        unsigned int hash() const;
        bool operator==(const CacheEntryLine& other) const;
        void copyResult(const CacheEntryLine& other) { line = other.line; }
    };

    /// The hash of a text key's strings, to which each key kind adds its own fields.
    unsigned int hashStrings(const hstring& text, const hstring& fontName);

    /// Results kept by key in buckets of equal hashes; the oldest additions leave first once there are more
    /// buckets than the maximum size. A hit does not refresh an entry.
    template <class Entry> class Cache
    {
    public:
        int getMaxSize() const { return maxSize; }
        /// A negative size never trims.
        void setMaxSize(int value) { maxSize = value; }
        /// Number of buckets, which is what the maximum size limits.
        int size() const { return (int)buckets.size(); }

        bool get(Entry& key) const
        {
            auto it = buckets.find(key.hash());
            if (it == buckets.end())
            {
                return false;
            }
            for (const Entry& entry : it->second)
            {
                if (entry == key)
                {
                    key.copyResult(entry);
                    return true;
                }
            }
            return false;
        }

        void add(const Entry& entry)
        {
            buckets[entry.hash()].push_back(entry);
            order.push_back(entry);
        }

        void trim()
        {
            if (maxSize < 0)
            {
                return;
            }
            int excess = (int)buckets.size() - maxSize;
            for (int i = 0; i < excess && !order.empty(); ++i)
            {
                const Entry& oldest = order.front();
                auto it = buckets.find(oldest.hash());
                if (it != buckets.end())
                {
                    harray<Entry>& bucket = it->second;
                    for (auto entry = bucket.begin(); entry != bucket.end(); ++entry)
                    {
                        if (*entry == oldest)
                        {
                            bucket.erase(entry);
                            break;
                        }
                    }
                    if (bucket.empty())
                    {
                        buckets.erase(it);
                    }
                }
                order.pop_front();
            }
        }

        void clear()
        {
            buckets.clear();
            order.clear();
        }

    private:
        int maxSize = 1000;
        std::map<unsigned int, harray<Entry>> buckets;
        hlist<Entry> order;
    };
} // namespace fintu
