#include <quorxml/Node.h>
#include <tesraui/Animators.h>

#include "UiTestSupport.h"

using tesraui::Animator;
using tesraui::Dataset;
using tesraui::Object;

namespace
{
    // Notes the elements loading hands to the hook: the root, then the unknown ones with their "name".
    class Noting : public Dataset
    {
    public:
        using Dataset::Dataset;
        harray<hstring> extra;

    protected:
        void _parseExtraNode(quorxml::Node* node) override
        {
            this->extra.push_back(node->getString("name", "(root)"));
        }
    };

    class AnimatorDataset : public testing::Test
    {
    protected:
        uitest::ResourceFolder folder;
        void SetUp() override { tesraui::init(); }
        void TearDown() override { tesraui::destroy(); }
    };
} // namespace

TEST_F(AnimatorDataset, AnimatorsLoadAsChildrenWithTheFileAttributesWinning)
{
    this->folder.write("ui/main.xml", R"(<Dataset>
        <Animator type="MoverX" name="at_root"/>
        <Object type="Container" name="box" x="40" y="0" w="10" h="10">
            <Animator type="MoverX" name="slide" offset="5" amplitude="20"/>
            <Animator type="Rotator" name="outer" speed="2">
                <Animator type="ScalerX" name="inner" amplitude="1"/>
            </Animator>
            <Animator type="MoverY"/>
            <Include path="parts/fade.xml" name_prefix="p_"/>
        </Object>
    </Dataset>)");
    this->folder.write("ui/parts/fade.xml",
                       R"(<Part><Animator type="AlphaChanger" name="fade" amplitude="-100"/></Part>)");
    Noting dataset("ui/main.xml", "d");
    dataset.load();
    EXPECT_EQ(dataset.extra, (harray<hstring>{"(root)", "at_root"}));
    EXPECT_FALSE(dataset.hasObject("at_root"));

    Object* box = dataset.getObject("box");
    Animator* slide = dynamic_cast<Animator*>(dataset.getObject("slide"));
    Animator* outer = dynamic_cast<Animator*>(dataset.getObject("outer"));
    ASSERT_TRUE(slide != nullptr && outer != nullptr);
    EXPECT_EQ(dataset.getObject("inner")->getParent(), outer);
    EXPECT_EQ(dataset.getObject("p_fade")->getParent(), box);
    // The unnamed one got its type and a number.
    harray<hstring> unnamed;
    for (Object* child : box->getChildren())
        if (child->getName().startsWith("MoverY"))
            unnamed.push_back(child->getClassName());
    EXPECT_EQ(unnamed, harray<hstring>({"MoverY"}));

    // The attach took x 40 as the offset; the file's 5 came after and won.
    EXPECT_EQ(slide->getOffset(), 5.0f);
    EXPECT_EQ(box->getX(), 5.0f); // the load's step of no time
    for (int i = 0; i < 4; ++i)
        dataset.update(0.25f);
    EXPECT_EQ(box->getX(), 25.0f);
    EXPECT_EQ(box->getAngle(), 0.5f);    // two runs a second: over after half of it
    EXPECT_EQ(outer->getScaleX(), 2.0f); // an animator's own children run on after it ended
    EXPECT_EQ(box->getAlpha(), 155);
    EXPECT_EQ(box->getY(), 0.5f);
}

TEST_F(AnimatorDataset, DuplicateAndUnknownAnimators)
{
    const std::pair<const char*, const char*> rows[] = {
        {"<Object type='Container' name='o' x='0' y='0'><Animator type='MoverX' name='o'/></Object>",
         "Object already exists: o in dataset d"},
        {"<Object type='Container' name='o' x='0' y='0'><Animator type='Mover' name='m'/></Object>",
         "Unknown class detected in XML file: Mover, in file ui/case.xml, line 1"},
    };
    for (const auto& [body, text] : rows)
    {
        this->folder.write("ui/case.xml", std::string("<Dataset>") + body + "</Dataset>");
        Dataset dataset("ui/case.xml", "d");
        uitest::LogCapture log;
        EXPECT_EQ(uitest::thrownText<quortypes::exception>([&] { dataset.load(); }), text);
    }
}
