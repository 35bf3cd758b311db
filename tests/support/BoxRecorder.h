#pragma once

#include "controls/Dialogs.h"

#include <QMessageBox>
#include <QString>

#include <functional>
#include <vector>

// Answers the program's message boxes instead of a user and keeps what they said. The
// answer is given to every box; the responder is removed again when the object goes.
class BoxRecorder {
public:
    BoxRecorder() {
        dialogs::setResponder([this](const dialogs::Box &box) {
            boxes.push_back(box);
            if (whileOpen)
                whileOpen(box);
            return answer;
        });
    }
    ~BoxRecorder() { dialogs::setResponder({}); }
    BoxRecorder(const BoxRecorder &) = delete;
    BoxRecorder &operator=(const BoxRecorder &) = delete;

    QMessageBox::StandardButton answer = QMessageBox::Ok;
    // What goes on while a box is open, before it is answered; the box's event loop is the
    // hook's to run (QTest::qWaitFor does).
    std::function<void(const dialogs::Box &)> whileOpen;
    std::vector<dialogs::Box> boxes;

    std::vector<QString> texts() const {
        std::vector<QString> t;
        for (const dialogs::Box &b : boxes)
            t.push_back(b.text);
        return t;
    }
};
