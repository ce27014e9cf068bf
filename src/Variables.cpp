#include "Variables.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <vector>

#include <quortypes/AtomicFile.h>
#include <quortypes/File.h>
#include <quortypes/Log.h>
#include <quortypes/Resource.h>
#include <quortypes/util.h>

#include <quortypes/FileBytes.h>
#include "LogTag.h"

namespace vumo
{
    namespace
    {
        bool holdsLineBreak(const hstring& text)
        {
            // Two scans of the whole text instead of find_first_of's search of the set at every byte: values
            // run to megabytes.
            const std::string& bytes = text;
            return std::memchr(bytes.data(), '\n', bytes.size()) != nullptr ||
                   std::memchr(bytes.data(), '\r', bytes.size()) != nullptr;
        }

        // Equal texts, with no library call for the usual case of a value that differs from its default in
        // length or first byte, or that is one byte long.
        bool sameText(const std::string& a, const std::string& b)
        {
            const size_t size = a.size();
            return size == b.size() &&
                   (size == 0 || (a[0] == b[0] && (size == 1 || std::memcmp(a.data(), b.data(), size) == 0)));
        }

        void prefetch(const void* address)
        {
#if defined(__GNUC__) || defined(__clang__)
            __builtin_prefetch(address);
#else
            (void)address;
#endif
        }

        // The most a "crc: " line takes.
        const size_t crcLineBytes = sizeof("crc: FFFFFFFF\n") - 1;

        // A value whose line alone would take a saved game's diff past what its read takes could never be
        // saved: the save would fail at every try, or the next load would refuse the file as damaged.
        void refuseUnsavable(const hstring& name, const hstring& value)
        {
            const size_t line = name.std::string::size() + 2 + value.std::string::size() + 1;
            if (line > quortypes::maxPlayerFileBytes - crcLineBytes)
            {
                throw quortypes::exception(
                    formatString("Unable to set variable '%s' to a value of %zu bytes: a saved game's "
                                 "'vars.diff' holds every variable and may hold no more than %zu bytes",
                                 quortypes::Log::quote(name).c_str(), value.std::string::size(),
                                 quortypes::maxPlayerFileBytes),
                    __FILE__, __LINE__);
            }
        }

        void refuseLineBreak(const hstring& name, const hstring& value)
        {
            if (holdsLineBreak(value))
            {
                throw quortypes::exception(
                    "Unable to set variable '" + name + "', line breaks are not allowed", __FILE__, __LINE__);
            }
        }
    } // namespace

    const char* const _UnknownVariableException::typeText = "UnknownVariableException ";

    _UnknownVariableException::_UnknownVariableException(const hstring& name, const char* sourceFile,
                                                         int lineNumber)
        : tesraui::_GenericException(name + " does not exist", sourceFile, lineNumber)
    {
    }

    Variable::Variable() : name("unnamed") {}

    Variable::Variable(const hstring& name, const hstring& value)
        : name(name), currentValue(value), defaultValue(value)
    {
    }

    bool Variable::allowsChange(const hstring& value)
    {
        for (VariableChangeCheck check : this->changeChecks)
        {
            if (!check(this, value, this->currentValue))
            {
                return false;
            }
        }
        return true;
    }

    void Variable::setValue(const hstring& value, bool quiet)
    {
        if (value == this->currentValue)
        {
            return;
        }
        refuseLineBreak(this->name, value);
        refuseUnsavable(this->name, value);
        if (!quiet)
        {
            quortypes::Log::write(Session::logTag, "$" + quortypes::Log::quote(this->name) + ": '" +
                                                       quortypes::Log::quote(value) + "' (was '" +
                                                       quortypes::Log::quote(this->currentValue) + "')");
        }
        if (this->allowsChange(value))
        {
            this->store(value);
        }
    }

    void Variable::store(const hstring& value)
    {
        if (this->changeListeners.empty())
        {
            this->currentValue = value;
            return;
        }
        const hstring previous = this->currentValue;
        this->currentValue = value;
        // By index and with copies of the values: a listener may set the variable again.
        for (int i = 0; i < this->changeListeners.size(); ++i)
        {
            this->changeListeners[i](this, hstring(value), previous);
        }
    }

