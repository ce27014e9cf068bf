#include <tesraui/Dataset.h>

#include "UiTestSupport.h"

using tesra::Color;
using tesraui::Dataset;

namespace
{
    // Datasets whose third line asks for a picture that is not there, directly or through an include.
    class DatasetErrorPlace : public uitest::UiWindowTest
    {
    protected:
        void SetUp() override
        {
            uitest::UiWindowTest::SetUp();
            this->folder.write("gfx/plain.png", uitest::solidPng(4, 4, Color(255, 255, 0)));
        }

        std::string failure(const std::string& file, const std::string& lines)
        {
            this->folder.write("ui/main.xml", "<Dataset>\n<Include path='part.xml'/>\n</Dataset>");
            this->folder.write(file,
                               "<Dataset>\n<Texture filename='../gfx/plain'/>\n" + lines + "\n</Dataset>");
            Dataset dataset(file == "ui/part.xml" ? "ui/main.xml" : file, "d");
            try
            {
                dataset.load();
            }
            catch (quortypes::exception& e)
            {
                EXPECT_FALSE(dataset.isLoaded());
                return uitest::messageText(e);
            }
            return "no exception";
        }
    };
} // namespace

TEST_F(DatasetErrorPlace, AMissingPictureNamesTheFileAndLineThatAskedForIt)
{
    const std::pair<std::string, std::string> rows[] = {
        {"<Object type='ImageBox' name='b' x='0' y='0' image='sky'/>",
         "Image doesn't exist: 'sky' in dataset 'd', in file ui/%s, line 3"},
        {"<Texture filename='../gfx/sky'/>", "'gfx/sky' not found!, in file ui/%s, line 3"},
        {"<CompositeImage name='c' w='1' h='1'>\n<ImageRef name='sky' rect='0,0,1,1'/></CompositeImage>",
         "Image doesn't exist: 'sky' in dataset 'd', in file ui/%s, line 4"},
        // A child object's picture is told at the child's own line.
        {"<Object type='Container' name='o' x='0' y='0'>\n\n<Object type='ImageBox' name='b' x='0' y='0' "
         "image='sky'/></Object>",
         "Image doesn't exist: 'sky' in dataset 'd', in file ui/%s, line 5"}};
    for (const auto& [body, text] : rows)
    {
        for (const std::string name : {"case.xml", "part.xml"})
        {
            std::string expected = text;
            expected.replace(expected.find("%s"), 2, name);
            EXPECT_EQ(failure("ui/" + name, body), expected) << body;
        }
    }
}

TEST_F(DatasetErrorPlace, GeometryThatIsNoRectangleOrVectorNamesTheFileAndLine)
{
    this->folder.write("gfx/other.png", uitest::solidPng(4, 4, Color(0, 0, 255)));
    const std::pair<std::string, std::string> rows[] = {
        {"<Texture filename='../gfx/other'><Image name='i' rect='1,2'/></Texture>",
         "Cannot convert string '1,2' to kavtypes::Rectangle., in file ui/%s, line 3"},
        {"<Texture filename='../gfx/other'>\n<Image name='i' position='1' w='1' h='1'/></Texture>",
         "Cannot convert string '1' to kavtypes::Vector2., in file ui/%s, line 4"},
        {"<Texture filename='../gfx/other'><Image name='i' rect='0,0,1,1' tile='2'/></Texture>",
         "Cannot convert string '2' to kavtypes::Vector2., in file ui/%s, line 3"},
        {"<CompositeImage name='c' size='1'/>",
         "Cannot convert string '1' to kavtypes::Vector2., in file ui/%s, line 3"},
        {"<CompositeImage name='c' w='1' h='1'>\n<ImageRef name='plain' rect='0,0'/></CompositeImage>",
         "Cannot convert string '0,0' to kavtypes::Rectangle., in file ui/%s, line 4"},
        {"<Object type='Container' name='o' x='0' y='0' size='5'/>",
         "Cannot convert string '5' to kavtypes::Vector2., in file ui/%s, line 3"},
        {"<Object type='Container' name='o' x='0' y='0'>\n<Include path='x.xml' position='1,2,3'/></Object>",
         "Cannot convert string '1,2,3' to kavtypes::Vector2., in file ui/%s, line 4"}};
    for (const auto& [body, text] : rows)
    {
        for (const std::string name : {"case.xml", "part.xml"})
        {
            std::string expected = text;
            expected.replace(expected.find("%s"), 2, name);
            EXPECT_EQ(failure("ui/" + name, body), expected) << body;
        }
    }
}

TEST_F(DatasetErrorPlace, PicturesThatExistStillLoad)
{
    EXPECT_EQ(failure("ui/case.xml", "<Object type='ImageBox' name='b' x='0' y='0' image='plain'/>"),
              "no exception");
}
