#pragma once

#include <quortypes/hstring.h>

// The whole file (or resource) as it lies on disk, carriage returns included: checksums are taken over
// these bytes, and File::readAll drops every "\r". Throws the file layer's exceptions.
hstring readFileBytes(const hstring& path, bool asResource);

// Splits a text into lines at "\n", taking one "\r" off the end of each, so that files saved with
// CRLF line ends read like the others.
harray<hstring> splitLines(const hstring& text);
