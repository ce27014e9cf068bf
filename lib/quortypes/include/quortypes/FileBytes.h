#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

#include <quortypes/hstring.h>

// The whole file (or resource) as it lies on disk, carriage returns included: checksums are taken over
// these bytes, and File::readAll drops every "\r". Throws the file layer's exceptions, and one naming the
// file and the bound when it holds more than maxBytes: unread when its size says so, else having read no
// more than that.
hstring readFileBytes(const hstring& path, bool asResource, size_t maxBytes = SIZE_MAX);

// The whole file; false when there is none. A file that is there but cannot be read throws
// quortypes::_file_not_readable naming the file and the reason, so that it is never taken for a missing or a
// damaged one; one that holds more than maxBytes (told as readFileBytes tells it), or a folder, a pipe or a
// device in its place, throws a plain quortypes::exception: damage to whoever reads it.
bool readFileIfPresent(const hstring& path, hstring& bytes, size_t maxBytes = SIZE_MAX);

// Splits a text into lines at "\n", taking one "\r" off the end of each, so that files saved with
// CRLF line ends read like the others.
harray<hstring> splitLines(const hstring& text);

namespace quortypes
{
    // The most a file of the player's state (a saved game, the player's settings, the achievements) is
    // read to, far above any such file: one larger (damage, or another file put in its place) counts as
    // damaged unread, instead of costing seconds and gigabytes at every start.
    const size_t maxPlayerFileBytes = (size_t)16 << 20;
    // Throws naming the file and the bound when a save would write more than maxBytes into it: the read
    // would refuse such a file as damaged, so the save refuses it first and the file on disk stays.
    void refuseLargerSave(const hstring& path, size_t bytes, size_t maxBytes = maxPlayerFileBytes);

    // fopen for a player's file: only a regular file opens, and nothing blocks (a named pipe in a file's
    // place would hold the program until something opened its other end). Null with errno set otherwise;
    // describeFileError gives the reason.
    FILE* openRegularFile(const hstring& path, const char* mode);
    // The reason for the errno of a failed file operation, as messages quote it: the system's text, or
    // "not a regular file".
    hstring describeFileError(int error);
    // The errno of openRegularFile when a named pipe, a device or a socket is in the file's place (a
    // directory gives EISDIR).
    bool isNotRegularFileError(int error);
} // namespace quortypes
