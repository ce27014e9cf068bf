#include <memory>
#include <regex>
#include <set>

#include <tesraparticle/Affector.h>
#include <tesraparticle/Emitter.h>
#include <tesraparticle/Space.h>
#include <tesraparticle/tesraparticle.h>

#include "EngineTestSupport.h"
#include "Variables.h"

using namespace vumo;

using enginetest::readFile;

// The pages on the game's files in docs/ against what the readers of those files accept: every element
// a dataset file may hold, every particle type and attribute, and the worked example of a variables file.
namespace
{
    typedef std::set<std::string> Names;

    std::string docsFile(const std::string& name)
    {
        return readFile(std::string(VUMO_SOURCE_DIR) + "/docs/" + name);
    }

    // The part of a page from its "## heading" line to the next "## " heading.
    std::string section(const std::string& page, const std::string& heading)
    {
        const size_t start = page.find("\n## " + heading + "\n");
        if (start == std::string::npos)
        {
            return "";
        }
        const size_t end = page.find("\n## ", start + 1);
        return page.substr(start, end == std::string::npos ? std::string::npos : end - start);
    }

    bool namesInCode(const std::string& text, const std::string& name)
    {
        return text.find("`" + name + "`") != std::string::npos;
    }

    void addProperties(Names& names, const harray<PropertyInfo>& properties)
    {
        for (const PropertyInfo& property : properties)
        {
            names.insert(property.name);
        }
    }
} // namespace

TEST(FormatsReference, EveryDatasetElementHasARow)
{
    const std::string loader = readFile(std::string(VUMO_SOURCE_DIR) + "/lib/tesraui/src/DatasetLoad.cpp");
    Names elements;
    const std::regex compared("\\*(?:node|child) [!=]= \"([A-Za-z]+)\"");
    for (auto it = std::sregex_iterator(loader.begin(), loader.end(), compared); it != std::sregex_iterator();
         ++it)
    {
        elements.insert((*it)[1].str());
    }
    ASSERT_GE(elements.size(), 7u) << "the dataset elements were found in the loader";
    const std::string page = docsFile("datasets.md");
    for (const std::string& element : elements)
    {
        EXPECT_NE(page.find("| `" + element + "` |"), std::string::npos)
            << "dataset element " << element << " has no row in docs/datasets.md";
    }
}

TEST(FormatsReference, EveryParticleTypeAndAttributeIsNamed)
{
    // The engine tests share one process: the library may be started already.
    const bool started = tesraparticle::getAffectorFactories().size() == 0;
    if (started)
    {
        tesraparticle::init();
    }
    Names types, attributes;
    for (const auto& factory : tesraparticle::getAffectorFactories())
    {
        types.insert(factory.first);
        std::unique_ptr<tesraparticle::Affector> affector(tesraparticle::createAffector(factory.first, ""));
        ASSERT_NE(affector, nullptr) << factory.first;
        addProperties(attributes, affector->getPropertyDescriptions());
    }
    addProperties(attributes, tesraparticle::Emitter().getPropertyDescriptions());
    addProperties(attributes, tesraparticle::Space().getPropertyDescriptions());
    if (started)
    {
        tesraparticle::destroy();
    }
    ASSERT_GE(types.size(), 12u);
    const std::string particles = section(docsFile("formats.md"), "Particle systems");
    ASSERT_NE(particles, "") << "docs/formats.md has a section \"Particle systems\"";
    for (const std::string& type : types)
    {
        EXPECT_TRUE(namesInCode(particles, type)) << "affector type " << type << " is not named";
    }
    for (const std::string& attribute : attributes)
    {
        EXPECT_TRUE(namesInCode(particles, attribute))
            << "particle attribute " << attribute << " is not named";
    }
}

// A maker copies the example to start a file by hand: it has to load.
TEST(FormatsReference, VariablesExampleCarriesItsCrc)
{
    const std::string variables = section(docsFile("formats.md"), "Variables (`vars.diff`)");
    const size_t start = variables.find("```\ncrc: ");
    ASSERT_NE(start, std::string::npos) << "docs/formats.md shows a variables file";
    const size_t end = variables.find("```", start + 4);
    ASSERT_NE(end, std::string::npos);
    const hstring example = variables.substr(start + 4, end - start - 4);
    hstring body;
    EXPECT_TRUE(VariableDictionary::diffCrcMatches(example, &body)) << example.c_str();
    EXPECT_NE(body.find("profile_dir: "), std::string::npos);
}
