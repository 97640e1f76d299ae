// Xlib and the extensions the x11 layer uses, always included after our own
// headers: X.h defines None, True, False, Bool and Status as macros.
#pragma once

// clang-format off
#include "forms/events.h"
#include "forms/font.h"
#include "platform/platform.h"
#include "platform/user32.h"

#include <X11/Xlib.h>
#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/XKBlib.h>
#include <X11/Xresource.h>
#include <X11/keysym.h>
#include <X11/Xft/Xft.h>
#include <X11/extensions/Xrender.h>
#include <X11/extensions/scrnsaver.h>
#include <fontconfig/fontconfig.h>
// clang-format on
