#include "callerid/OnlineState.h"

bool feedMayPoll(QNetworkInformation::Reachability reachability) {
    return reachability != QNetworkInformation::Reachability::Disconnected;
}

QNetworkInformation::Reachability systemReachability() {
    static const bool loaded = [] {
        return QNetworkInformation::loadDefaultBackend() ||
               QNetworkInformation::loadBackendByFeatures(
                   QNetworkInformation::Feature::Reachability);
    }();
    QNetworkInformation *information = QNetworkInformation::instance();
    if (!loaded || !information)
        return QNetworkInformation::Reachability::Unknown;
    return information->reachability();
}
