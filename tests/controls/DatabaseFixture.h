#pragma once

#include "support/BoxRecorder.h"
#include "support/StoreTest.h"

// A database of the test's own, a connection to it, and the message boxes answered.
class DatabaseTest : public StoreTest {
protected:
    DatabaseTest() { connection.connect(); }

    BoxRecorder boxes;
};
