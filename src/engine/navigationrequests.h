#pragma once
#include <QString>

class PageControl;

// A navigation about to start, for BeforeNavigate2 receivers. Setting cancel refuses it.
struct NavigationRequest {
    enum Kind { Typed, LinkClicked, FormSubmitted, BackForward, Reload, Redirect, Other };
    QString url;
    Kind kind = Other;
    bool mainFrame = true;
    bool cancel = false;
};

// A page asks for a new window. The receiver supplies the control that takes it in
// target, or sets cancel.
struct NewWindowRequest {
    QString url;
    bool userInitiated = false;
    bool background = false; // Ctrl+click or middle click
    bool dialog = false;     // window.open with a size
    PageControl *target = nullptr;
    bool cancel = false;
};
