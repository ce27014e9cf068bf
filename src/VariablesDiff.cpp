#include "Variables.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include <quortypes/AtomicFile.h>
#include <quortypes/File.h>
#include <quortypes/FileBytes.h>
#include <quortypes/Log.h>
#include <quortypes/Resource.h>
#include <quortypes/util.h>

#include "LogTag.h"
#include "VariableText.h"

// A dictionary's diff file: the variables that differ from their defaults, written, checked and read back.
namespace vumo
{
    using VariableText::crcLineBytes;
    using VariableText::holdsLineBreak;
    using VariableText::sameText;

    hstring VariableDictionary::writeDiff() const
    {
        // One walk over the records picks the changed variables and measures their lines; the text is then
        // written into one buffer of its final size, behind room for the longest "crc" line.
        std::vector<const Variable*> changed;
        size_t bodySize = 0;
        auto measure = [&changed, &bodySize](const Variable& variable)
        {
            const std::string& value = variable.currentValue;
            if (!sameText(value, variable.defaultValue))
            {
                changed.push_back(&variable);
                bodySize += variable.name.std::string::size() + 2 + value.size() + 1;
            }
        };
        if (this->orderStale)
        {
            for (const auto& entry : this->variables)
            {
                measure(entry.second);
            }
        }
        else
        {
            for (const Entry* entry : this->inNameOrder)
            {
                measure(entry->second);
            }
        }
        static const size_t crcRoom = crcLineBytes;
        hstring text;
        std::string& buffer = text;
        buffer.resize(crcRoom + bodySize);
        char* out = buffer.data() + crcRoom;
        for (const Variable* variable : changed)
        {
            const std::string& name = variable->name;
            const std::string& value = variable->currentValue;
            std::memcpy(out, name.data(), name.size());
            out += name.size();
            *out++ = ':';
            *out++ = ' ';
            std::memcpy(out, value.data(), value.size());
            out += value.size();
            *out++ = '\n';
        }
        const unsigned int crc =
            quortypes::crc32((const unsigned char*)buffer.data() + crcRoom, (int)bodySize);
        char line[crcRoom + 1];
        const size_t lineSize = (size_t)std::snprintf(line, sizeof(line), "crc: %X\n", crc);
        std::memcpy(buffer.data() + crcRoom - lineSize, line, lineSize);
        buffer.erase(0, crcRoom - lineSize);
        return text;
    }

    void VariableDictionary::saveDiff(const hstring& path) const
    {
        quortypes::saveFileAtomically(path, this->writeDiff(), quortypes::maxPlayerFileBytes);
    }

    bool VariableDictionary::loadDiff(const hstring& path, bool resetFirst, bool quiet, bool checkCrc,
                                      bool asResource)
    {
        if (!quiet)
        {
            quortypes::Log::write(Session::logTag, "loading variables diff from " + path);
        }
        if (asResource ? !quortypes::Resource::exists(path) : !quortypes::File::exists(path))
        {
            throw quortypes::exception("Unable to load variable diff, file '" + path + "' not found!",
                                       __FILE__, __LINE__);
        }
        return this->applyDiff(readFileBytes(path, asResource, quortypes::maxPlayerFileBytes), path,
                               resetFirst, quiet, checkCrc);
    }

    hstring VariableDictionary::valueInDiff(const hstring& bytes, const hstring& name)
    {
        // Every line of the body follows a line feed, the CRC line's for the first.
        const std::string key = "\n" + std::string(name) + ": ";
        const std::boyer_moore_horspool_searcher<std::string::const_iterator> searcher(key.begin(),
                                                                                       key.end());
        const std::string& text = bytes;
        hstring value;
        for (auto line = std::search(text.begin(), text.end(), searcher); line != text.end();
             line = std::search(line + 1, text.end(), searcher))
        {
            const size_t valueStart = (size_t)(line - text.begin()) + key.size();
            const size_t lineEnd = std::min(text.find('\n', valueStart), text.size());
            // A line ending in "\r\n" reads without its "\r".
            const size_t valueEnd = lineEnd > valueStart && text[lineEnd - 1] == '\r' ? lineEnd - 1 : lineEnd;
            if (text.find('\r', valueStart) >= valueEnd)
            {
                value = text.substr(valueStart, valueEnd - valueStart);
            }
        }
        return value;
    }

    bool VariableDictionary::diffCrcMatches(const hstring& bytes, hstring* body)
    {
        // The rest is checked where it lies and copied only when asked for.
        const size_t lineEnd = bytes.std::string::find('\n');
        const size_t restStart = lineEnd == std::string::npos ? bytes.std::string::size() : lineEnd + 1;
        hstring crcLine = bytes.std::string::substr(0, lineEnd);
        if (crcLine.endsWith("\r"))
        {
            crcLine.pop_back();
        }
        if (!crcLine.startsWith("crc: "))
        {
            return false;
        }
        hstring crcText = crcLine.subString(5);
        const int restSize = (int)(bytes.std::string::size() - restStart);
        unsigned int crc = quortypes::crc32((const unsigned char*)bytes.data() + restStart, restSize);
        if (crcText != formatString("%X", crc) && crcText != "ignore")
        {
            return false;
        }
        if (body != nullptr)
        {
            *body = bytes.std::string::substr(restStart);
        }
        return true;
    }

    bool VariableDictionary::applyDiff(const hstring& bytes, const hstring& source, bool resetFirst,
                                       bool quiet, bool checkCrc)
    {
        hstring body = bytes;
        if (checkCrc)
        {
            if (!diffCrcMatches(bytes, &body))
            {
                return false;
            }
        }
        harray<hstring> lines = splitLines(body);
        if (resetFirst)
        {
            this->resetAll(quiet);
        }
        int applied = 0;
        for (const hstring& line : lines)
        {
            hstring name, value;
            if (line.startsWith("#") || !line.split(": ", name, value))
            {
                continue;
            }
            // A stray "\r" inside a line; saving it back would not give the same file.
            if (holdsLineBreak(value))
            {
                quortypes::Log::warn(Session::logTag, "Skipping variable '" + quortypes::Log::quote(name) +
                                                          "' in " + source +
                                                          ", its value holds a line break");
                continue;
            }
            (*this)[name].setValue(value, true);
            ++applied;
        }
        if (!quiet)
        {
            quortypes::Log::write(Session::logTag,
                                  "loaded " + hstring(applied) + " variables from diff file");
        }
        return true;
    }
} // namespace vumo
