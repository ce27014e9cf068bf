#include <tesravideo/TheoraException.h>

#include "TheoraLog.h"

_TheoraGenericException::_TheoraGenericException(const std::string& message, const std::string& type,
                                                 const std::string& sourcePath, int line)
    : message(message), type(type), line(line)
{
    // Keeps the path below the first "src" folder, so texts do not depend on where the tree was built.
    size_t position = sourcePath.find("src");
    this->file = (position == std::string::npos ? sourcePath : sourcePath.substr(position + 3));
    if (!this->file.empty() && (this->file[0] == '/' || this->file[0] == '\\'))
    {
        this->file = this->file.substr(1);
    }
}

_TheoraGenericException::~_TheoraGenericException() {}

std::string _TheoraGenericException::getErrorText() const
{
    std::string text = this->type;
    if (!this->type.empty())
    {
        text += ": ";
    }
    if (!this->file.empty())
    {
        text += "[" + this->file + ":" + std::to_string(this->line) + "] - ";
    }
    return text + this->message;
}

void _theoraThrow(const std::string& message, const char* sourcePath, int line)
{
    theoralog::write(message);
    throw _TheoraGenericException(message, "TheoraGenericException", sourcePath, line);
}
