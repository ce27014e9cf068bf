#pragma once

#include <utility>
#include <vector>

#include <quortypes/harray.h>
#include <quortypes/hdict.h>
#include <quortypes/hstring.h>
#include <tesraui/exception.h>

namespace vumo
{
    class Variable;

    // Called before a variable changes, with the variable, the proposed value and the current value; false
    // refuses the change.
    typedef bool (*VariableChangeCheck)(Variable* variable, const hstring& newValue,
                                        const hstring& currentValue);

    // Called after a variable changed, with the variable, its new value and the value before.
    typedef void (*VariableChangeListener)(Variable* variable, const hstring& value, const hstring& previous);

    class _UnknownVariableException : public tesraui::_GenericException
    {
    public:
        _UnknownVariableException(const hstring& name, const char* sourceFile, int lineNumber);

        static const char* const typeText;
    };

    // A named text value with the default it returns to on reset and against which the diff is taken.
    class Variable
    {
    public:
        // A free-standing record, named "unnamed" until assign gives it a name.
        Variable();
        Variable(const hstring& name, const hstring& value);

        const hstring& getName() const { return this->name; }
        hstring getValue() const { return this->currentValue; }
        const hstring& value() const { return this->currentValue; }
        const hstring& getDefault() const { return this->defaultValue; }

        // Nothing happens for an equal value. Otherwise logs the change (unless quiet) and asks the change
        // checks, any of which may keep the old value; a stored value is then told to the change listeners.
        // A value holding a line break throws, and so does one whose line would take a saved game's diff past
        // quortypes::maxPlayerFileBytes, naming the variable and the bound.
        void setValue(const hstring& value, bool quiet);
        void set(const hstring& value) { this->setValue(value, false); }
        // Stores the value without a log line and without asking the change checks: for copies of the
        // variables, such as a profile's snapshot, whose checks belong to the live variables.
        void setValueDirectly(const hstring& value);
        void setInt(int value);
        int toInt() const;
        void increment(int amount);
        // Takes the other's value, and its name when this record is still unnamed.
        void assign(const Variable& other);
        hstring describe() const;

        void addChangeCheck(VariableChangeCheck check);
        // Listeners run once the value is stored: the scripts they run read the new value, and a change they
        // make in turn is stored after this one rather than overwritten by it.
        void addChangeListener(VariableChangeListener listener);
        bool hasChangeListener(VariableChangeListener listener) const;

    protected:
        friend class VariableDictionary;

        hstring name;
        hstring currentValue;
        hstring defaultValue;
        harray<VariableChangeCheck> changeChecks;
        harray<VariableChangeListener> changeListeners;

        // The change checks' verdict on a change to the value.
        bool allowsChange(const hstring& value);
        // Stores the value and tells the listeners.
        void store(const hstring& value);
    };

    // Variables by name, in byte order of the names. Its diff file holds the variables that differ from their
    // defaults: "crc: " and the upper-case hexadecimal CRC-32 of the rest (or "ignore"), then "name: value"
    // lines; lines beginning with "#" are comments.
    class VariableDictionary
    {
    public:
        VariableDictionary() = default;
        // A copy's records lie in memory in the order of their names, so that its walks (the diff text of a
        // profile's snapshot) read memory front to back instead of jumping about the heap. A copy's records
        // carry no change checks: those belong to the records they were added to.
        VariableDictionary(const VariableDictionary& other);
        VariableDictionary& operator=(const VariableDictionary& other);
        VariableDictionary(VariableDictionary&& other) noexcept;
        VariableDictionary& operator=(VariableDictionary&& other) noexcept;

        // The engine's one dictionary.
        static VariableDictionary& getGlobal();

        // Throws when locked, when the name exists, when the name is empty, holds ": " or a line break or
        // begins with "#" (a diff file could not hold it), when a diff could not hold its line, and when the
        // value holds a line break.
        void create(const hstring& name, const hstring& value, bool quiet = false);
        bool exists(const hstring& name) const;
        // Throws _UnknownVariableException for an absent name.
        Variable& get(const hstring& name);
        // Creates an empty record of that name when it is absent.
        Variable& operator[](const hstring& name);
        const hdict<Variable>& getVariables() const { return this->variables; }

        bool isLocked() const { return this->locked; }
        void setLocked(bool value) { this->locked = value; }

        // Sets every variable its change checks allow back to its default.
        void resetAll(bool quiet);
        void captureDefaults();

        // Takes the values of the other's variables, making records for names it lacks, without the change
        // checks; true when any value changed.
        bool takeValuesOf(const VariableDictionary& other);

        hstring writeDiff() const;
        // Replaces the file atomically; throws naming the file when it cannot, or when the diff would hold
        // more than quortypes::maxPlayerFileBytes (naming the bound too), the file then left as it is.
        void saveDiff(const hstring& path) const;
        // False, with nothing changed, when the CRC is checked and does not match; a missing file throws.
        bool loadDiff(const hstring& path, bool resetFirst, bool quiet, bool checkCrc, bool asResource);
        // The bytes begin with a "crc: " line that matches the rest (or says "ignore"); body, when given,
        // receives the rest.
        static bool diffCrcMatches(const hstring& bytes, hstring* body = nullptr);
        // The value applying the diff (its CRC already checked) would give the variable: that of the last of
        // its lines whose value holds no line break, "" when none does. Found where it lies, for a caller
        // that wants one variable of a large diff without loading all of them.
        static hstring valueInDiff(const hstring& bytes, const hstring& name);
        // loadDiff's work on the file's bytes; source names the file in warnings.
        bool applyDiff(const hstring& bytes, const hstring& source, bool resetFirst, bool quiet,
                       bool checkCrc);

    protected:
        bool locked = false;
        hdict<Variable> variables;
        // The map's entries in the order of their names, for walks over all of them without chasing the
        // map's nodes. Stale after a single record is added (rebuilding it there would make set-up
        // quadratic); the copy and the bulk operations, the capture of the defaults that ends set-up among
        // them, rebuild it.
        typedef std::pair<const hstring, Variable> Entry;
        std::vector<Entry*> inNameOrder;
        bool orderStale = false;

        void rebuildOrder();
        void markOrderStale();
        // takeValuesOf's walk when both dictionaries hold the same names: the two indexes side by side.
        // False, having taken the values up to the first name that differs, when they do not.
        bool takeValuesInStep(const VariableDictionary& other, bool& any);
    };
} // namespace vumo
