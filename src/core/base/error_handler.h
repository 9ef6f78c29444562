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
        box.ShowErrorBox(ErrorBoxText(error.what()));
    }
    return false;
}

} // namespace valdex
