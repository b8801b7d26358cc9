#pragma once

#include "grabadores.h"

#include <gtest/gtest.h>

namespace Pruebas {

// What a test expects of one message: its identifier, style and title, and its text unless
// the text is left empty.
struct MensajeEsperado
{
    QString idError;
    qint32 estilo;
    QString titulo;
    QString texto = {};
};

// One assertion for a shown message, naming every field that differs.
inline testing::AssertionResult esComo(const MensajeMostrado &mostrado, const MensajeEsperado &esperado)
{
    QStringList diferencias;
    const auto compara = [&](const char *campo, const QString &visto, const QString &buscado) {
        if (visto != buscado)
            diferencias << QStringLiteral("%1: «%2» en vez de «%3»").arg(QLatin1String(campo), visto, buscado);
    };
    compara("idError", mostrado.idError, esperado.idError);
    compara("estilo", QString::number(mostrado.estilo), QString::number(esperado.estilo));
    compara("titulo", mostrado.titulo, esperado.titulo);
    if (!esperado.texto.isEmpty())
        compara("texto", mostrado.texto, esperado.texto);
    if (diferencias.isEmpty())
        return testing::AssertionSuccess();
    return testing::AssertionFailure() << diferencias.join(QStringLiteral("; ")).toStdString();
}

} // namespace Pruebas
