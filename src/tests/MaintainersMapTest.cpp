#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "EngineTestSupport.h"

using enginetest::readFile;

// docs/maintainers.md against the tree it describes: every file, folder and commit it names exists, and its
// list of a frame's steps names functions defined where it says, in the order the comment over the main
// loop gives them.
namespace
{
    typedef std::vector<std::string> Names;

    const std::string sourceDir = VUMO_SOURCE_DIR;

    std::string page()
    {
        return readFile(sourceDir + "/docs/maintainers.md");
    }

    Names matches(const std::string& text, const std::regex& pattern, int group = 1)
    {
        Names result;
        for (auto it = std::sregex_iterator(text.begin(), text.end(), pattern); it != std::sregex_iterator();
             ++it)
        {
            result.push_back((*it)[group].str());
        }
        return result;
    }

    // "lib/<name>/fuzz/" and "bench/*.cpp" stand for any entry there: true when one matches.
    bool existsMatching(const std::filesystem::path& base, const Names& parts, size_t index)
    {
        if (index == parts.size())
        {
            return std::filesystem::exists(base);
        }
        const std::string& part = parts[index];
        if (part.find('<') == std::string::npos && part.find('*') == std::string::npos)
        {
            return existsMatching(base / part, parts, index + 1);
        }
        if (!std::filesystem::is_directory(base))
        {
            return false;
        }
        std::string pattern;
        for (size_t i = 0; i < part.size(); ++i)
        {
            if (part[i] == '<')
            {
                i = std::min(part.find('>', i), part.size());
                pattern += "[^/]+";
            }
            else if (part[i] == '*')
            {
                pattern += "[^/]*";
            }
            else
            {
                pattern +=
                    (std::strchr(".^$|()[]{}+?\\", part[i]) != nullptr ? "\\" : "") + std::string(1, part[i]);
            }
        }
        const std::regex wanted(pattern);
        for (const auto& entry : std::filesystem::directory_iterator(base))
        {
            if (std::regex_match(entry.path().filename().string(), wanted) &&
                existsMatching(entry.path(), parts, index + 1))
            {
                return true;
            }
        }
        return false;
    }

    bool pathExists(const std::string& path)
    {
        Names parts;
        std::istringstream in(path);
        for (std::string part; std::getline(in, part, '/');)
        {
            if (!part.empty())
            {
                parts.push_back(part);
            }
        }
        return existsMatching(sourceDir, parts, 0);
    }

    // Paths from the tree's top folders, and the targets of the page's links (relative to docs/).
    Names namedPaths(const std::string& text)
    {
        Names result =
            matches(text, std::regex("(?:^|[^A-Za-z0-9_./-])((?:lib|src|game|bench|scripts|docs|cmake|"
                                     "\\.ci)/[A-Za-z0-9_./<>*-]*[A-Za-z0-9_/>*-])"));
        for (const std::string& link : matches(text, std::regex("\\]\\(([^)#]+)(?:#[^)]*)?\\)")))
        {
            if (link.find("://") == std::string::npos)
            {
                result.push_back(std::filesystem::path("docs/" + link).lexically_normal().string());
            }
        }
        return result;
    }

    int run(const std::string& command)
    {
        const int status = std::system((command + " >/dev/null 2>&1").c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    std::string git()
    {
        return "git -C '" + sourceDir + "' ";
    }

    // The part of the page from its "## heading" line to the next "## " heading.
    std::string section(const std::string& text, const std::string& heading)
    {
        const size_t start = text.find("\n## " + heading + "\n");
        if (start == std::string::npos)
        {
            return "";
        }
        const size_t end = text.find("\n## ", start + 1);
        return text.substr(start, end == std::string::npos ? std::string::npos : end - start);
    }

    // The comment right above the main loop's definition.
    std::string mainLoopComment()
    {
        const std::string file = readFile(sourceDir + "/lib/tesra/src/window/WindowFrames.cpp");
        const size_t loop = file.find("void Window::enterMainLoop()");
        if (loop == std::string::npos)
        {
            return "";
        }
        std::string comment;
        std::istringstream in(file.substr(0, file.rfind('\n', loop)));
        for (std::string line; std::getline(in, line);)
        {
            const size_t first = line.find_first_not_of(' ');
            const bool isComment = first != std::string::npos && line.compare(first, 2, "//") == 0;
            comment = isComment ? comment + line + "\n" : "";
        }
        return comment;
    }
} // namespace

TEST(MaintainersMap, EveryPathItNamesExists)
{
    const Names paths = namedPaths(page());
    ASSERT_GE(paths.size(), 60u) << "the page's paths were found";
    for (const std::string& path : paths)
    {
        EXPECT_TRUE(pathExists(path)) << "docs/maintainers.md names " << path << ", which does not exist";
    }
    for (const char* file : {"README.md", "CONTRIBUTING.md"})
    {
        EXPECT_NE(readFile(sourceDir + "/" + file).find("docs/maintainers.md"), std::string::npos)
            << file << " links the maintainer's map";
    }
}

TEST(MaintainersMap, EveryCommitItNamesIsInTheHistory)
{
    if (run(git() + "rev-parse --is-inside-work-tree") != 0)
    {
        GTEST_SKIP() << "the sources are not a git checkout";
    }
    if (run(git() + "rev-parse --is-shallow-repository | grep -qx true") == 0)
    {
        GTEST_SKIP() << "a shallow clone lacks the older commits";
    }
    const Names commits = matches(page(), std::regex("`([0-9a-f]{7,40})`"));
    ASSERT_GE(commits.size(), 10u) << "the page's commits were found";
    for (const std::string& commit : commits)
    {
        EXPECT_EQ(run(git() + "merge-base --is-ancestor " + commit + " HEAD"), 0)
            << "docs/maintainers.md names commit " << commit << ", which is not in the history of HEAD";
    }
}

// Each step reads "N. `Class::function` in `path`": the function is defined in that file, and the comment
// over the main loop names the steps in the same order.
TEST(MaintainersMap, TheFrameIsTheMainLoopsAndItsFunctionsStandWhereItSays)
{
    const std::string frame = section(page(), "One frame");
    ASSERT_NE(frame, "") << "docs/maintainers.md has a section \"One frame\"";
    const std::regex step("\\n\\d+\\. `(?:tesra::|quortypes::)?((\\w+)::(\\w+))` in `([^`]+)`");
    std::vector<std::smatch> steps;
    for (auto it = std::sregex_iterator(frame.begin(), frame.end(), step); it != std::sregex_iterator(); ++it)
    {
        steps.push_back(*it);
    }
    ASSERT_GE(steps.size(), 6u) << "the frame's steps were found";
    const std::string comment = mainLoopComment();
    ASSERT_NE(comment, "") << "the main loop has a comment over it";
    size_t at = 0;
    for (const std::smatch& found : steps)
    {
        const std::string name = found[1], owner = found[2], function = found[3], path = found[4];
        const std::string source = readFile(sourceDir + "/" + path);
        EXPECT_TRUE(source.find(owner + "::" + function + "(") != std::string::npos ||
                    source.find(" " + function + "(") != std::string::npos)
            << name << " is not defined in " << path;
        const size_t named = comment.find(name, at);
        EXPECT_NE(named, std::string::npos)
            << "the comment over Window::enterMainLoop does not name " << name << " after the step before it";
        at = (named == std::string::npos ? at : named + name.size());
    }
}
