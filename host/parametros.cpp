#include "parametros.h"

namespace {

const QString Dato = QStringLiteral("DATO");

} // namespace

QMap<QString, QString> leeParametros(const QString &parametros)
{
    QMap<QString, QString> leidos;
    qsizetype inicio = 0;
    while (inicio <= parametros.size()) {
        const qsizetype barra = parametros.indexOf(QLatin1Char('|'), inicio);
        const qsizetype fin = barra < 0 ? parametros.size() : barra;
        const qsizetype igual = parametros.indexOf(QLatin1Char('='), inicio);
        const bool conValor = igual >= 0 && igual < fin;
        const QString clave = parametros.sliced(inicio, (conValor ? igual : fin) - inicio).trimmed().toUpper();
        if (clave == Dato && conValor) {
            leidos.insert(clave, parametros.sliced(igual + 1));
            break;
        }
        if (!clave.isEmpty())
            leidos.insert(clave, conValor ? parametros.sliced(igual + 1, fin - igual - 1) : QString());
        inicio = fin + 1;
    }
    return leidos;
}
