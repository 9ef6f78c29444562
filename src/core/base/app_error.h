#pragma once
// Errors that end a command. The application's general error handler shows
// their text (see ErrorBoxText); nothing below the command catches them.

#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>

namespace valdex {

class AppError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// "'x' is not a valid integer value" and its floating point sibling.
class ConversionError : public AppError {
public:
    using AppError::AppError;
};

// "Floating point division by zero", "Invalid floating point operation",
// "Floating point overflow".
class ArithmeticError : public AppError {
public:
    using AppError::AppError;
};

// Failures to open, read, create or write a file ("File not found", ...).
class FileError : public AppError {
public:
    using AppError::AppError;
};

// A study the program refuses with a Spanish message of its own
// (negative replicate count, a file it cannot read or write safely).
class StudyError : public AppError {
public:
    using AppError::AppError;
};

// The text of the general error box: the message, followed by a full stop
// when it ends in a letter or a digit.
std::string ErrorBoxText(std::string_view message);

// An offending text as a message quotes it: at most kQuotedTextLength
// characters, then "…"; control characters written as \xNN (C0 and DEL) or
// \uNNNN (C1), so that a NUL byte cannot cut the message nor a line feed
// split it; a byte that is no valid UTF-8 as \xNN too.
inline constexpr std::size_t kQuotedTextLength = 60;
std::string QuotedText(std::string_view text);

// The whole text as a page or a report shows it, escaped as QuotedText
// escapes, without its length cut: a text with no control character and no
// invalid byte comes back unchanged.
std::string DisplayText(std::string_view text);

} // namespace valdex
