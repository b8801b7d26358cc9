#include "listavistas.h"

#include <QStringList>

std::vector<Vista> LeeVistas(const QString &texto)
{
    std::vector<Vista> vistas;
    for (const QString &entrada : texto.split(QLatin1Char(','))) {
        const QStringList partes = entrada.split(QLatin1Char('|'));
        if (partes.size() < 2 || partes.at(0).trimmed().isEmpty() || partes.at(1).trimmed().isEmpty())
            continue;
        vistas.push_back({partes.at(0), partes.at(1)});
    }
    return vistas;
}
