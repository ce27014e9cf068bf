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
#include "VariableText.h"

namespace vumo
{
    using VariableText::crcLineBytes;
    using VariableText::holdsLineBreak;
    using VariableText::sameText;

    namespace
    {
        void prefetch(const void* address)
        {
#if defined(__GNUC__) || defined(__clang__)
            __builtin_prefetch(address);
#else
            (void)address;
#endif
        }

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
} // namespace vumo
