// The other monitors in full-screen mode: while a borderless, topmost form covering the
// whole primary monitor is shown, what the other monitors show outside it gets black
// windows without a cursor, and input there reaches that form as input on its bare
// background.
#pragma once

#include "platform/x11/x11_xlib.h"

namespace x11 {

// Makes, moves or removes the covers as the forms and monitors stand now, and keeps
// them on top. Cheap when nothing changed.
void UpdateCovers();
// Events of the covers and of the monitor layout: true when handled. Input on a cover
// is rewritten as input on the form it stands for and left to the caller (false).
bool FilterCoverEvent(XEvent& event);

}  // namespace x11
