#pragma once

#include "BenchEnvironment.h"

#include "store/TZConnection.h"
#include "store/TZQuery.h"

#include <QDate>

#include <memory>

// The two datasets a call is registered with, opened as the main window opens them: the
// whole directory (ZQuery1) and today's calls (ZQuery3), on a connection of their own.
struct RegistrationDatasets {
    RegistrationDatasets()
        : connection(BenchEnvironment::get().connectStore())
        , directory(*connection, QStringLiteral("ZQuery1"))
        , calls(*connection, QStringLiteral("ZQuery3")) {
        directory.setSQL("select * from rehber");
        directory.open();
        calls.setSQL("select * from arayanlar where tarih=:par1");
        calls.ParamByName("par1").setAsDate(QDate::currentDate());
        calls.open();
    }

    std::unique_ptr<TZConnection> connection;
    TZQuery directory;
    TZQuery calls;
};
