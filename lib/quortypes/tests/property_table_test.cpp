#include <gtest/gtest.h>

#include <quortypes/PropertyTable.h>

namespace
{
    // A root class: its table's fallback answers unknown names itself, and remembers them.
    class Shape
    {
    public:
        virtual ~Shape() = default;

        virtual harray<PropertyInfo> getPropertyDescriptions() const
        {
            return _properties().getDescriptions();
        }
        virtual hstring getProperty(const hstring& name)
        {
            return _properties().get(*this, name, [&] { return _unknown(name); });
        }
        virtual bool setProperty(const hstring& name, const hstring& value)
        {
            return _properties().set(*this, name, value, [&] { return !_unknown(name).empty(); });
        }

        const hstring& getName() const { return name; }

        hstring unknown;
        hstring tags;

    protected:
        hstring name = "shape";
        float x = 0.0f;

    private:
        hstring _unknown(const hstring& property)
        {
            unknown = property;
            return "";
        }

        static const PropertyTable<Shape>& _properties()
        {
            static const PropertyTable<Shape> table = {
                {"name", PropertyInfo::STRING, &Shape::getName,
                 [](Shape& s, const hstring& v) { s.name = v; }},
                {"x", PropertyInfo::FLOAT, [](const Shape& s) { return hstring(s.x); },
                 [](Shape& s, const hstring& v) { s.x = v.toFloat(); }},
                // Served for setting only, and not listed.
                {"tag", PropertyTable<Shape>::Undescribed, nullptr,
                 [](Shape& s, const hstring& v) { s.tags += v; }},
            };
            return table;
        }
    };

    // Its properties listed after the base's; "x" is its own, with a check, and "area" is read-only.
    class Box : public Shape
    {
    public:
        harray<PropertyInfo> getPropertyDescriptions() const override;
        hstring getProperty(const hstring& name) override;
        bool setProperty(const hstring& name, const hstring& value) override;

    protected:
        float width = 2.0f;

    private:
        static const PropertyTable<Box>& _properties()
        {
            static const PropertyTable<Box> table = {
                {"width", PropertyInfo::FLOAT, [](Box& b) { return hstring(b.width); },
                 [](Box& b, const hstring& v)
                 {
                     if (v.toFloat() < 0.0f)
                         return false;
                     b.width = v.toFloat();
                     return true;
                 }},
                {"area", PropertyInfo::FLOAT, [](Box& b) { return hstring(b.width * b.width); }},
                {"x", PropertyInfo::INT, [](Box& b) { return hstring((int)b.x); },
                 [](Box& b, const hstring& v) { b.x = (float)v.toInt(); }},
            };
            return table;
        }
    };

    QUORTYPES_PROPERTY_TABLE_DESCRIPTIONS_BASE_FIRST(Box, Shape, _properties)
    QUORTYPES_PROPERTY_TABLE_GET_SET(Box, Shape, _properties)

    // Its properties listed before the base's.
    class Label : public Shape
    {
    public:
        harray<PropertyInfo> getPropertyDescriptions() const override;

    private:
        static const PropertyTable<Label>& _properties()
        {
            static const PropertyTable<Label> table = {{"text", PropertyInfo::STRING, nullptr, nullptr}};
            return table;
        }
    };

    QUORTYPES_PROPERTY_TABLE_DESCRIPTIONS_OWN_FIRST(Label, Shape, _properties)

    // A root served by its table alone.
    class Mark
    {
    public:
        virtual ~Mark() = default;
        virtual harray<PropertyInfo> getPropertyDescriptions() const;
        virtual hstring getProperty(const hstring& name);
        virtual bool setProperty(const hstring& name, const hstring& value);

        hstring symbol = "*";

    private:
        static const PropertyTable<Mark>& _properties()
        {
            static const PropertyTable<Mark> table = {
                PropertyTable<Mark>::textRow("symbol", &Mark::symbol),
                {"name", PropertyInfo::STRING, [](Mark&) { return hstring("mark"); }},
            };
            return table;
        }
    };

    QUORTYPES_PROPERTY_TABLE_ROOT(Mark, _properties)

    // Names not its own are asked of the shape, then of the mark.
    class MarkedBox : public Shape, public Mark
    {
    public:
        hstring getProperty(const hstring& name) override;
        bool setProperty(const hstring& name, const hstring& value) override;

        int layer = 1;

    private:
        static const PropertyTable<MarkedBox>& _properties()
        {
            static const PropertyTable<MarkedBox> table = {
                PropertyTable<MarkedBox>::intRow("layer", &MarkedBox::layer)};
            return table;
        }
    };

    QUORTYPES_PROPERTY_TABLE_GET_SET_TWO_BASES(MarkedBox, Shape, Mark, _properties)

    harray<PropertyInfo> describe(std::initializer_list<std::pair<const char*, int>> rows)
    {
        harray<PropertyInfo> result;
        for (const auto& row : rows)
        {
            result.push_back(PropertyInfo(row.first, row.second));
        }
        return result;
    }
} // namespace

