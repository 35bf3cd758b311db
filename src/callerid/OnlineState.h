#pragma once

#include <QNetworkInformation>

// Whether the feed may poll: unless the system positively reports that it has no network
// connection. An unknown state, or no backend to ask, never switches the feed off.
bool feedMayPoll(QNetworkInformation::Reachability reachability);

// What the system reports about the PC's network connection. The backend is loaded at the
// first call (NetworkManager's by default, else any that tells reachability); without one
// the state is unknown.
QNetworkInformation::Reachability systemReachability();
