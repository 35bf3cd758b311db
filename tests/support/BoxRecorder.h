#pragma once

#include "controls/Dialogs.h"

#include <QMessageBox>
#include <QString>

#include <vector>

// Answers the program's message boxes instead of a user and keeps what they said. The
// answer is given to every box; the responder is removed again when the object goes.
class BoxRecorder {
public:
    BoxRecorder() {
        dialogs::setResponder([this](const dialogs::Box &box) {
            boxes.push_back(box);
            return answer;
        });
    }
    ~BoxRecorder() { dialogs::setResponder({}); }
    BoxRecorder(const BoxRecorder &) = delete;
    BoxRecorder &operator=(const BoxRecorder &) = delete;

    QMessageBox::StandardButton answer = QMessageBox::Ok;
    std::vector<dialogs::Box> boxes;

    std::vector<QString> texts() const {
        std::vector<QString> t;
        for (const dialogs::Box &b : boxes)
            t.push_back(b.text);
        return t;
    }
};
