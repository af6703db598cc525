#pragma once

#include <functional>

class QObject;

// Turns SIGTERM, SIGINT and SIGHUP into a call on the main thread, so that a session
// logout or a service manager closes the window the normal way (the synchronisation
// thread is stopped and the local file released) instead of killing the process.
// Call once, from the main thread, after the application object exists.
bool installStopSignalHandler(QObject* context, std::function<void()> onStop);
