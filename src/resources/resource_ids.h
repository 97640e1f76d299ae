// Resource identifiers shared by the resource script and the Win32 platform.
#pragma once

#define QUELVO_ICON 1
