#include <typeinfo>

#include <gtest/gtest.h>

#include <quortypes/exception.h>
#include <tesraui/Dataset.h>
#include <tesraui/Object.h>
#include <tesraui/exception.h>

#include "UiDataSupport.h"

using library_support::LogCapture;
using library_support::messageText;
using tesraui::Dataset;

namespace
{
    class DatasetFailures : public uidata::UiWindowTest
    {
    protected:
        void SetUp() override
        {
            uidata::UiWindowTest::SetUp();
            std::string png = uidata::solidPng(2, 2, tesra::Color(255, 0, 0));
            this->folder.write("gfx/a/button.png", png);
            this->folder.write("gfx/b/button.png", png);
            this->folder.write("gfx/plain.png", png);
        }

        // Loads a dataset of the given root children; the text of what it throws, after checking that the
        // failure was logged, thrown as a plain quortypes::exception and left the dataset not loaded.
        std::string failure(const std::string& body)
        {
            this->folder.write("ui/case.xml", "<Dataset>" + body + "</Dataset>");
            LogCapture log;
            Dataset dataset("ui/case.xml", "d");
            try
            {
                dataset.load();
            }
            catch (quortypes::exception& e)
            {
                EXPECT_EQ(typeid(e), typeid(quortypes::exception));
                EXPECT_FALSE(dataset.isLoaded());
                std::vector<std::string> lines = log.take();
                EXPECT_NE(std::find(lines.begin(), lines.end(), "ERROR: " + e.getMessage()), lines.end());
                return messageText(e);
            }
            return "no exception";
        }
    };
} // namespace

TEST_F(DatasetFailures, EveryFailureHasItsText)
{
    EXPECT_EQ(failure("<Texture/>"), "XML property doesn't exist: filename, in file ui/case.xml, line 1");
    EXPECT_EQ(failure("<Object type=\"Container\" position=\"1\"/>"),
              "Cannot convert string '1' to kavtypes::Vector2.");
    EXPECT_EQ(failure("<Object type=\"Container\" rect=\"1,2,3\"/>"),
              "Cannot convert string '1,2,3' to kavtypes::Rectangle.");
    EXPECT_EQ(failure("<Texture filename=\"../gfx/a/button\"/><Texture filename=\"../gfx/b/button\"/>"),
              "Object already exists: button in ../gfx/b/button");
    EXPECT_EQ(failure("<Texture filename=\"missing\"/>"), "'ui/missing' not found!");
    EXPECT_EQ(failure("<Texture filename=\"../gfx/plain\" filter=\"bilinear\"/>"),
              "texture filter 'bilinear' not supported");
    EXPECT_EQ(failure("<CompositeImage name=\"plain\" w=\"1\" h=\"1\"/><Texture filename=\"../gfx/plain\"/>"),
              "Texture already exists: plain in dataset d");
    EXPECT_EQ(
        failure(
            "<Texture filename=\"../gfx/a/button\" prefix_images=\"0\"><Image name=\"x\" rect=\"0,0,1,1\"/>"
            "</Texture><Texture filename=\"../gfx/plain\" prefix_images=\"0\"><Image name=\"x\" x=\"0\" "
            "y=\"0\" w=\"1\" h=\"1\"/></Texture>"),
        "Image already exists: x in dataset d");
    EXPECT_EQ(
        failure("<CompositeImage name=\"c\" w=\"1\" h=\"1\"/><CompositeImage name=\"c\" size=\"1,1\"/>"),
        "CompositeImage already exists: c in dataset d");
    EXPECT_EQ(failure("<Object type=\"Container\" name=\"o\" x=\"0\" y=\"0\"><Animator type=\"Container\" "
                      "name=\"o\"/></Object>"),
              "Object already exists: o in dataset d");
    EXPECT_EQ(failure("<Object type=\"Nope\" x=\"0\" y=\"0\"/>"),
              "Unknown class detected in XML file: Nope, in file ui/case.xml, line 1");
    EXPECT_EQ(failure("<CompositeImage name=\"c\" w=\"1\" h=\"1\"><ImageRef name=\"nope\" rect=\"0,0,1,1\"/>"
                      "</CompositeImage>"),
              "Image doesn't exist: 'nope' in dataset 'd'");
    EXPECT_EQ(failure("<TextureGroup names=\"nope\"/>"), "Texture doesn't exist: 'nope' in dataset 'd'");
    // Include cycles, straight and through object includes, name the file.
    EXPECT_EQ(failure("<Include path=\"case.xml\"/>"), "Include cycle: 'ui/case.xml' includes itself again");
    this->folder.write("ui/loop.xml", "<L><Object type=\"Container\" name=\"l\" x=\"0\" y=\"0\"><Include "
                                      "path=\"loop.xml\" name_prefix=\"p\"/></Object></L>");
    EXPECT_EQ(failure("<Object type=\"Container\" x=\"0\" y=\"0\"><Include path=\"loop.xml\"/></Object>"),
              "Include cycle: 'ui/loop.xml' includes itself again");
}

TEST_F(DatasetFailures, FailedLoadReleasesWhatItRegistered)
{
    size_t textures = tesra::rendersys->getTextures().size();
    std::string good =
        "<Texture filename=\"../gfx/plain\"><Image name=\"i\" rect=\"0,0,1,1\"/></Texture>"
        "<CompositeImage name=\"c\" w=\"1\" h=\"1\"><ImageRef name=\"plain/i\" rect=\"0,0,1,1\"/>"
        "</CompositeImage><Object type=\"Container\" name=\"o\" x=\"0\" y=\"0\"><Object "
        "type=\"ImageBox\" name=\"b\" x=\"0\" y=\"0\" image=\"c\"/></Object>";
    EXPECT_NE(failure(good + "<Object type=\"Nope\" x=\"0\" y=\"0\"/>"), "no exception");
    EXPECT_EQ(tesra::rendersys->getTextures().size(), textures);

    // Unloading after a failed load releases it too, and the same dataset then loads again.
    this->folder.write("ui/case.xml",
                       "<Dataset>" + good + "<Object type=\"Nope\" x=\"0\" y=\"0\"/></Dataset>");
    Dataset dataset("ui/case.xml", "d");
    EXPECT_THROW(dataset.load(), quortypes::exception);
    EXPECT_TRUE(dataset.hasObject("b"));
    dataset.unload();
    EXPECT_EQ(dataset.getObjects().size(), 0u);
    EXPECT_EQ(dataset.getImages().size(), 0u);
    EXPECT_EQ(tesra::rendersys->getTextures().size(), textures);
    EXPECT_EQ(library_support::thrownText<tesraui::_GenericException>([&] { dataset.unload(); }),
              "Unable to unload dataset 'd', data not loaded!");
    this->folder.write("ui/case.xml", "<Dataset>" + good + "</Dataset>");
    dataset.load();
    EXPECT_TRUE(dataset.isLoaded());
    EXPECT_EQ(dataset.getObject("o")->getChildren().size(), 1u);
}
