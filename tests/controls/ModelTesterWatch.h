#pragma once

#include <QAbstractItemModelTester>
#include <QByteArray>
#include <QStringList>

#include <gtest/gtest.h>

#include <memory>

// QAbstractItemModelTester attached to a model, reporting as warnings; the warnings of the
// tester's category are collected while the object lives.
class ModelTesterWatch {
public:
    explicit ModelTesterWatch(QAbstractItemModel *model) {
        messages().clear();
        m_previous = qInstallMessageHandler(&ModelTesterWatch::handler);
        m_tester = std::make_unique<QAbstractItemModelTester>(
            model, QAbstractItemModelTester::FailureReportingMode::Warning);
    }
    ~ModelTesterWatch() {
        m_tester.reset();
        qInstallMessageHandler(m_previous);
    }
    ModelTesterWatch(const ModelTesterWatch &) = delete;
    ModelTesterWatch &operator=(const ModelTesterWatch &) = delete;

    // What the tester found wrong so far.
    static QStringList &messages() {
        static QStringList m;
        return m;
    }

    // Fails the running test with the tester's findings, if any.
    static void expectClean() {
        EXPECT_TRUE(messages().isEmpty()) << messages().join(u'\n').toStdString();
    }

private:
    static void handler(QtMsgType type, const QMessageLogContext &context, const QString &text) {
        if (type != QtDebugMsg && context.category &&
            QByteArray(context.category).startsWith("qt.modeltest"))
            messages() << text;
    }

    QtMessageHandler m_previous = nullptr;
    std::unique_ptr<QAbstractItemModelTester> m_tester;
};
