#include "platform/qt/QtText.h"

#include "platform/core/Wipe.h"

namespace platform {

QString toQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::string fromQString(const QString& text) {
    return text.toStdString();
}

void wipe(QString& secret) {
    if (secret.isDetached()) {
        secret.resize(secret.capacity());
        wipeBytes(secret.data(), static_cast<std::size_t>(secret.size()) * sizeof(QChar));
    }
    secret = QString();
}

} // namespace platform
