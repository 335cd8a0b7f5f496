#include "discovery/DisplayText.h"

namespace DisplayText {

QString withoutControls(const QString &text)
{
    QString clean;
    clean.reserve(text.size());
    for (const QChar c : text) {
        if (!isControl(c.unicode()))
            clean.append(c);
    }
    return clean;
}

}
