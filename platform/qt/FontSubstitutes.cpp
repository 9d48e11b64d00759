#include "platform/qt/FontSubstitutes.h"

#include <QFontDatabase>

namespace platform {
namespace {

struct Substitution {
    const char* family;
    QStringList substitutes;
};

// Metric-compatible faces first (same widths, so text fits the boxes laid out for the original
// face), then faces of the same kind that Linux desktops commonly carry.
const std::vector<Substitution>& substitutions() {
    static const QStringList sans = {"Liberation Sans", "Arimo", "Nimbus Sans", "DejaVu Sans", "Noto Sans"};
    static const QStringList serif = {"Liberation Serif", "Tinos", "Nimbus Roman", "DejaVu Serif", "Noto Serif"};
    static const QStringList mono = {"Liberation Mono",  "Cousine",   "Nimbus Mono PS",
                                     "DejaVu Sans Mono", "Noto Mono", "Noto Sans Mono"};
    // A casual hand; without one, a plain sans face rather than a calligraphic one.
    static const QStringList casual = QStringList{"Comic Neue", "Comic Relief", "Comic Sans"} + sans;
    // The password mask is one dingbat drawn in this face; DejaVu Sans has it and plain metrics.
    static const QStringList symbol = {"DejaVu Sans", "D050000L", "Noto Sans Symbols2"};
    static const std::vector<Substitution> table = {
        {"Arial", sans},       {"MS Sans Serif", sans},   {"Times New Roman", serif},
        {"Courier New", mono}, {"Comic Sans MS", casual}, {"Wingdings", symbol},
    };
    return table;
}

} // namespace

QStringList fontSubstitutes(const QString& family) {
    for (const Substitution& s : substitutions()) {
        if (family.compare(QLatin1String(s.family), Qt::CaseInsensitive) == 0) {
            return s.substitutes;
        }
    }
    return {};
}

QString installedFace(const QString& family) {
    // Read once: the program adds no fonts of its own while it runs.
    static const QStringList installed = QFontDatabase::families();
    if (installed.contains(family, Qt::CaseInsensitive)) {
        return family;
    }
    for (const QString& substitute : fontSubstitutes(family)) {
        if (installed.contains(substitute, Qt::CaseInsensitive)) {
            return substitute;
        }
    }
    return family;
}

} // namespace platform
