// An Xorg module for two_monitor_xorg.sh: the dummy video driver with a DPMS hook on its
// screens. Xorg offers the DPMS extension, and runs the display's power-off timers, only
// on a screen with such a hook, which the dummy driver lacks; here it has nothing to do.
// clang-format off
#include <xorg-server.h>
#include <xf86.h>
#include <xf86Module.h>
#include <xf86Priv.h>
// clang-format on

static xf86ProbeProc* dummyProbe;
static xf86ScreenInitProc* dummyScreenInit;

static void SetPowerLevel(ScreenPtr screen, int level) { (void)screen, (void)level; }

static Bool ScreenInitWithDpms(ScreenPtr screen, int argc, char** argv) {
  if (!dummyScreenInit(screen, argc, argv)) return FALSE;
  screen->DPMS = SetPowerLevel;
  return TRUE;
}

// The driver's probe makes the screens: each then starts through the hook's setter.
static Bool ProbeWithDpms(DriverPtr driver, int flags) {
  const Bool found = dummyProbe(driver, flags);
  for (int i = 0; i < xf86NumScreens; ++i) {
    if (xf86Screens[i]->drv != driver || xf86Screens[i]->ScreenInit == ScreenInitWithDpms) continue;
    dummyScreenInit = xf86Screens[i]->ScreenInit;
    xf86Screens[i]->ScreenInit = ScreenInitWithDpms;
  }
  return found;
}

// Loaded before the configured driver, whose own load then finds the dummy there already.
static void* Setup(void* module, void* options, int* errmaj, int* errmin) {
  (void)options;
  if (!LoadSubModule(module, "dummy", NULL, NULL, NULL, NULL, errmaj, errmin)) return NULL;
  DriverPtr dummy = xf86DriverList[xf86NumDrivers - 1];
  dummyProbe = dummy->Probe;
  dummy->Probe = ProbeWithDpms;
  return module;
}

static XF86ModuleVersionInfo version = {
    "quelvodpms",   "Quelvo", MODINFOSTRING1, MODINFOSTRING2, XORG_VERSION_CURRENT, 1, 0, 0,
    ABI_CLASS_NONE, 0,        MOD_CLASS_NONE, {0, 0, 0, 0}};
_X_EXPORT XF86ModuleData quelvodpmsModuleData = {&version, Setup, NULL};
