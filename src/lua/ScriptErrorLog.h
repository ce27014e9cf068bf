#pragma once

#include <quortypes/Log.h>
#include <quortypes/hstring.h>

namespace vumo
{
    // Where the failures of scripts reach the log. A hook or a delayed call that fails in every frame would
    // write its error, traceback and all, sixty times a second, and an error that quotes a long argument
    // would write all of it each time: a text written in the last few seconds of frames is counted instead
    // of written again, and its count is written once it stops, or before a different text. Every line is
    // cut to a few hundred bytes.
    namespace ScriptErrorLog
    {
        // Lines longer than this keep their start and their end.
        const int lineLimit = quortypes::Log::quoteLimit;
        // A text longer than this keeps its first lines and its last.
        const int textLimit = 16384;
        // Seconds of frames without a repeat after which the repeats of a text count as stopped.
        const float repeatWindow = 2.0f;

        // Writes the text under the tag as the log's error (else as a plain line), or counts it.
        void write(const hstring& tag, const hstring& text, bool error = true);
        // The frame's time: writes the counts of the texts that stopped repeating.
        void advance(float seconds);
        // Writes every count still open and forgets the texts; for the end of a session.
        void flush();
        // The text with each line over lineLimit and the whole over textLimit cut in the middle.
        hstring shortened(const hstring& text);
    } // namespace ScriptErrorLog
} // namespace vumo
