#include <algorithm>
#include <string>

#include <tinyxml.h>

#include <quortypes/Dir.h>
#include <quortypes/Log.h>
#include <quortypes/Resource.h>
#include <quortypes/exception.h>
#include <quortypes/harray.h>
#include <quortypes/hstring.h>

#include <quorxml/Document.h>
#include <quorxml/Node.h>
#include <quorxml/exception.h>

#include "ParseWalk.h"

namespace quorxml
{
    static const char* const SOURCE = "Document";
    // The longest character the parser reads: four bytes of UTF-8.
    static const size_t utf8Padding = 4;

    // TinyXML's description, its location (when it has one) and the offending line between rules. An end tag
    // that could not be read (often the end of the file) names the element left open, where it began: the
    // innermost one open where the parse stopped.
    static hstring describeParseError(const TiXmlDocument& document, const hstring& text, const char* parsed)
    {
        hstring description = document.ErrorDesc();
        if (document.ErrorId() == TiXmlBase::TIXML_ERROR_READING_END_TAG && document.ErrorRow() > 0)
        {
            const ParseWalk walk = walkParse(parsed, Document::maxDepth);
            if (!walk.open.empty())
            {
                description += formatString(" The element <%s> opened on line %d is not closed.",
                                            walk.open.back().name.c_str(), walk.open.back().line);
            }
        }
        // TinyXML counts rows and columns from 1 and reports 0 when the error has no location.
        int row = document.ErrorRow();
        if (row > 0)
        {
            description += formatString(" [row %d, column %d]", row, document.ErrorCol());
            harray<hstring> lines = text.split("\n", -1, false);
            if (row <= (int)lines.size())
            {
                hstring rule('-', 58);
                description += "\n" + rule + "\n" + lines[row - 1].trimmed(' ') + "\n" + rule;
            }
        }
        return description;
    }

    Document::Document(const hstring& filename) : filename(filename)
    {
        if (!quortypes::Resource::exists(filename))
        {
            throw quortypes::_file_not_found(filename, true, SOURCE, __LINE__);
        }
        hstring path = quortypes::Dir::normalize(filename);
        hstring text = quortypes::Resource::readAll(path);
        // The parser reads a character of several bytes whole, past the text's end when its last bytes begin
        // one: it reads the padding instead.
        std::string padded(text.c_str(), text.size());
        padded.append(utf8Padding, '\0');
        // The parser recurses once for each open element, and a file nesting thousands of them would overflow
        // the stack before it could say anything. Each element begins at a "<" of its own: a file of fewer
        // cannot nest too deep.
        const ParseWalk walk =
            (std::count(padded.begin(), padded.end(), '<') > maxDepth ? walkParse(padded.c_str(), maxDepth)
                                                                      : ParseWalk());
        if (walk.tooDeep)
        {
            const int deepLine = walk.open.back().line;
            const harray<hstring> lines = text.split("\n", -1, false);
            const hstring shown =
                (deepLine <= (int)lines.size() ? lines[deepLine - 1].trimmed(' ') : hstring());
            const hstring rule('-', 58);
            throw _XMLException(
                formatString("An error occcured parsing XML file '%s': elements nest deeper than "
                             "%d [row %d]\n%s\n%s\n%s",
                             path.c_str(), maxDepth, deepLine, rule.c_str(),
                             quortypes::Log::quote(shown).c_str(), rule.c_str()),
                nullptr, "XMLException", SOURCE, __LINE__);
        }
        this->document = std::make_unique<TiXmlDocument>();
        this->document->Parse(padded.c_str(), nullptr, TIXML_DEFAULT_ENCODING);
        if (this->document->Error())
        {
            throw _XMLException(
                formatString("An error occcured parsing XML file '%s': %s", path.c_str(),
                             describeParseError(*this->document, text, padded.c_str()).c_str()),
                nullptr, "XMLException", SOURCE, __LINE__);
        }
    }

    Document::~Document()
    {
        // Wrappers first: they point into the TinyXML tree.
        this->rootNode = nullptr;
        this->nodes.clear();
        this->document.reset();
    }

    Node* Document::root(const hstring& type)
    {
        if (this->rootNode == nullptr)
        {
            TiXmlElement* element = this->document->FirstChildElement();
            if (element == nullptr)
            {
                throw _XMLException("No root node found in XML file '" + this->filename + "'!", nullptr,
                                    "XMLException", SOURCE, __LINE__);
            }
            this->rootNode = this->_node(element);
        }
        if (type != "" && *this->rootNode != type)
        {
            throw _XMLException("Root node type is not '" + type + "' in XML file '" + this->filename + "'!",
                                nullptr, "XMLException", SOURCE, __LINE__);
        }
        return this->rootNode;
    }

    Node* Document::_node(TiXmlNode* node)
    {
        if (node == nullptr)
        {
            return nullptr;
        }
        std::unique_ptr<Node>& wrapper = this->nodes[node];
        if (wrapper == nullptr)
        {
            wrapper.reset(new Node(this, node));
        }
        return wrapper.get();
    }
} // namespace quorxml
