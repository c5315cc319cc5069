#pragma once
// The error type of the tag and stream readers. Callers that show errors to
// the user take the text from what().
#include <stdexcept>
#include <string>

class EMediaError : public std::runtime_error {
public:
    explicit EMediaError(const std::string& message) : std::runtime_error(message) {}
};

// A read that needed more bytes than the data holds.
class EMediaReadError : public EMediaError {
public:
    EMediaReadError() : EMediaError("Stream read error") {}
};