TEST(PropertyTable, descriptionsFollowTheOrderTheClassChooses)
{
    EXPECT_EQ(Shape().getPropertyDescriptions(),
              describe({{"name", PropertyInfo::STRING}, {"x", PropertyInfo::FLOAT}}));
    EXPECT_EQ(Box().getPropertyDescriptions(), describe({{"name", PropertyInfo::STRING},
                                                         {"x", PropertyInfo::FLOAT},
                                                         {"width", PropertyInfo::FLOAT},
                                                         {"area", PropertyInfo::FLOAT},
                                                         {"x", PropertyInfo::INT}}));
    EXPECT_EQ(Label().getPropertyDescriptions(), describe({{"text", PropertyInfo::STRING},
                                                           {"name", PropertyInfo::STRING},
                                                           {"x", PropertyInfo::FLOAT}}));
}

TEST(PropertyTable, getAndSetReachTheRowOrTheBase)
{
    struct Case
    {
        const char* name;
        const char* value;
        bool taken;
        const char* read;    // the text read back
        const char* unknown; // the name the root's fallback saw, if any
    };
    const Case cases[] = {
        {"width", "4.5", true, "4.500000", ""},
        {"width", "-1", false, "2.000000", ""}, // refused by the row, value kept
        {"name", "crate", true, "crate", ""},   // the base's row
        {"x", "3.7", true, "3", ""},            // the class's row before the base's of the same name
        {"colour", "red", false, "", "colour"}, // neither: the root's answer
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        Box box;
        EXPECT_EQ(box.setProperty(c.name, c.value), c.taken);
        box.unknown = "";
        EXPECT_EQ(box.getProperty(c.name), c.read);
        EXPECT_EQ(box.unknown, c.unknown);
    }
}

TEST(PropertyTable, oneSidedRowsLeaveTheOtherSideToTheFallback)
{
    Box box;
    box.setProperty("width", "3");
    EXPECT_EQ(box.getProperty("area"), "9.000000");
    // Read-only: setting goes down to the root, which does not know the name.
    EXPECT_FALSE(box.setProperty("area", "16"));
    EXPECT_EQ(box.unknown, "area");
    EXPECT_EQ(box.getProperty("width"), "3.000000");

    // Write-only: reading goes down to the root likewise.
    box.unknown = "";
    EXPECT_TRUE(box.setProperty("tag", "a"));
    EXPECT_TRUE(box.setProperty("tag", "b"));
    EXPECT_EQ(box.tags, "ab");
    EXPECT_EQ(box.unknown, "");
    EXPECT_EQ(box.getProperty("tag"), "");
    EXPECT_EQ(box.unknown, "tag");

    // A row with neither half is listed but serves nothing.
    Label label;
    EXPECT_EQ(label.getProperty("text"), "");
    EXPECT_EQ(label.unknown, "text");
    EXPECT_FALSE(label.setProperty("text", "hello"));
}

TEST(PropertyTable, fieldRowsReadAndSetTheirFieldsAsText)
{
    struct Fields
    {
        bool flag = true;
        int count = -3;
        float size = 0.5f;
        hstring label = "a";
    };
    using Table = PropertyTable<Fields>;
    const Table table = {Table::flagRow("flag", &Fields::flag), Table::intRow("count", &Fields::count),
                         Table::floatRow("size", &Fields::size), Table::textRow("label", &Fields::label)};
    EXPECT_EQ(table.getDescriptions(), describe({{"flag", PropertyInfo::BOOL},
                                                 {"count", PropertyInfo::INT},
                                                 {"size", PropertyInfo::FLOAT},
                                                 {"label", PropertyInfo::STRING}}));
    const std::pair<const char*, const char*> reads[] = {
        {"flag", "1"}, {"count", "-3"}, {"size", "0.500000"}, {"label", "a"}};
    const std::pair<const char*, const char*> writes[] = {
        {"flag", "0"}, {"count", "12"}, {"size", "2.25"}, {"label", "b c"}};
    const std::pair<const char*, const char*> readBack[] = {
        {"flag", "0"}, {"count", "12"}, {"size", "2.250000"}, {"label", "b c"}};
    Fields fields;
    auto none = [] { return hstring("none"); };
    for (const auto& [name, text] : reads)
        EXPECT_EQ(table.get(fields, name, none), text) << name;
    for (const auto& [name, value] : writes)
        EXPECT_TRUE(table.set(fields, name, value, [] { return false; })) << name;
    for (const auto& [name, text] : readBack)
        EXPECT_EQ(table.get(fields, name, none), text) << name;
}

TEST(PropertyTable, aRootAnswersItsRowsAloneAndTwoBasesAreAskedInTurn)
{
    Mark mark;
    // The root's own rows, nothing else.
    EXPECT_EQ(mark.getPropertyDescriptions(),
              describe({{"symbol", PropertyInfo::STRING}, {"name", PropertyInfo::STRING}}));
    EXPECT_EQ(mark.getProperty("colour"), "");
    EXPECT_FALSE(mark.setProperty("colour", "red"));

    struct Case
    {
        const char* name;
        const char* value;
        bool taken;
        const char* read;
        const char* unknown; // the name the shape's fallback saw, if any
    };
    const Case cases[] = {
        {"layer", "4", true, "4", ""},          // its own row
        {"name", "crate", true, "crate", ""},   // the first base's
        {"symbol", "#", true, "#", "symbol"},   // the first base knows nothing of it, the second does
        {"colour", "red", false, "", "colour"}, // neither
        {"name", "", true, "mark", ""},         // an empty answer of the first base asks the second too
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        MarkedBox box;
        EXPECT_EQ(box.setProperty(c.name, c.value), c.taken);
        box.unknown = "";
        EXPECT_EQ(box.getProperty(c.name), c.read);
        EXPECT_EQ(box.unknown, c.unknown);
    }
}
