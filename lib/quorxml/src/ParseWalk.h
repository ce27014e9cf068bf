#pragma once

#include <string>
#include <vector>

namespace quorxml
{
    // An element the parse has opened and not closed yet: its name and the line of its "<".
    struct OpenElement
    {
        std::string name;
        int line = 0;
    };

    // Where TinyXML's parse of a text goes, found without building its tree and without recursing.
    struct ParseWalk
    {
        // The elements open where the parse ends (at the text's end, at its first error, or at the element too
        // deep), outermost first.
        std::vector<OpenElement> open;
        // True when an element opens deeper than the walk's bound; the last of `open` is that one.
        bool tooDeep = false;
        // How deep the parse's tree goes in elements: empty ones and one an error cut short count, as the
        // tree keeps them.
        int deepest = 0;
    };

    // Follows the parse of a whole text, null-terminated and in TinyXML's default encoding, until it ends or
    // an element with content opens deeper than maxDepth. The parser recurses once for each open element:
    // this reads the text with the parser's own pieces (how it tells nodes apart, reads names, attributes,
    // text, comments, declarations and unknown nodes, and skips white space) so that it opens exactly the
    // elements the parse will, whatever the bytes.
    ParseWalk walkParse(const char* text, int maxDepth);
} // namespace quorxml
