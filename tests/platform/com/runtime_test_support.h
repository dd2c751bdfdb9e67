#pragma once
// Helpers of the runtime tests: a scratch directory whose path has spaces and
// scoped environment variables.

#include <stdlib.h>

#include <filesystem>
#include <optional>
#include <string>
#include <system_error>

namespace runtime_test {

// A fresh directory "<build>/test-registry/com runtime XXXXXX", removed with
// everything in it at scope end.
class ScratchDirectory {
public:
    ScratchDirectory() {
        const std::filesystem::path base = std::filesystem::path(HARTDTM_BINARY_ROOT) / "test-registry";
        std::filesystem::create_directories(base);
        std::string pattern = (base / "com runtime XXXXXX").string();
        if (::mkdtemp(pattern.data())) path_ = pattern;
    }
    ScratchDirectory(const ScratchDirectory&) = delete;
    ScratchDirectory& operator=(const ScratchDirectory&) = delete;
    ~ScratchDirectory() {
        std::error_code ec;
        if (!path_.empty()) std::filesystem::remove_all(path_, ec);
    }
    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

// Sets (or, with nullopt, removes) an environment variable and restores the
// earlier state at scope end.
class ScopedEnvironment {
public:
    ScopedEnvironment(std::string name, const std::optional<std::string>& value) : name_(std::move(name)) {
        if (const char* old = ::getenv(name_.c_str())) old_ = old;
        if (value) {
            ::setenv(name_.c_str(), value->c_str(), 1);
        } else {
            ::unsetenv(name_.c_str());
        }
    }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;
    ~ScopedEnvironment() {
        if (old_) {
            ::setenv(name_.c_str(), old_->c_str(), 1);
        } else {
            ::unsetenv(name_.c_str());
        }
    }

private:
    std::string name_;
    std::optional<std::string> old_;
};

}  // namespace runtime_test
