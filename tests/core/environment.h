#pragma once
// Environment variables changed for one test and put back as they were when it ends.

#include <cstdlib>
#include <map>
#include <optional>
#include <string>

namespace vorlisk::testing {

class ScopedEnvironment {
  public:
    ScopedEnvironment() = default;
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;
    ~ScopedEnvironment() {
        for (const auto& [name, value] : saved_) Put(name, value);
    }

    void Set(const std::string& name, const std::string& value) {
        Save(name);
        Put(name, value);
    }
    void Unset(const std::string& name) {
        Save(name);
        Put(name, std::nullopt);
    }
    // Sets the variable, or removes it when `value` is null.
    void Set(const std::string& name, const char* value) {
        Save(name);
        Put(name, value ? std::optional<std::string>(value) : std::nullopt);
    }

  private:
    // Only the value from before the first change is kept.
    void Save(const std::string& name) {
        if (saved_.count(name)) return;
        const char* old = std::getenv(name.c_str());
        saved_[name] = old ? std::optional<std::string>(old) : std::nullopt;
    }
    static void Put(const std::string& name, const std::optional<std::string>& value) {
#ifdef _WIN32
        // An empty value removes the variable on Windows.
        ::_putenv_s(name.c_str(), value ? value->c_str() : "");
#else
        if (value)
            ::setenv(name.c_str(), value->c_str(), 1);
        else
            ::unsetenv(name.c_str());
#endif
    }

    std::map<std::string, std::optional<std::string>> saved_;
};

}  // namespace vorlisk::testing
