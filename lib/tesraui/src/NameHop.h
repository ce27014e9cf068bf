#pragma once

#include <quortypes/Log.h>
#include <quortypes/UnderWay.h>
#include <quortypes/hstring.h>
#include <tesraui/Dataset.h>
#include <tesraui/exception.h>

namespace tesraui
{
    // A dotted name "a.b" asks the dataset named a for b, which may be dotted again: each dataset asks the
    // next from inside its own lookup. One of these stands for each dataset a lookup has gone on to, and
    // refuses to go further than Dataset::maxNameHops.
    class NameHop
    {
    public:
        // `kind` is "Object", "Image" or "Text".
        NameHop(const hstring& name, const char* kind) : hop(depth)
        {
            // The whole name stands on the stack of the first lookup as long as the others run.
            outermost = (depth == 1 ? &name : outermost);
            if (depth > Dataset::maxNameHops)
            {
                throw _GenericException(hstring(kind) + " name '" + quortypes::Log::quote(*outermost) +
                                            "' goes on through more than " + hstring(Dataset::maxNameHops) +
                                            " datasets",
                                        "src/Dataset", __LINE__);
            }
        }
        NameHop(const NameHop&) = delete;
        NameHop& operator=(const NameHop&) = delete;

    private:
        // Lookups run on the main thread only.
        static inline int depth = 0;
        static inline const hstring* outermost = nullptr;
        const quortypes::CountedUnderWay hop;
    };
} // namespace tesraui