    void Variable::setInt(int value)
    {
        this->setValue(hstring(value), false);
    }

    int Variable::toInt() const
    {
        return this->currentValue.toInt();
    }

    void Variable::increment(int amount)
    {
        // Wraps instead of overflowing.
        this->setInt((int)(unsigned int)((long long)this->toInt() + amount));
    }

    void Variable::assign(const Variable& other)
    {
        if (this->name == "unnamed")
        {
            this->name = other.name;
        }
        this->setValue(other.currentValue, false);
    }

    hstring Variable::describe() const
    {
        return this->name + " = '" + this->currentValue + "'";
    }

    void Variable::setValueDirectly(const hstring& value)
    {
        refuseLineBreak(this->name, value);
        this->currentValue = value;
    }

    void Variable::addChangeCheck(VariableChangeCheck check)
    {
        this->changeChecks.push_back(check);
    }

    void Variable::addChangeListener(VariableChangeListener listener)
    {
        this->changeListeners.push_back(listener);
    }

    bool Variable::hasChangeListener(VariableChangeListener listener) const
    {
        return std::find(this->changeListeners.begin(), this->changeListeners.end(), listener) !=
               this->changeListeners.end();
    }

    VariableDictionary& VariableDictionary::getGlobal()
    {
        static VariableDictionary global;
        return global;
    }

    VariableDictionary::VariableDictionary(const VariableDictionary& other) : locked(other.locked)
    {
        for (const auto& entry : other.variables)
        {
            auto made = this->variables.emplace_hint(this->variables.end(), entry.first, entry.second);
            // The checks and listeners watch the live record (the inventory pane draws whatever they are
            // shown): a copy loading another profile's files, or reset for a new one, must not reach them.
            made->second.changeChecks.clear();
            made->second.changeListeners.clear();
        }
        this->rebuildOrder();
    }

    VariableDictionary& VariableDictionary::operator=(const VariableDictionary& other)
    {
        if (this != &other)
        {
            // Built aside first: a copy that runs out of memory leaves this one as it was.
            VariableDictionary copy(other);
            *this = std::move(copy);
        }
        return *this;
    }

    VariableDictionary::VariableDictionary(VariableDictionary&& other) noexcept
        : locked(other.locked), variables(std::move(other.variables)),
          inNameOrder(std::move(other.inNameOrder)), orderStale(other.orderStale)
    {
        // Whatever the moved-from map still holds, its walks go by the map from now on.
        other.markOrderStale();
    }

    VariableDictionary& VariableDictionary::operator=(VariableDictionary&& other) noexcept
    {
        if (this != &other)
        {
            this->locked = other.locked;
            this->variables = std::move(other.variables);
            this->inNameOrder = std::move(other.inNameOrder);
            this->orderStale = other.orderStale;
            other.markOrderStale();
        }
        return *this;
    }

    void VariableDictionary::rebuildOrder()
    {
        this->inNameOrder.clear();
        this->inNameOrder.reserve(this->variables.std::map<hstring, Variable>::size());
        for (auto& entry : this->variables)
        {
            this->inNameOrder.push_back(&entry);
        }
        this->orderStale = false;
    }

    void VariableDictionary::markOrderStale()
    {
        this->inNameOrder.clear();
        this->orderStale = true;
    }

    void VariableDictionary::create(const hstring& name, const hstring& value, bool quiet)
    {
        if (this->locked)
        {
            throw quortypes::exception(
                "Unable to create new variable '" + name +
                    "', dictionary locked. You can only create variables on system init.",
                __FILE__, __LINE__);
        }
        if (name == "" || name.contains(": ") || holdsLineBreak(name) || name.startsWith("#"))
        {
            throw quortypes::exception(
                "VariableDictionary: Unable to create var '" + name +
                    "', names must not be empty, hold ': ' or a line break, or begin with '#'.",
                __FILE__, __LINE__);
        }
        if (this->variables.hasKey(name))
        {
            throw quortypes::exception("VariableDictionary: Unable to create var '" + name +
                                           "', var already exists.",
                                       __FILE__, __LINE__);
        }
        refuseLineBreak(name, value);
        // Its default is never written, but any other value is, beside the name.
        refuseUnsavable(name, "");
        this->variables[name] = Variable(name, value);
        this->markOrderStale();
        if (!quiet)
        {
            quortypes::Log::write(Session::logTag,
                                  "Created user variable '" + quortypes::Log::quote(name) + "'");
        }
    }

