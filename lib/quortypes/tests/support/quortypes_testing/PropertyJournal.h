#pragma once

#include <algorithm>
#include <initializer_list>
#include <string>
#include <vector>

#include <quortypes/Log.h>
#include <quortypes/PropertyInfo.h>
#include <quortypes/exception.h>
#include <quortypes/hstring.h>

#include "ResourceFolder.h"

namespace quortypes_testing
{
    // What a class of objects answers about its properties, written as lines to compare with a pinned list:
    // data files and scripts rely on the names, their types and order, and the texts values read back as.
    class PropertyJournal
    {
    public:
        typedef std::vector<std::string> Lines;

        // "name:TYPE" for each listed property, in order.
        template <class T> static Lines described(const T& subject)
        {
            Lines result;
            for (const PropertyInfo& info : subject.getPropertyDescriptions())
            {
                result.push_back(std::string(info.name.c_str()) + ":" + typeName(info.type));
            }
            return result;
        }

        // Runs the steps on the subject. A step "name" reads the property: "name -> 'text'". A step
        // "name=value" sets it, then reads it back: "name=value: taken, reads 'text'", "refused, reads ..."
        // or "throws 'message'". Each line the log took meanwhile under one of the tags (any tag when there
        // are none) follows as "  <tag>: <text>".
        template <class T>
        static Lines run(T& subject, const std::vector<std::string>& steps, const Lines& tags = {})
        {
            Lines result;
            quortypes::Log::Callback previous = quortypes::Log::getCallback();
            logged().clear();
            loggedTags() = tags;
            quortypes::Log::setCallback(
                [](const hstring& tag, const hstring& text)
                {
                    const Lines& wanted = loggedTags();
                    if (wanted.empty() ||
                        std::find(wanted.begin(), wanted.end(), tag.c_str()) != wanted.end())
                    {
                        logged().push_back("  " + std::string(tag.c_str()) + ": " + text.c_str());
                    }
                });
            for (const std::string& step : steps)
            {
                size_t equals = step.find('=');
                if (equals == std::string::npos)
                {
                    std::string text = subject.getProperty(step.c_str()).c_str();
                    result.push_back(step + " -> '" + text + "'");
                }
                else
                {
                    hstring name = step.substr(0, equals).c_str();
                    hstring value = step.substr(equals + 1).c_str();
                    result.push_back(step + ": " + setAndRead(subject, name, value));
                }
                result.insert(result.end(), logged().begin(), logged().end());
                logged().clear();
            }
            quortypes::Log::setCallback(previous);
            return result;
        }

        // Runs the steps that a journal of run() records, so that a pinned journal is its own script.
        template <class T> static Lines replay(T& subject, const Lines& journal, const Lines& tags = {})
        {
            std::vector<std::string> steps;
            for (const std::string& line : journal)
            {
                if (line.compare(0, 2, "  ") == 0)
                {
                    continue;
                }
                size_t end = std::string::npos;
                for (const char* outcome : {" -> '", ": taken, ", ": refused, ", ": throws '"})
                {
                    end = std::min(end, line.find(outcome));
                }
                steps.push_back(line.substr(0, end));
            }
            return run(subject, steps, tags);
        }

        // The lines of each list in turn, as a class lists its bases' properties before or after its own.
        static Lines joined(std::initializer_list<Lines> parts)
        {
            Lines result;
            for (const Lines& part : parts)
            {
                result.insert(result.end(), part.begin(), part.end());
            }
            return result;
        }

        static std::string typeName(int type)
        {
            static const char* const names[] = {
                "INT",         "FLOAT",       "CHAR",      "UCHAR",     "BOOL",        "STRING",
                "ENUM",        "RECT",        "GVEC2",     "COLOR",     "COLOR_RANGE", "FLOAT_RANGE",
                "GVEC2_RANGE", "GVEC3_RANGE", "TIMINGS_1", "TIMINGS_2", "TIMINGS_3"};
            return type >= 0 && type < (int)(sizeof(names) / sizeof(names[0])) ? names[type]
                                                                               : std::to_string(type);
        }

    private:
        static Lines& logged()
        {
            static Lines lines;
            return lines;
        }

        static Lines& loggedTags()
        {
            static Lines tags;
            return tags;
        }

        template <class T>
        static std::string setAndRead(T& subject, const hstring& name, const hstring& value)
        {
            bool taken = false;
            try
            {
                taken = subject.setProperty(name, value);
            }
            catch (quortypes::exception& e)
            {
                return "throws '" + messageText(e) + "'";
            }
            return std::string(taken ? "taken" : "refused") + ", reads '" +
                   subject.getProperty(name).c_str() + "'";
        }
    };
} // namespace quortypes_testing
