// Writes the demo directory as SQL statements to standard output, for a client whose
// character set is latin5:
//   zefiran-demodata [--customers N] [--days D] [--today YYYY-MM-DD] | mariadb ... cid602

#include "DemoData.h"

#include <cstdio>

namespace {

int usage(const char *message) {
    std::fprintf(stderr,
                 "zefiran-demodata: %s\n"
                 "usage: zefiran-demodata [--customers N] [--days D] [--calls N] [--offers N]\n"
                 "                        [--today YYYY-MM-DD]\n"
                 "Writes INSERT statements for the tables rehber (Id from 1, so it must be\n"
                 "empty), arayanlar, teklif, teklifler and banka to standard output.\n"
                 "Defaults: 300 customers, calls of the last 21 days ending today.\n",
                 message);
    return 2;
}

bool readCount(const char *text, int &value) {
    bool ok = false;
    const int number = QByteArray(text).toInt(&ok);
    if (!ok || number < 0)
        return false;
    value = number;
    return true;
}

} // namespace

int main(int argc, char **argv) {
    demodata::Settings settings;
    for (int i = 1; i < argc; ++i) {
        const QByteArray option = argv[i];
        if (option == "--help" || option == "-h")
            return usage("the demo directory generator");
        if (option != "--customers" && option != "--days" && option != "--calls" &&
            option != "--offers" && option != "--today")
            return usage("unknown option");
        if (i + 1 >= argc)
            return usage("missing value after an option");
        const char *value = argv[++i];
        bool ok = true;
        if (option == "--customers")
            ok = readCount(value, settings.customers);
        else if (option == "--days")
            ok = readCount(value, settings.days) && settings.days > 0;
        else if (option == "--calls")
            ok = readCount(value, settings.calls);
        else if (option == "--offers")
            ok = readCount(value, settings.offers);
        else if (option == "--today") {
            settings.today = QDate::fromString(QString::fromLatin1(value), Qt::ISODate);
            ok = settings.today.isValid();
        }
        if (!ok)
            return usage("bad value for an option");
    }

    std::FILE *out = stdout;
    auto write = [out](const QByteArray &text) {
        std::fwrite(text.constData(), 1, static_cast<size_t>(text.size()), out);
    };
    write("SET NAMES latin5;\nSTART TRANSACTION;\n");
    const demodata::Counts counts =
        demodata::generate(settings, [&](const QByteArray &statement) { write(statement + '\n'); });
    write("COMMIT;\n");
    if (std::fflush(out) != 0 || std::ferror(out)) {
        std::fprintf(stderr, "zefiran-demodata: cannot write the statements\n");
        return 1;
    }
    std::fprintf(stderr,
                 "zefiran-demodata: %d customers, %d calls (%d from known numbers), %d offers "
                 "with %d lines, %d bank accounts\n",
                 counts.customers, counts.calls, counts.knownCalls, counts.offers,
                 counts.offerLines, counts.accounts);
    return 0;
}
