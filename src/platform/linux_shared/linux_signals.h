// The signals of a Linux run, whichever display system it waits on. SIGTERM, SIGINT and
// SIGHUP end it: while it connects with their default action (a display that never
// answers cannot hold them off), and once connected through the message loop, blocked
// but where the loop can take them. SIGPIPE is ignored throughout.
#pragma once

#include <poll.h>
#include <signal.h>

namespace linux_platform {

// Before connecting: a dead connection then shows as an error, not a kill.
void IgnoreBrokenPipe();
// Once connected, before the program starts: routes the ending signals into the loop
// through a signalfd, or where there is none, a handler that runs only while the loop
// waits. Until then their default action ends the process, so none is lost.
void RouteEndingSignals();
// The entry for the loop's poll: the signalfd, or one poll skips (fd -1) without it.
pollfd EndingSignalPollEntry();
// The mask for ppoll while the loop waits: null with a signalfd; without, the one that
// lets the ending signals through to the handler.
const sigset_t* EndingSignalWaitMask();
// After the wait, with the entry as poll left it: true when an ending signal came (the
// signalfd is drained).
bool TakeEndingSignal(const pollfd& polled);

}  // namespace linux_platform
