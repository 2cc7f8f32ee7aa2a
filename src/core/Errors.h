// The one error type of the program: a failure that travels as a message to
// the application's error display (or to whoever catches it first).
#pragma once

#include <stdexcept>
#include <string>

namespace corvinade {

class Error : public std::runtime_error {
public:
    explicit Error(const std::string& message) : std::runtime_error(message) {}
};

} // namespace corvinade
