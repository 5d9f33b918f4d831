// Exception classes shared by the whole program. Everything that escapes an
// event handler ends in the application's error box with its Message.
#pragma once

#include <stdexcept>
#include <string>

class Exception : public std::runtime_error {
public:
    explicit Exception(const std::string& message) : std::runtime_error(message) {}
    std::string Message() const { return what(); }
};

// A text that does not convert to a number.
class EConvertError : public Exception {
public:
    using Exception::Exception;
};

// An operation that the object cannot do in its present state.
class EInvalidOperation : public Exception {
public:
    using Exception::Exception;
};

// A picture that cannot be read, written or made (names the file and the reason).
class EInvalidGraphic : public Exception {
public:
    using Exception::Exception;
};

// A request for more memory than a picture may take.
class EOutOfResources : public Exception {
public:
    using Exception::Exception;
};
