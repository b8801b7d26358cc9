// The views: display names and stored-query keys from "CRM_VISTA_CONTROL_OPORTUNIDADES".
#include "frmKLD251.h"

#include "atrapa.h"
#include "publico.h"

#include "controles/cbzel.h"
#include "runtime/conversions.h"

namespace {

const QString vistaPredeterminada = QStringLiteral("TODOS|CONTROL_OPORTUNIDADES");

} // namespace

// Entries "name|key" separated by ","; names and keys are kept exactly as written, and an
// entry without both a name and a key (blanks aside) adds no view.
void frmKLD251::CargaVistas()
{
    QString vistas;
    const bool leida = Publico::Atrapa(this, QStringLiteral("CargaVistas()"), QStringLiteral("ERR-ID:7500015"), [&] {
        vistas = Runtime::toText(Publico::Entorno->LeeVariable(QStringLiteral("CRM_VISTA_CONTROL_OPORTUNIDADES"), 0,
                                                               QStringLiteral("T"), vistaPredeterminada));
    });
    if (!leida)
        return;
    Publico::IgnoraError([&] {
        NombresVista = QStringList{QString()};
        ConsultasVista = QStringList{QString()};
    });
    Publico::IgnoraError([&] { cboVistas->Limpia(); });
    if (vistas.trimmed().isEmpty())
        vistas = vistaPredeterminada;
    int cuantas = 0;
    for (const QString &entrada : vistas.split(QLatin1Char(','))) {
        Publico::IgnoraError([&] {
            const QStringList partes = entrada.split(QLatin1Char('|'));
            if (partes.size() < 2 || partes.at(0).trimmed().isEmpty() || partes.at(1).trimmed().isEmpty())
                return;
            ++cuantas;
            NombresVista.resize(cuantas);
            ConsultasVista.resize(cuantas);
            NombresVista[cuantas - 1] = partes.at(0);
            ConsultasVista[cuantas - 1] = partes.at(1);
            cboVistas->Agrega(partes.at(0));
        });
    }
}

void frmKLD251::cboVistas_Click()
{
    if (cboVistas->Indice() < 0) {
        Publico::Entorno->Mensaje(
            QStringLiteral("No hay vistas disponibles, verificar variable CRM_VISTA_CONTROL_OPORTUNIDADES"),
            Servicios::Estilo::Informacion, QStringLiteral("Atención"), this, Publico::Modulo,
            QStringLiteral("ERR-ID:7500001"));
        return;
    }
    Carga_Oportunidades();
}
