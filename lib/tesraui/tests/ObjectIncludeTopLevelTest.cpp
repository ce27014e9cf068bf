#include <tesraui/Dataset.h>

#include "UiTestSupport.h"

using tesraui::Dataset;
using uitest::Lines;
using uitest::LogCapture;

namespace
{
    class ObjectIncludeTopLevel : public uitest::UiWindowTest
    {
    };
} // namespace

// An Include at the top of an object include file is not followed, but the file's writer is told which one;
// includes inside its objects are followed as before.
TEST_F(ObjectIncludeTopLevel, IsReportedWithItsFileAndPath)
{
    this->folder.write("ui/main.xml",
                       "<Dataset><Object type='Container' name='root' x='0' y='0'>"
                       "<Include path='parts/outer.xml' name_prefix='o_'/></Object></Dataset>");
    this->folder.write("ui/parts/outer.xml", "<Outer><Include path='parts/inner.xml'/>"
                                             "<Object type='Container' name='box' x='0' y='0'>"
                                             "<Include path='parts/inner.xml'/></Object></Outer>");
    this->folder.write("ui/parts/inner.xml",
                       "<Inner><Object type='Container' name='in' x='1' y='1'/></Inner>");
    LogCapture log;
    Dataset dataset("ui/main.xml", "d");
    dataset.load();
    Lines warnings;
    for (const std::string& line : log.take())
        if (line.rfind("WARNING:", 0) == 0)
            warnings.push_back(line);
    EXPECT_EQ(warnings,
              (Lines{"WARNING: Object include file 'ui/parts/outer.xml': the Include of "
                     "'parts/inner.xml' at its top level is not followed; put it inside an Object."}));
    EXPECT_EQ(dataset.getObject("o_in")->getParent(), dataset.getObject("o_box"));
    EXPECT_EQ(dataset.getObject("o_box")->getChildren().size(), 1u);
    EXPECT_EQ(dataset.getObject("root")->getChildren().size(), 1u);
}
