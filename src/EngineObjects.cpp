#include "EngineObjects.h"

#include <memory>
#include <set>
#include <string>

#include <quortypes/Log.h>
#include <tesraui/Dataset.h>
#include <tesraui/Object.h>

#include "LogTag.h"

namespace vumo
{
    namespace EngineObjects
    {
        namespace
        {
            hstring quotedName(const tesraui::Object* object)
            {
                return "'" + object->getFullName() + "'";
            }

            std::set<std::string>& reportedNames()
            {
                static std::set<std::string> names;
                return names;
            }

            // The first object at or below object (only below it with childrenOnly) held from outside.
            const tesraui::Object* findOutsideHeld(const tesraui::Object* object, bool childrenOnly)
            {
                if (!childrenOnly && object->getOutsideHolder() != nullptr)
                {
                    return object;
                }
                for (const tesraui::Object* child : object->getChildren())
                {
                    if (const tesraui::Object* held = findOutsideHeld(child, false))
                    {
                        return held;
                    }
                }
                return nullptr;
            }

            // A part among what goes whose holder stays: one at the top of it. Below those, every part's
            // holder goes too.
            const tesraui::Object* findStrandedPart(const tesraui::Object* object, bool childrenOnly)
            {
                if (!childrenOnly)
                {
                    return object->isHeldPart() ? object : nullptr;
                }
                for (const tesraui::Object* child : object->getChildren())
                {
                    if (child->isHeldPart())
                    {
                        return child;
                    }
                }
                return nullptr;
            }
        } // namespace

        hstring refusal(const tesraui::Object* object, bool childrenOnly)
        {
            if (const tesraui::Object* held = findOutsideHeld(object, childrenOnly))
            {
                const hstring what = "belongs to the engine (held by " + hstring(held->getOutsideHolder()) +
                                     ") and cannot be destroyed";
                return (held == object ? "object " + quotedName(object) + " " + what
                                       : "object " + quotedName(object) + " holds " + quotedName(held) +
                                             ", which " + what);
            }
            if (const tesraui::Object* part = findStrandedPart(object, childrenOnly))
            {
                const tesraui::Object* holder = part->getPartHolder();
                return "object " + quotedName(part) + " is a part of '" +
                       (holder != nullptr ? holder->getFullName() : hstring()) + "' and goes only with it";
            }
            return "";
        }

        hstring freeName(const tesraui::Dataset* dataset, const hstring& wanted)
        {
            if (dataset == nullptr || !dataset->getObjects().hasKey(wanted))
            {
                return wanted;
            }
            hstring name;
            for (int n = 2;; ++n)
            {
                name = wanted + "_" + hstring(n);
                if (!dataset->getObjects().hasKey(name))
                {
                    break;
                }
            }
            if (reportedNames().insert(std::string((dataset->getName() + "." + wanted).c_str())).second)
            {
                quortypes::Log::warn(Session::logTag, "Another object of dataset '" + dataset->getName() +
                                                          "' is named '" + wanted +
                                                          "', a name the engine gives an object of its own; "
                                                          "the engine names its own '" +
                                                          name + "' and leaves the other alone.");
            }
            return name;
        }

        void forgetTakenNames()
        {
            reportedNames().clear();
        }

        void attachTo(tesraui::Object* object, tesraui::Object* parent, tesraui::Dataset* dataset, bool part)
        {
            // Until the dataset takes it, a failure frees the object here.
            std::unique_ptr<tesraui::Object> unregistered(object);
            dataset->registerObjects(object);
            unregistered.release();
            object->setHeldPart(part);
            parent->addChild(object);
        }
    } // namespace EngineObjects
} // namespace vumo
