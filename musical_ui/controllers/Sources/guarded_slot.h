#pragma once

#include <exception>
#include <string>
#include <utility>

namespace brix::qt {

// Runs the body of a slot and hands the text of any exception it throws to `report` (message, title)
// instead of letting it go on: Qt does not carry an exception out of a slot or through the event loop.
// `report` is the slot owner's error signal, which its owner shows as a dialog; it must not throw.
template <class Body, class Report>
void RunGuarded(const std::string& title, Body&& body, Report&& report) noexcept
{
    try {
        std::forward<Body>(body)();
    } catch (const std::exception& e) {
        report(std::string(e.what()), title);
    } catch (...) {
        report(std::string("An unknown error occurred."), title);
    }
}

}  // namespace brix::qt
