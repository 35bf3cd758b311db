// The mobile caller feed: one poll of a feed that lists three callers, from the fetch to the
// acknowledgement, against a feed server on loopback (its own thread), without sound, with
// the registration into the 100,000-customer directory; and the load of a feed document of
// 10,000 entries through the binding, in UTF-8 and in ISO-8859-9 (transcoded first).

#include "BenchEnvironment.h"
#include "Benchmarks.h"
#include "RegistrationDatasets.h"

#include "callerid/CallRegistration.h"
#include "callerid/MobileFeed.h"
#include "callerid/arayanunit.h"
#include "platform/Cp1254.h"
#include "support/LoopbackHttpServer.h"

#include <benchmark/benchmark.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

const QString kImei = QStringLiteral("356938035643809");

QByteArray feedDocument(int entries, bool iso8859_9) {
    QByteArray document = iso8859_9 ? "<?xml version=\"1.0\" encoding=\"ISO-8859-9\"?>\r\n"
                                    : "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n";
    document += "<arayanlar>\r\n";
    const QString name = QStringLiteral("Şükrü Çağlayan Işık");
    const QByteArray nameBytes = iso8859_9 ? cp1254::fromUnicode(name) : name.toUtf8();
    for (int i = 0; i < entries; ++i) {
        document += "  <arayan>\r\n    <Id>" + QByteArray::number(i + 1) +
                    "</Id>\r\n    <PhoneNumber>0532" + QByteArray::number(1000000 + i) +
                    "</PhoneNumber>\r\n    <AdSoyad>" + nameBytes + ' ' + QByteArray::number(i) +
                    "</AdSoyad>\r\n  </arayan>\r\n";
    }
    return document + "</arayanlar>\r\n";
}

void BM_FeedPollThreeEntries(benchmark::State &state) {
    try {
        // The server keeps listing the same three callers, so that every poll has work.
        const QByteArray document = feedDocument(3, false);
        LoopbackHttpServer server([&document](const HttpServerRequest &request) {
            if (request.path() == "/callerid/cidsil.php")
                return std::optional(HttpServerResponse{200, "text/plain", "OK", {}});
            return std::optional(HttpServerResponse{200, "text/xml", document, {}});
        });
        RegistrationDatasets datasets;

        QTemporaryDir work; // no phone.mp3 there: silent
        const QString oldWorkingDir = QDir::currentPath();
        QDir::setCurrent(work.path());
        MobileFeed::Settings settings;
        settings.baseUrl = server.baseUrl();
        settings.imeino = kImei;
        settings.acknowledgementPath = work.filePath(QStringLiteral("cidsil.xml"));
        MobileFeed::Hooks hooks;
        int failures = 0;
        hooks.showFetchFailure = [&failures] {
            ++failures;
        };
        hooks.showError = [&failures](const QString &) {
            ++failures;
        };
        hooks.registerCall = [&](const QByteArray &number, const QDateTime &arrived) {
            arayankaydet(datasets.directory, datasets.calls, number, arrived);
        };
        MobileFeed poll(settings, hooks);
        for (auto _ : state)
            poll.mobilkontrol();
        QDir::setCurrent(oldWorkingDir);
        if (failures > 0)
            state.SkipWithError("a poll failed");
        state.counters["requests_per_poll"] =
            double(server.requests().size()) / double(state.iterations());
    } catch (const std::exception &e) {
        state.SkipWithError(e.what());
    }
}

void BM_LoadArayanlar10000(benchmark::State &state) {
    const bool iso8859_9 = state.range(0) != 0;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("feed.xml"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        state.SkipWithError("cannot write the document");
        return;
    }
    const QByteArray document = feedDocument(10000, iso8859_9);
    file.write(document);
    file.close();
    try {
        for (auto _ : state) {
            const TXMLArayanlarType callers = LoadArayanlar(path);
            benchmark::DoNotOptimize(callers.Count());
        }
    } catch (const std::exception &e) {
        state.SkipWithError(e.what());
    }
    state.counters["document_kB"] = double(document.size()) / 1024.0;
}

} // namespace

void registerFeedBenchmarks() {
    benchmark::RegisterBenchmark("BM_FeedPollThreeEntries", BM_FeedPollThreeEntries)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("BM_LoadArayanlar10000", BM_LoadArayanlar10000)
        ->ArgName("iso8859_9")
        ->Arg(0)
        ->Arg(1)
        ->Unit(benchmark::kMillisecond);
}
