#pragma once
// The application's one general error handler: every command runs inside it.
// An error ends the command where it happened; what the command did before
// stays done, and the application goes on.

#include "base/app_error.h"

#include <exception>
#include <string>
#include <utility>

namespace valdex {

// Where the general error box goes: a box with a stop icon, the application
// title as caption (kApplicationTitle) and one OK button.
class ErrorBox {
public:
    virtual ~ErrorBox() = default;
    virtual void ShowErrorBox(const std::string& text) = 0;
    // An error that is not an AppError (a fault of the program, such as
    // std::bad_alloc or a logic error): the user sees the same box; a test
    // host records it as a failure.
    virtual void ShowUnexpectedError(const std::string& text) { ShowErrorBox(text); }
};

// Runs `command`; an AppError (or any other standard exception) shows its
// text with the full-stop rule of ErrorBoxText. Returns false when the
// command ended by an error.
template <class Command> bool RunCommand(ErrorBox& box, Command&& command) {
    try {
        std::forward<Command>(command)();
        return true;
    } catch (const AppError& error) {
        box.ShowErrorBox(ErrorBoxText(error.what()));
    } catch (const std::exception& error) {
        box.ShowUnexpectedError(ErrorBoxText(error.what()));
    }
    return false;
}

} // namespace valdex
