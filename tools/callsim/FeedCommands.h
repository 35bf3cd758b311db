#pragma once

#include <QString>

class FeedServer;
class QCommandLineParser;

// The simulator's mobile caller feed: the feed server that `serve` runs beside the others,
// and the `mobile` command that makes a phone's call wait on it.
//
//   serve ... [--feed-port F]
//       The feed server on 127.0.0.1, port F (default: any free port); its port is written
//       to callsim/feed-port in the data folder. Point the program at it with
//       FeedUrl=http://127.0.0.1:F/ and an imeino in section [MobilDevice].
//
//   mobile IMEI NUMBER [--name NAME] [--feed-port F] [--host HOST]
//       A call from NUMBER reaches the phone IMEI: it is pushed to the feed server the way
//       a phone's call-forwarding app does (POST /callerid/push with the form fields imei,
//       number and name). Without --feed-port the port comes from callsim/feed-port.
namespace feedsim {

void addOptions(QCommandLineParser &args);
// Listens and writes the port file; false (with the reason printed) when it cannot.
bool start(FeedServer &server, const QCommandLineParser &args);
int mobile(const QCommandLineParser &args);

} // namespace feedsim
