// Texts files and formatted keys from one input: the text up to the first "=== NAME" line is "texts/t.txt",
// each such line starts the file NAME ("texts/..." for the dataset "main", "other/..." for "other", and
// "keys" for lines each asked as a formatted key). Every text read is asked back plain and formatted.
#include <string>

#include <fuzz_support/Leaks.h>
#include <fuzz_support/Scratch.h>
#include <quortypes/Resource.h>
#include <quortypes/exception.h>
#include <tesraui/Dataset.h>

namespace
{
    void ask(tesraui::Dataset& dataset, const hstring& key)
    {
        try
        {
            dataset.hasText(key);
            dataset.getText(key);
            dataset.getTextFormatted(key);
        }
        catch (const quortypes::exception&)
        {
        }
    }
} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    quortypes::Resource::setCwd(fuzz_support::scratchFolder());
    fuzz_support::checkLeaksBeforeStatics();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size)
{
    fuzz_support::clearScratch();
    hstring keys;
    for (const auto& [name, bytes] :
         fuzz_support::splitFiles(std::string((const char*)data, size), "texts/t.txt"))
    {
        if (name == "keys")
        {
            keys += bytes;
        }
        else
        {
            fuzz_support::writeFile(name, bytes);
        }
    }
    tesraui::Dataset main("", "main"), other("", "other");
    main.loadTexts("texts");
    other.loadTexts("other");
    for (const auto& [key, text] : main.getTexts())
    {
        ask(main, key);
        ask(main, "{%f}" + key + " a {b c} other.main." + key);
        ask(main, "{%s %s}" + key + " " + key);
        ask(other, "main." + key);
        ask(main, text);
    }
    for (const hstring& line : keys.split('\n'))
    {
        ask(main, line);
        ask(other, line);
    }
    return 0;
}
