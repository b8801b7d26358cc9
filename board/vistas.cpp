// The views: display names and stored-query keys from "CRM_VISTA_CONTROL_OPORTUNIDADES".
#include "frmKLD251.h"

#include "atrapa.h"
#include "listavistas.h"
#include "publico.h"

#include "controles/cbzel.h"
#include "runtime/conversions.h"

namespace {

const QString vistaPredeterminada = QStringLiteral("TODOS|CONTROL_OPORTUNIDADES");

} // namespace

// The views come from the variable; an empty one means the default view alone.
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
    for (const Vista &vista : LeeVistas(vistas)) {
        Publico::IgnoraError([&] {
            ++cuantas;
            NombresVista.resize(cuantas);
            ConsultasVista.resize(cuantas);
            NombresVista[cuantas - 1] = vista.nombre;
            ConsultasVista[cuantas - 1] = vista.consulta;
            cboVistas->Agrega(vista.nombre);
        });
    }
}

void frmKLD251::cboVistas_Click()
{
    if (cboVistas->Indice() < 0) {
        Publico::Mensaje(
            QStringLiteral("No hay vistas disponibles, verificar variable CRM_VISTA_CONTROL_OPORTUNIDADES"),
            Servicios::Estilo::Informacion, QStringLiteral("Atención"), this, Publico::Modulo,
            QStringLiteral("ERR-ID:7500001"));
        return;
    }
    Carga_Oportunidades();
}
