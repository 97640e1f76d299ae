// SIGTERM, SIGINT and SIGHUP end a run on Linux through the message loop, whichever
// display system it waits on: they stay blocked but where the loop can take them.
#pragma once

#include <poll.h>
#include <signal.h>

namespace linux_platform {

// Routes the ending signals into the loop through a signalfd, or where there is none, a
// handler that runs only while the loop waits; keeps a dead connection from raising
// SIGPIPE. Called before anything else starts, so no signal is lost.
void InstallEndingSignals();
// The entry for the loop's poll: the signalfd, or one poll skips (fd -1) without it.
pollfd EndingSignalPollEntry();
// The mask for ppoll while the loop waits: null with a signalfd; without, the one that
// lets the ending signals through to the handler.
const sigset_t* EndingSignalWaitMask();
// After the wait, with the entry as poll left it: true when an ending signal came (the
// signalfd is drained).
bool TakeEndingSignal(const pollfd& polled);

}  // namespace linux_platform
