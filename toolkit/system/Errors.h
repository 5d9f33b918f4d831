// Exception classes shared by the whole program. Everything that escapes an
// event handler ends in the application's error box with its Message.
#pragma once

#include <stdexcept>
#include <string>

// The base of our exceptions: a message for the user.
class Exception : public std::runtime_error {
public:
    explicit Exception(const std::string& message) : std::runtime_error(message) {}  // With its message.
    std::string Message() const { return what(); }  // The message, as the error box shows it.
};

// A text that does not convert to a number.
class EConvertError : public Exception {
public:
    using Exception::Exception;  // With its message.
};

// An operation that the object cannot do in its present state.
class EInvalidOperation : public Exception {
public:
    using Exception::Exception;  // With its message.
};

// A picture that cannot be read, written or made (names the file and the reason).
class EInvalidGraphic : public Exception {
public:
    using Exception::Exception;  // With its message.
};

// A request for more memory than a picture may take.
class EOutOfResources : public Exception {
public:
    using Exception::Exception;  // With its message.
};
