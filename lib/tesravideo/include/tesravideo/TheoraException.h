#pragma once

#include <string>

// The video library's one error type. Every place that throws it logs the message first.
class _TheoraGenericException
{
public:
    _TheoraGenericException(const std::string& message, const std::string& type,
                            const std::string& sourcePath, int line);
    virtual ~_TheoraGenericException();

    virtual std::string getErrorText() const;
    virtual std::string getMessage() const { return this->message; }

    std::string getType() const { return this->type; }
    std::string getFile() const { return this->file; }
    int getLine() const { return this->line; }

protected:
    std::string message;
    std::string type;
    std::string file;
    int line;
};

// Logs the message through the manager's log function, then throws it.
[[noreturn]] void _theoraThrow(const std::string& message, const char* sourcePath, int line);

#define THEORA_THROW(message) _theoraThrow((message), __FILE__, __LINE__)