    bool VariableDictionary::exists(const hstring& name) const
    {
        return this->variables.hasKey(name);
    }

    Variable& VariableDictionary::get(const hstring& name)
    {
        auto it = this->variables.find(name);
        if (it == this->variables.end())
        {
            throw _UnknownVariableException(name, __FILE__, __LINE__);
        }
        return it->second;
    }

    Variable& VariableDictionary::operator[](const hstring& name)
    {
        auto it = this->variables.find(name);
        if (it == this->variables.end())
        {
            it = this->variables.emplace(name, Variable(name, "")).first;
            this->markOrderStale();
        }
        return it->second;
    }

    void VariableDictionary::resetAll(bool quiet)
    {
        if (!quiet)
        {
            quortypes::Log::write(Session::logTag, "resetting vars");
        }
        for (auto& entry : this->variables)
        {
            Variable& variable = entry.second;
            if (variable.currentValue != variable.defaultValue &&
                variable.allowsChange(variable.defaultValue))
            {
                variable.store(variable.defaultValue);
            }
        }
    }

    void VariableDictionary::captureDefaults()
    {
        for (auto& entry : this->variables)
        {
            entry.second.defaultValue = entry.second.currentValue;
        }
        // The end of set-up: from here on records are seldom added, and the profile's syncs walk this index.
        if (this->orderStale)
        {
            this->rebuildOrder();
        }
    }

    bool VariableDictionary::takeValuesInStep(const VariableDictionary& other, bool& any)
    {
        if (this->orderStale || other.orderStale || this->inNameOrder.size() != other.inNameOrder.size())
        {
            return false;
        }
        // The live records lie about the heap in the order they were made: asking for those a few steps
        // ahead overlaps the waits for memory that a walk one by one would take in turn.
        static const size_t ahead = 8;
        const size_t count = this->inNameOrder.size();
        Entry* const* kept = this->inNameOrder.data();
        const Entry* const* live = other.inNameOrder.data();
        for (size_t i = 0; i < count; ++i)
        {
            if (i + ahead < count)
            {
                prefetch(live[i + ahead]);
                prefetch(&live[i + ahead]->second.currentValue);
                prefetch(kept[i + ahead]);
                prefetch(&kept[i + ahead]->second.currentValue);
            }
            if (!sameText(kept[i]->first, live[i]->first))
            {
                return false;
            }
            const std::string& value = live[i]->second.currentValue;
            if (!sameText(kept[i]->second.currentValue, value))
            {
                kept[i]->second.setValueDirectly(live[i]->second.currentValue);
                any = true;
            }
        }
        return true;
    }

    bool VariableDictionary::takeValuesOf(const VariableDictionary& other)
    {
        bool any = false;
        if (this->takeValuesInStep(other, any))
        {
            return any;
        }
        // Both maps are in the same order: one walk through each, where a lookup per name would cost a
        // search.
        bool added = false;
        auto kept = this->variables.begin();
        for (auto& entry : other.variables)
        {
            while (kept != this->variables.end() && kept->first < entry.first)
            {
                ++kept;
            }
            if (kept == this->variables.end() || entry.first < kept->first)
            {
                kept = this->variables.emplace_hint(kept, entry.first, Variable(entry.first, ""));
                added = true;
            }
            const std::string& value = entry.second.currentValue;
            if (static_cast<const std::string&>(kept->second.currentValue) != value)
            {
                kept->second.setValueDirectly(entry.second.currentValue);
                any = true;
            }
            ++kept;
        }
        if (added || this->orderStale)
        {
            this->rebuildOrder();
        }
        return any;
    }

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
