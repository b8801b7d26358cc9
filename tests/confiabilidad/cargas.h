#pragma once

#include <QString>

#include <vector>

namespace Pruebas {

// Values a user may type or an administrator may store that try to leave their literal or
// trip up the database: quotes, statement ends, comments, backslashes, LIKE wildcards,
// very long text, accents and non-Latin scripts, and empty text.
inline std::vector<QString> cargasGuardables()
{
    return {
        QStringLiteral("O'Brien"),
        QStringLiteral("'; DROP TABLE Oportunidad; --"),
        QStringLiteral("' OR '1'='1"),
        QStringLiteral("\\' OR 1=1 --"),
        QStringLiteral("C:\\ruta\\"),
        QStringLiteral("100%"),
        QStringLiteral("_"),
        QStringLiteral("%_%'"),
        QStringLiteral("\"; DELETE FROM Bitacora; --"),
        QStringLiteral("ñ'").repeated(5000),
        QStringLiteral("Peñón Ñandú áéíóú ü"),
        QStringLiteral("北京 Москва عربى"),
        QStringLiteral("''"),
        QString(),
    };
}

// What no stored value can hold but a user can still type: a NUL character.
inline QString cargaConNulo()
{
    return QStringLiteral("nu") + QChar(u'\0') + QStringLiteral("lo' OR '1'='1");
}

inline std::vector<QString> cargasTecleables()
{
    std::vector<QString> cargas = cargasGuardables();
    cargas.push_back(cargaConNulo());
    return cargas;
}

// A payload readable in a failure message.
inline std::string muestra(const QString &carga)
{
    QString corta = carga.left(40);
    corta.replace(QChar(u'\0'), QStringLiteral("\\0"));
    return (corta + (carga.size() > 40 ? QStringLiteral("… (%1)").arg(carga.size()) : QString())).toStdString();
}

} // namespace Pruebas
