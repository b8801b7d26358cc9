#include "controles/directiontext.h"

#include <algorithm>

namespace Kit {

bool changesDirection(QChar letter)
{
    const char16_t code = letter.unicode();
    return (code >= 0x202A && code <= 0x202E) || (code >= 0x2066 && code <= 0x2069) || code == 0x200E || code == 0x200F;
}

QString withDirectionShown(const QString &text)
{
    if (std::none_of(text.cbegin(), text.cend(), changesDirection))
        return text;
    QString shown;
    shown.reserve(text.size() + 16);
    for (const QChar letter : text) {
        if (changesDirection(letter))
            shown += QStringLiteral("\u2039U+%1\u203A").arg(letter.unicode(), 4, 16, QLatin1Char('0')).toUpper();
        else
            shown += letter;
    }
    return shown;
}

} // namespace Kit
