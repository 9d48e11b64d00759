#include "platform/qt/FontSubstitutes.h"

#include <QFont>

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

void installFontSubstitutes() {
    for (const Substitution& s : substitutions()) {
        // Qt turns to the substitutes only when the named face itself is missing.
        QFont::removeSubstitutions(QString::fromLatin1(s.family));
        QFont::insertSubstitutions(QString::fromLatin1(s.family), s.substitutes);
    }
}

QStringList fontSubstitutes(const QString& family) {
    for (const Substitution& s : substitutions()) {
        if (family.compare(QLatin1String(s.family), Qt::CaseInsensitive) == 0) {
            return s.substitutes;
        }
    }
    return {};
}

} // namespace platform
