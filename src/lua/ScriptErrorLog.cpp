#include "ScriptErrorLog.h"

#include <algorithm>
#include <string>
#include <vector>

#include <quortypes/Log.h>

namespace vumo
{
    namespace ScriptErrorLog
    {
        namespace
        {
            // The texts written of late; a failure often writes two (the log's line and the overlay's).
            struct Recent
            {
                hstring tag;
                bool error;
                hstring text;
                int repeats;
                float quiet;
            };
            std::vector<Recent> recent;
            const size_t recentLimit = 8;

            void writeLine(const Recent& entry, const hstring& text)
            {
                if (entry.error)
                {
                    quortypes::Log::error(entry.tag, text);
                }
                else
                {
                    quortypes::Log::write(entry.tag, text);
                }
            }

            void writeCount(Recent& entry)
            {
                if (entry.repeats == 0)
                {
                    return;
                }
                hstring first = entry.text;
                const int end = first.find('\n');
                if (end >= 0)
                {
                    first = first.subString(0, end);
                }
                if (first.size() > 120)
                {
                    first = first.subString(0, (int)quortypes::Log::characterStart(first, 117)) + "...";
                }
                writeLine(entry,
                          entry.repeats == 1
                              ? "(the same error once more: " + first + ")"
                              : formatString("(the same error %d more times: ", entry.repeats) + first + ")");
                entry.repeats = 0;
            }
        } // namespace

        hstring shortened(const hstring& text)
        {
            if (text.size() <= lineLimit)
            {
                return text;
            }
            const std::string& whole = text;
            std::string result;
            result.reserve(std::min<size_t>(whole.size(), 4 * (size_t)textLimit));
            for (size_t start = 0; start <= whole.size();)
            {
                const size_t found = whole.find('\n', start);
                const size_t end = (found == std::string::npos ? whole.size() : found);
                if (end - start > (size_t)lineLimit)
                {
                    result += quortypes::Log::quote(whole.substr(start, end - start));
                }
                else
                {
                    result.append(whole, start, end - start);
                }
                if (found != std::string::npos)
                {
                    result += '\n';
                }
                start = end + 1;
            }
            if (result.size() > (size_t)textLimit)
            {
                return quortypes::Log::cutMiddle(result, textLimit * 3 / 4, textLimit / 4,
                                                 "\n... <%d bytes cut> ...\n");
            }
            return result;
        }

        void write(const hstring& tag, const hstring& text, bool error)
        {
            const hstring cut = shortened(text);
            for (Recent& entry : recent)
            {
                if (entry.tag == tag && entry.text == cut)
                {
                    ++entry.repeats;
                    entry.quiet = 0.0f;
                    return;
                }
            }
            // A new text: what was counted so far comes before it.
            for (Recent& entry : recent)
            {
                writeCount(entry);
            }
            if (recent.size() == recentLimit)
            {
                recent.erase(std::max_element(recent.begin(), recent.end(),
                                              [](const Recent& a, const Recent& b)
                                              { return a.quiet < b.quiet; }));
            }
            recent.push_back(Recent{tag, error, cut, 0, 0.0f});
            writeLine(recent.back(), cut);
        }

        void advance(float seconds)
        {
            for (auto it = recent.begin(); it != recent.end();)
            {
                it->quiet += seconds;
                if (it->quiet >= repeatWindow)
                {
                    writeCount(*it);
                    it = recent.erase(it);
                }
                else
                {
                    ++it;
                }
            }
        }

        void flush()
        {
            for (Recent& entry : recent)
            {
                writeCount(entry);
            }
            recent.clear();
        }
    } // namespace ScriptErrorLog
} // namespace vumo
