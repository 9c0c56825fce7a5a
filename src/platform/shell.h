#pragma once
#include <string>

namespace platform {

// ShellExecute and nothing more; results are never examined.
class Shell {
public:
    virtual ~Shell() = default;
    virtual void execute(const std::string& verb, const std::string& file, const std::string& parameters,
                         const std::string& folder, int show) = 0;
};

constexpr int swHide = 0;
constexpr int swShow = 5;

}  // namespace platform
