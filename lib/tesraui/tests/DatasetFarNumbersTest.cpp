#include <tesraui/Dataset.h>
#include <tesraui/Object.h>
#include <tesraui/tesraui.h>

#include "UiTestSupport.h"

using tesra::Color;
using tesraui::Dataset;
using uitest::LogCapture;

namespace
{
    // Datasets whose third line (or a later one) gives a property a number text; their warnings.
    class DatasetFarNumbers : public uitest::UiWindowTest
    {
    protected:
        void SetUp() override
        {
            uitest::UiWindowTest::SetUp();
            this->folder.write("gfx/plain.png", uitest::solidPng(4, 4, Color(255, 255, 0)));
            this->folder.write("gfx/other.png", uitest::solidPng(4, 4, Color(0, 0, 255)));
        }

        // The warnings of loading the lines, each with "%s" for the file's name; "zorder=<value>" when the
        // file has an object 'o'.
        std::string warnings(const std::string& file, const std::string& lines)
        {
            this->folder.write("ui/main.xml", "<Dataset>\n<Include path='part.xml'/>\n</Dataset>");
            this->folder.write(file,
                               "<Dataset>\n<Texture filename='../gfx/plain'/>\n" + lines + "\n</Dataset>");
            LogCapture log;
            Dataset dataset(file == "ui/part.xml" ? "ui/main.xml" : file, "d");
            dataset.load();
            std::string journal;
            for (const std::string& line : log.take())
            {
                if (line.rfind("WARNING:", 0) == 0)
                {
                    journal += line + "\n";
                }
            }
            if (dataset.hasObject("o"))
            {
                journal += "zorder=" + std::string(dataset.getObject("o")->getProperty("zorder"));
            }
            return journal;
        }
    };
} // namespace

// Such a number is set as before, but the file's writer is told the file, line, owner and property.
TEST_F(DatasetFarNumbers, ANumberThePropertyCannotHoldIsToldWithItsPlace)
{
    const std::string place = ", in file ui/%s, line 3\n";
    const std::pair<std::string, std::string> rows[] = {
        {"<Object type='Container' name='o' x='-3.5' y='0' zorder='10.0'/>", "zorder=10"},
        {"<Object type='Container' name='o' x='0' y='0' zorder='1e308'/>",
         "WARNING: Property 'zorder' of object 'o': '1e308' is not a whole number an int can hold, read as "
         "1" +
             place + "zorder=1"},
        {"<Object type='Container' name='o' x='0' y='0' zorder='2147483648'/>",
         "WARNING: Property 'zorder' of object 'o': '2147483648' is not a whole number an int can hold, read "
         "as 2147483647" +
             place + "zorder=2147483647"},
        {"<Object type='Container' name='o' x='0' y='0' zorder='nan'/>",
         "WARNING: Property 'zorder' of object 'o': 'nan' is not a whole number an int can hold, read as 0" +
             place + "zorder=0"},
        {"<Object type='Container' name='o' x='1e308' y='inf'/>",
         "WARNING: Property 'x' of object 'o': '1e308' is not a number a float can hold, read as inf" +
             place +
             "WARNING: Property 'y' of object 'o': 'inf' is not a number a float can hold, read as inf" +
             place + "zorder=0"},
        {"<Object type='Container' name='o' rect='0, 0,1e39,5'/>",
         "WARNING: Property 'rect' of object 'o': '1e39' is not a number a float can hold, read as "
         "0,0,inf,5" +
             place + "zorder=0"},
        // Attributes that another one stands in for are not read.
        {"<Object type='Container' name='o' rect='0,0,1,1' x='inf' size='inf,1'/>", "zorder=0"},
        {"<Object type='Container' name='o' position='0,0' x='inf' w='nan' size='1,1'/>", "zorder=0"},
        {"<Object type='Container' name='k' x='0' y='0'>\n<Animator type='MoverX' name='a' "
         "peak_to_peak='nan'/></Object>",
         "WARNING: Property 'peak_to_peak' of animator 'a': 'nan' is not a number a float can hold, read as "
         "nan, in file ui/%s, line 4\n"},
        {"<Texture filename='../gfx/other' prefix_images='0'>\n\n<Image name='i' x='0' y='0' w='1e308' "
         "h='1'/></Texture>",
         "WARNING: Property 'w' of image 'i': '1e308' is not a number a float can hold, read as inf, in file "
         "ui/%s, line 5\n"}};
    for (const auto& [body, text] : rows)
    {
        for (const std::string name : {"case.xml", "part.xml"})
        {
            std::string expected = text;
            for (size_t at = expected.find("%s"); at != std::string::npos; at = expected.find("%s"))
            {
                expected.replace(at, 2, name);
            }
            EXPECT_EQ(warnings("ui/" + name, body), expected) << body;
        }
    }
}

// Opacity runs 0..255: a fraction such as 0.6, as other engines take it, hides the object. The first one a
// file or a script gives is told, once for each start of the library.
TEST_F(DatasetFarNumbers, AFractionalAlphaIsToldOnce)
{
    const std::string told =
        "WARNING: Property 'alpha' of object 'o' is 0.6, which is 0: alpha runs from 0 "
        "(invisible) to 255 (opaque), so 153 would be that opacity. This is said once.\n";
    EXPECT_EQ(this->warnings("ui/a.xml", "<Object type='Container' name='o' x='0' y='0' alpha='0.6'/>\n"
                                         "<Object type='Container' name='p' x='0' y='0' alpha='0.5'/>"),
              told + "zorder=0");
    LogCapture log;
    auto toldSince = [&log]
    {
        std::string journal;
        for (const std::string& line : log.take())
            if (line.rfind("WARNING:", 0) == 0)
                journal += line + "\n";
        return journal;
    };
    {
        Dataset dataset("ui/a.xml", "again");
        dataset.load();
        for (const char* value : {"0.25", "0", "1", "128", "255"})
        {
            dataset.getObject("o")->setProperty("alpha", value);
        }
    }
    EXPECT_EQ(toldSince(), "");
    tesraui::destroy();
    tesraui::init();
    {
        Dataset later("ui/a.xml", "later");
        later.load();
        later.getObject("o")->setProperty("alpha", "0.5");
    }
    EXPECT_EQ(toldSince(), told);
}
