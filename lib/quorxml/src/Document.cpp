#include <tinyxml.h>

#include <quortypes/Dir.h>
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

    // TinyXML's description, its location (when it has one) and the offending line between rules.
    static hstring describeParseError(const TiXmlDocument& document, const hstring& text)
    {
        hstring description = document.ErrorDesc();
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
