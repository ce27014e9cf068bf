#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include <tinyxml.h>

#include "ParseWalk.h"

namespace quorxml
{
    namespace
    {
        // The parser's own pieces, reached through a node of its kind: how it names what a "<" starts, reads
        // names, compares and skips white space.
        class Parser : public TiXmlElement
        {
        public:
            Parser() : TiXmlElement("") {}
            using TiXmlBase::ReadName;
            using TiXmlBase::SkipWhiteSpace;
            using TiXmlBase::StringEqual;
            using TiXmlNode::Identify;
        };

        // The parse of a document (TiXmlDocument::Parse), with the recursion of an element's content into its
        // child elements (TiXmlElement::Parse and ReadValue) kept as the list of open elements instead. Every
        // other node is read by the parser's own code, without a document to record its errors in.
        class Walker
        {
        public:
            Walker(const char* text, int maxDepth) : text(text), counted(text), maxDepth(maxDepth) {}

            ParseWalk run()
            {
                const char* p = this->text;
                if (p == nullptr || *p == '\0')
                {
                    return this->walk;
                }
                const auto* bytes = (const unsigned char*)p;
                if (bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF)
                {
                    this->encoding = TIXML_ENCODING_UTF8;
                }
                p = Parser::SkipWhiteSpace(p, this->encoding);
                while (p != nullptr && *p != '\0')
                {
                    if (*p == '<' && startsElement(p))
                    {
                        p = Parser::SkipWhiteSpace(this->element(p), this->encoding);
                        continue;
                    }
                    std::unique_ptr<TiXmlNode> node(this->parser.Identify(p, this->encoding));
                    if (node == nullptr)
                    {
                        break;
                    }
                    p = (node->ToElement() != nullptr ? this->element(p)
                                                      : node->Parse(p, nullptr, this->encoding));
                    // The first declaration of the document names its encoding.
                    const TiXmlDeclaration* declaration = node->ToDeclaration();
                    if (this->encoding == TIXML_ENCODING_UNKNOWN && declaration != nullptr)
                    {
                        const char* named = declaration->Encoding();
                        this->encoding =
                            (*named == '\0' ||
                                     Parser::StringEqual(named, "UTF-8", true, TIXML_ENCODING_UNKNOWN) ||
                                     Parser::StringEqual(named, "UTF8", true, TIXML_ENCODING_UNKNOWN)
                                 ? TIXML_ENCODING_UTF8
                                 : TIXML_ENCODING_LEGACY);
                    }
                    p = Parser::SkipWhiteSpace(p, this->encoding);
                }
                return this->walk;
            }

        private:
            enum class Start
            {
                Empty,
                Opened,
                Failed
            };

            Parser parser;
            // Read again for every piece of text and every attribute, as the parse makes one for each.
            TiXmlText textNode{""};
            TiXmlAttribute attribute;
            // The names of the attributes read in the start tag being read.
            std::vector<std::string> attributes;
            const char* text;
            // How far lines have been counted, and the line there.
            const char* counted;
            int line = 1;
            const int maxDepth;
            TiXmlEncoding encoding = TIXML_DEFAULT_ENCODING;
            ParseWalk walk;

            // Whether the "<" at p surely starts an element: what else a "<" starts begins "<?" or "<!", and
            // an ASCII letter or "_" after it starts an element in every encoding. Spares most nodes the
            // parser's own look, which makes the node it names.
            static bool startsElement(const char* p)
            {
                const char next = p[1];
                return (next >= 'a' && next <= 'z') || (next >= 'A' && next <= 'Z') || next == '_';
            }

            int lineAt(const char* p)
            {
                this->line += (int)std::count(this->counted, p, '\n');
                this->counted = p;
                return this->line;
            }

