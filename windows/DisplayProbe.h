// Why an X display cannot be used, found out by connecting to it the way
// any X client does, so that a program that cannot start can say more than
// that it has no display.
#pragma once

#include <string>

// What keeps the display named as in DISPLAY ("host:number.screen", with
// no host or "unix" for the local server) from being used, in a few words:
// the system's reason the connection failed ("connection refused", "no such
// file or directory"), the server's own reason when it refuses the client
// ("Authorization required, ..."), or that it closed the connection or did
// not answer. No authorization is offered, as a server that requires it
// would have let the toolkit in with its own. Empty when the server accepts
// the connection. Takes at most a few seconds.
std::string DisplayConnectionProblem(const std::string& display);
