#include "callerid/CallSpool.h"

#include "platform/Error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

#ifdef _WIN32
#include <io.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace {

const QString kTimeFormat = QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzz");

bool forceToDisk(QFile &file) {
    if (!file.flush())
        return false;
#ifdef _WIN32
    return _commit(file.handle()) == 0;
#else
    return ::fsync(file.handle()) == 0;
#endif
}

// A new file's name lives in its folder: that too goes to the disk.
void forceFolderToDisk(const QString &folder) {
#ifndef _WIN32
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
#else
    Q_UNUSED(folder)
#endif
}

std::optional<quint64> idOf(const QByteArray &text) {
    bool ok = false;
    const quint64 id = text.toULongLong(&ok);
    if (!ok || id == 0 || text.startsWith('+'))
        return std::nullopt;
    return id;
}

} // namespace

CallSpool::Contents CallSpool::read(const QByteArray &text) {
    Contents contents;
    std::vector<Call> held;
    for (const QByteArray &line : text.split('\n')) {
        if (line.isEmpty())
            continue;
        const QList<QByteArray> fields = line.split(' ');
        const std::optional<quint64> id = fields.size() >= 2 ? idOf(fields[1]) : std::nullopt;
        auto heldCall = [&]() -> Call * {
            auto call =
                std::find_if(held.begin(), held.end(), [&](const Call &c) { return c.id == *id; });
            return call == held.end() ? nullptr : &*call;
        };
        bool readable = false;
        if (id && fields[0] == "held" && fields.size() == 4 && !heldCall()) {
            const QDateTime arrived =
                QDateTime::fromString(QString::fromLatin1(fields[2]), kTimeFormat);
            if (arrived.isValid()) {
                held.push_back({*id, arrived, QByteArray::fromPercentEncoding(fields[3]), false});
                contents.lastId = std::max(contents.lastId, *id);
                readable = true;
            }
        } else if (id && fields.size() == 2 && (fields[0] == "unsure" || fields[0] == "done")) {
            if (Call *call = heldCall()) {
                if (fields[0] == "unsure")
                    call->unsure = true;
                else
                    call->id = 0; // done
                readable = true;
            }
        }
        if (!readable)
            ++contents.unreadableLines;
    }
    for (Call &call : held)
        if (call.id != 0)
            contents.waiting.push_back(std::move(call));
    return contents;
}

CallSpool::CallSpool(QString path)
    : m_path(std::move(path)) {
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly))
        return;
    const QByteArray text = file.readAll();
    Contents contents = read(text);
    m_waiting = std::move(contents.waiting);
    m_lastId = contents.lastId;
    m_keepFile = contents.unreadableLines > 0;
    m_needsLineEnd = !text.isEmpty() && !text.endsWith('\n');
}

void CallSpool::append(const QByteArray &line) {
    const bool created = !QFileInfo::exists(m_path);
    if (created)
        QDir().mkpath(QFileInfo(m_path).absolutePath());
    QFile file(m_path);
    const QByteArray bytes = (m_needsLineEnd ? "\n" : "") + line + '\n';
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append) || file.write(bytes) != bytes.size() ||
        !forceToDisk(file))
        throw Error(QStringLiteral("Unable to write to ") + QDir::toNativeSeparators(m_path));
    m_needsLineEnd = false;
    if (created) {
        // Phone numbers of callers: readable by the user alone.
        file.setPermissions(QFile::ReadOwner | QFile::WriteOwner);
        forceFolderToDisk(QFileInfo(m_path).absolutePath());
    }
}

void CallSpool::hold(const QDateTime &arrived, const QByteArray &number, bool unsure) {
    const quint64 id = m_lastId + 1;
    QByteArray line = "held " + QByteArray::number(id) + ' ' +
                      arrived.toString(kTimeFormat).toLatin1() + ' ' + number.toPercentEncoding();
    if (unsure)
        line += "\nunsure " + QByteArray::number(id);
    append(line);
    m_lastId = id;
    m_waiting.push_back({id, arrived, number, unsure});
}

void CallSpool::markUnsure(quint64 id) {
    auto call =
        std::find_if(m_waiting.begin(), m_waiting.end(), [&](const Call &c) { return c.id == id; });
    if (call == m_waiting.end() || call->unsure)
        return;
    append("unsure " + QByteArray::number(id));
    call->unsure = true;
}

void CallSpool::markDone(quint64 id) {
    auto call =
        std::find_if(m_waiting.begin(), m_waiting.end(), [&](const Call &c) { return c.id == id; });
    if (call == m_waiting.end())
        return;
    append("done " + QByteArray::number(id));
    m_waiting.erase(call);
    if (m_waiting.empty() && !m_keepFile)
        QFile::remove(m_path); // every line is done: nothing is lost with it
}