            // An element's start tag, its attributes read (a name twice is an error) up to ">" or "/>".
            Start startTag(const char*& p, std::string& name)
            {
                p = Parser::SkipWhiteSpace(p, this->encoding);
                if (p == nullptr || *p != '<')
                {
                    return Start::Failed;
                }
                p = Parser::ReadName(Parser::SkipWhiteSpace(p + 1, this->encoding), &name, this->encoding);
                int attributeCount = 0;
                while (p != nullptr && *p != '\0')
                {
                    p = Parser::SkipWhiteSpace(p, this->encoding);
                    if (p == nullptr || *p == '\0')
                    {
                        break;
                    }
                    if (*p == '/' || *p == '>')
                    {
                        const bool empty = (*p == '/');
                        p += (empty ? 1 : 0);
                        if (*p != '>')
                        {
                            return Start::Failed;
                        }
                        ++p;
                        return (empty ? Start::Empty : Start::Opened);
                    }
                    p = this->attribute.Parse(p, nullptr, this->encoding);
                    const std::string& read = this->attribute.NameTStr();
                    const auto end = this->attributes.begin() + attributeCount;
                    if (p == nullptr || *p == '\0' || std::find(this->attributes.begin(), end, read) != end)
                    {
                        return Start::Failed;
                    }
                    // The names' strings are kept for the next tags.
                    if (attributeCount < (int)this->attributes.size())
                    {
                        this->attributes[attributeCount] = read;
                    }
                    else
                    {
                        this->attributes.push_back(read);
                    }
                    ++attributeCount;
                }
                return Start::Failed;
            }

            // The element at p with all it holds; where the parse goes on after it, or null where it stops.
            const char* element(const char* p)
            {
                const size_t outer = this->walk.open.size();
                const char* withWhiteSpace = p;
                bool atElement = true;
                for (;;)
                {
                    if (atElement)
                    {
                        atElement = false;
                        this->walk.deepest = std::max(this->walk.deepest, (int)this->walk.open.size() + 1);
                        const char* tag = Parser::SkipWhiteSpace(p, this->encoding);
                        std::string name;
                        const Start start = this->startTag(p, name);
                        if (start == Start::Failed)
                        {
                            return nullptr;
                        }
                        if (start == Start::Opened)
                        {
                            this->walk.open.push_back({name, this->lineAt(tag)});
                            if ((int)this->walk.open.size() > this->maxDepth)
                            {
                                this->walk.tooDeep = true;
                                return nullptr;
                            }
                        }
                        else if (this->walk.open.size() == outer)
                        {
                            return p;
                        }
                    }
                    // In the content of the innermost open element. Its end: the text ended, or a node could
                    // not be read, before its end tag.
                    else if (p == nullptr || *p == '\0')
                    {
                        return nullptr;
                    }
                    else if (*p != '<')
                    {
                        p = this->textNode.Parse(TiXmlBase::IsWhiteSpaceCondensed() ? p : withWhiteSpace,
                                                 nullptr, this->encoding);
                    }
                    else if (p[1] == '/')
                    {
                        // The end tag: "</", the name byte for byte, white space and ">".
                        const std::string& name = this->walk.open.back().name;
                        if (std::strncmp(p + 2, name.c_str(), name.size()) != 0)
                        {
                            return nullptr;
                        }
                        p = Parser::SkipWhiteSpace(p + 2 + name.size(), this->encoding);
                        if (p == nullptr || *p != '>')
                        {
                            return nullptr;
                        }
                        ++p;
                        this->walk.open.pop_back();
                        if (this->walk.open.size() == outer)
                        {
                            return p;
                        }
                    }
                    else if (this->startsElement(p))
                    {
                        atElement = true;
                        continue;
                    }
                    else
                    {
                        std::unique_ptr<TiXmlNode> node(this->parser.Identify(p, this->encoding));
                        if (node == nullptr)
                        {
                            return nullptr;
                        }
                        if (node->ToElement() != nullptr)
                        {
                            atElement = true;
                            continue;
                        }
                        p = node->Parse(p, nullptr, this->encoding);
                    }
                    withWhiteSpace = p;
                    p = Parser::SkipWhiteSpace(p, this->encoding);
                }
            }
        };
    } // namespace

    ParseWalk walkParse(const char* text, int maxDepth)
    {
        return Walker(text, maxDepth).run();
    }
} // namespace quorxml
