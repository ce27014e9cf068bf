#pragma once

#include <cmath>
#include <map>

#include <kavtypes/Vector2.h>
#include <quortypes/Log.h>
#include <quortypes/harray.h>
#include <quortypes/hstring.h>
#include <tesra/Color.h>
#include <tesraparticle/tesraparticle.h>

namespace tesraparticle
{
    namespace Affectors
    {
        // Values at points of a particle's life (0 to 1), blended in between; the text form is
        // "time:value" pairs separated by blanks.
        template <class T> class Timings
        {
        public:
            // Keeps the old pairs, after a warning, when the text gives fewer than two.
            void set(const hstring& text)
            {
                std::map<float, T> pairs;
                for (const hstring& piece : text.split(' '))
                {
                    harray<hstring> parts = piece.split(':');
                    // A time that is no number would break the map's order.
                    if (parts.size() == 2 && std::isfinite(parts[0].toFloat()))
                    {
                        pairs[parts[0].toFloat()] = parseValue(parts[1]);
                    }
                }
                if (pairs.size() < 2)
                {
                    quortypes::Log::warn(logTag, "Incorrect usage of 'timings' for Affector!");
                    return;
                }
                this->times.clear();
                this->values.clear();
                for (auto& pair : pairs)
                {
                    this->times.push_back(pair.first);
                    this->values.push_back(pair.second);
                }
            }

            hstring toString() const
            {
                harray<hstring> pieces;
                for (int i = 0; i < this->times.size(); ++i)
                {
                    pieces.push_back(hstring(this->times[i]) + ":" + valueToString(this->values[i]));
                }
                return pieces.joined(" ");
            }

            bool isEmpty() const { return this->times.size() == 0; }

            // Undefined while empty.
            T valueAt(float ratio) const
            {
                if (ratio <= this->times[0])
                {
                    return this->values[0];
                }
                int last = this->times.size() - 1;
                for (int i = 0; i < last; ++i)
                {
                    if (this->times[i] < ratio && ratio <= this->times[i + 1])
                    {
                        float weight = (this->times[i + 1] - ratio) / (this->times[i + 1] - this->times[i]);
                        return this->values[i] * weight + this->values[i + 1] * (1.0f - weight);
                    }
                }
                return this->values[last];
            }

            harray<float> times;
            harray<T> values;

        private:
            static T parseValue(const hstring& text);
            static hstring valueToString(const T& value);
        };

        template <> inline float Timings<float>::parseValue(const hstring& text)
        {
            return text.toFloat();
        }
        template <> inline hstring Timings<float>::valueToString(const float& value)
        {
            return hstring(value);
        }
        template <> inline kavtypes::Vector2 Timings<kavtypes::Vector2>::parseValue(const hstring& text)
        {
            return str_to_gvec2(text);
        }
        template <> inline hstring Timings<kavtypes::Vector2>::valueToString(const kavtypes::Vector2& value)
        {
            return gvec2_to_str(value);
        }
        template <> inline tesra::Color Timings<tesra::Color>::parseValue(const hstring& text)
        {
            return tesra::Color(text);
        }
        template <> inline hstring Timings<tesra::Color>::valueToString(const tesra::Color& value)
        {
            return value.hex();
        }
    } // namespace Affectors
} // namespace tesraparticle
