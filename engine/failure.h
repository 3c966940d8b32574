#pragma once

#include <stdexcept>
#include <string>

namespace quillora {

// A platform operation that could not be carried out: a refused process launch, a log write the
// window could not hold. It carries the system's error number and its description so that whoever
// finally reports it can show both.
class PlatformFailure : public std::runtime_error {
public:
    PlatformFailure(unsigned long number, std::wstring description)
        : std::runtime_error("platform operation failed"),
          number_(number),
          description_(std::move(description)) {}

    unsigned long number() const { return number_; }
    const std::wstring& description() const { return description_; }

private:
    unsigned long number_;
    std::wstring description_;
};

}  // namespace quillora
