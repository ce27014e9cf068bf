#include <cstring>
#include <string>
#include <utility>
#include <vector>

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

namespace quorxml
{
    static const char* const SOURCE = "Document";

    // The byte offset of TinyXML's row and column (both from 1; a tab advances the column to the next
    // multiple of TinyXML's tab size past it).
    static size_t offsetOf(const hstring& text, int row, int column, int tabSize)
    {
        const size_t length = (size_t)text.size();
        size_t at = 0;
        for (int line = 1; line < row && at < length; ++at)
        {
            line += (text[at] == '\n' ? 1 : 0);
        }
        for (int col = 1; col < column && at < length && text[at] != '\n'; ++at)
        {
            col = (text[at] == '\t' && tabSize > 0 ? (col - 1) / tabSize * tabSize + tabSize + 1 : col + 1);
        }
        return at;
    }

    // Walks the tags of the text up to end, counting lines: calls opened(name, line) for each start tag that
    // is not empty-element (its name and the line it starts on) and closed() for each whole end tag, and
    // stops once one of them returns false. Comments, declarations and character data are skipped; a quoted
    // ">" in an attribute does not end its tag.
    template <typename Opened, typename Closed>
    static void walkTags(const std::string& text, size_t end, Opened opened, Closed closed)
    {
        int line = 1;
        // Moves past the first closing text at or past at, counting lines; false when the text ends first.
        auto skipPast = [&](size_t& at, const char* closing)
        {
            const size_t found = text.find(closing, at);
            const bool whole = (found != std::string::npos && found + strlen(closing) <= end);
            const size_t stop = (whole ? found + strlen(closing) : end);
            for (; at < stop; ++at)
            {
                line += (text[at] == '\n' ? 1 : 0);
            }
            return whole;
        };
        size_t at = 0;
        while (at < end)
        {
            const size_t next = text.find('<', at);
            const size_t stop = (next == std::string::npos || next > end ? end : next);
            for (; at < stop; ++at)
            {
                line += (text[at] == '\n' ? 1 : 0);
            }
            if (at >= end)
            {
                return;
            }
            const int startLine = line;
            if (text.compare(at, 4, "<!--") == 0)
            {
                skipPast(at, "-->");
            }
            else if (text.compare(at, 9, "<![CDATA[") == 0)
            {
                skipPast(at, "]]>");
            }
            else if (text.compare(at, 2, "<?") == 0 || text.compare(at, 2, "<!") == 0)
            {
                skipPast(at, ">");
            }
            else if (text.compare(at, 2, "</") == 0)
            {
                if (skipPast(at, ">") && !closed())
                {
                    return;
                }
            }
            else
            {
                size_t nameEnd = at + 1;
                while (nameEnd < end && std::memchr(" \t\r\n/>", text[nameEnd], 6) == nullptr)
                {
                    ++nameEnd;
                }
                const std::string name = text.substr(at + 1, nameEnd - at - 1);
                char quote = 0;
                bool ended = false;
                bool empty = false;
                for (at = nameEnd; at < end && !ended; ++at)
                {
                    const char c = text[at];
                    line += (c == '\n' ? 1 : 0);
                    if (quote != 0)
                    {
                        quote = (c == quote ? 0 : quote);
                    }
                    else if (c == '"' || c == '\'')
                    {
                        quote = c;
                    }
                    else if (c == '>')
                    {
                        ended = true;
                        empty = (text[at - 1] == '/');
                    }
                }
                if (!empty && name != "" && !opened(name, startLine))
                {
                    return;
                }
            }
        }
    }

    // The innermost element still open where the text is cut at end, with the line of its start tag; an
    // empty name when none is.
    static hstring openElementBefore(const std::string& text, size_t end, int& line)
    {
        std::vector<std::pair<std::string, int>> open;
        walkTags(
            text, end,
            [&](const std::string& name, int startLine)
            {
                open.push_back({name, startLine});
                return true;
            },
            [&]()
            {
                if (!open.empty())
                {
                    open.pop_back();
                }
                return true;
            });
        if (open.empty())
        {
            return "";
        }
        line = open.back().second;
        return open.back().first.c_str();
    }

    // The line of the first start tag that opens an element deeper than maxDepth, 0 when none does. The
    // parser recurses once for each open element, and a file nesting thousands of them would overflow the
    // stack before it could say anything.
    static int tooDeepElementLine(const std::string& text, int maxDepth)
    {
        int depth = 0;
        int found = 0;
        walkTags(
            text, text.size(),
            [&](const std::string&, int startLine)
            {
                if (++depth > maxDepth)
                {
                    found = startLine;
                    return false;
                }
                return true;
            },
            [&]()
            {
                depth = (depth > 0 ? depth - 1 : 0);
                return true;
            });
        return found;
    }

    // TinyXML's description, its location (when it has one) and the offending line between rules. An end tag
    // that could not be read (often the end of the file) names the element left open, where it began.
    static hstring describeParseError(const TiXmlDocument& document, const hstring& text)
    {
        hstring description = document.ErrorDesc();
        if (document.ErrorId() == TiXmlBase::TIXML_ERROR_READING_END_TAG && document.ErrorRow() > 0)
        {
            int line = 0;
            const hstring open = openElementBefore(
                std::string(text.c_str(), text.size()),
                offsetOf(text, document.ErrorRow(), document.ErrorCol(), document.TabSize()), line);
            if (open != "")
            {
                description +=
                    formatString(" The element <%s> opened on line %d is not closed.", open.c_str(), line);
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
        const int deepLine = tooDeepElementLine(text, maxDepth);
        if (deepLine > 0)
        {
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
        this->document->Parse(text.c_str(), nullptr, TIXML_DEFAULT_ENCODING);
        if (this->document->Error())
        {
            throw _XMLException(formatString("An error occcured parsing XML file '%s': %s", path.c_str(),
                                             describeParseError(*this->document, text).c_str()),
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
