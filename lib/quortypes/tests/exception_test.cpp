// Included first on purpose: the foundation headers include each other, and this one must bring the
// strings and arrays with it.
#include <quortypes/exception.h>

#include <gtest/gtest.h>

TEST(exception, messagesAreDecoratedWithSourceBaseNameAndLine)
{
    EXPECT_EQ(quortypes::exception("boom", "src/hsbase", 12).getMessage(), "[hsbase:12] boom");
    EXPECT_EQ(quortypes::exception("x", "C:\\dir\\sub/hfbase.cpp", 3).getMessage(), "[hfbase.cpp:3] x");
    EXPECT_EQ(quortypes::_container_index_error(4, "harray", 10).getMessage(),
              "[harray:10] index '4' out of range");
    EXPECT_EQ(quortypes::_container_empty_error("random()", "harray", 1).getMessage(),
              "[harray:1] 'random()' cannot be used on a container with size = 0");
    EXPECT_EQ(quortypes::_container_element_not_found("harray", 2).getMessage(),
              "[harray:2] element not found in container\t");
    EXPECT_EQ(quortypes::_container_range_error(0, 1, "harray", 3).getMessage(),
              "[harray:3] range 'at 0 for 1' out of range");
    EXPECT_EQ(quortypes::_file_not_open("a.txt", "hsbase", 5).getMessage(),
              "[hsbase:5] 'a.txt' is not open!");
    EXPECT_EQ(quortypes::_file_not_writeable("a.txt", "hsbase", 6).getMessage(),
              "[hsbase:6] 'a.txt' is not writeable!");
    EXPECT_EQ(quortypes::_file_not_found("no/such/file.txt", false, "hfbase", 7).getMessage(),
              "[hfbase:7] 'no/such/file.txt' not found!");
    EXPECT_EQ(quortypes::_resource_not_exists("font", "Arial", "fintu", "src/Renderer", 8).getMessage(),
              "[Renderer:8] 'Arial' 'font' does not exist in 'fintu'");
}
