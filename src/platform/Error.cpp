#include "platform/Error.h"

Error::Error(const QString &text)
    : std::runtime_error(text.toStdString())
    , m_text(text) {}
