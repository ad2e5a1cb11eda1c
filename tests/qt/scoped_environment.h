#pragma once

// Sets or unsets an environment variable for one test and restores it after.

#include <cstdlib>
#include <optional>
#include <string>

namespace tavex::test {

class ScopedEnvironment {
public:
    ScopedEnvironment(std::string name, std::optional<std::string> value) : name_(std::move(name))
    {
        if (const char* const old = std::getenv(name_.c_str())) {
            previous_ = old;
        }
        Put(value);
    }
    ~ScopedEnvironment() { Put(previous_); }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
    void Put(const std::optional<std::string>& value) const
    {
        if (value) {
            ::setenv(name_.c_str(), value->c_str(), 1);
        } else {
            ::unsetenv(name_.c_str());
        }
    }

    std::string name_;
    std::optional<std::string> previous_;
};

} // namespace tavex::test
