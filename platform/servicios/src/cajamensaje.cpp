#include "servicios/cajamensaje.h"

#include <QMessageBox>
#include <QPointer>
#include <QPushButton>

#include <vector>

namespace Servicios {
namespace {

struct Boton
{
    QMessageBox::StandardButton estandar;
    qint32 codigo;
    QString texto;
    QString nombre;
};

// The buttons of each style, first to last as the style names them.
std::vector<Boton> botonesDelEstilo(qint32 estilo)
{
    const Boton aceptar{QMessageBox::Ok, 1, QStringLiteral("Aceptar"), QStringLiteral("cmdAceptar")};
    const Boton cancelar{QMessageBox::Cancel, 2, QStringLiteral("Cancelar"), QStringLiteral("cmdCancelar")};
    const Boton anular{QMessageBox::Abort, 3, QStringLiteral("Anular"), QStringLiteral("cmdAnular")};
    const Boton reintentar{QMessageBox::Retry, 4, QStringLiteral("Reintentar"), QStringLiteral("cmdReintentar")};
    const Boton omitir{QMessageBox::Ignore, 5, QStringLiteral("Omitir"), QStringLiteral("cmdOmitir")};
    const Boton si{QMessageBox::Yes, 6, QStringLiteral("Sí"), QStringLiteral("cmdSi")};
    const Boton no{QMessageBox::No, 7, QStringLiteral("No"), QStringLiteral("cmdNo")};
    switch (estilo & 7) {
    case 1: return {aceptar, cancelar};
    case 2: return {anular, reintentar, omitir};
    case 3: return {si, no, cancelar};
    case 4: return {si, no};
    case 5: return {reintentar, cancelar};
    default: return {aceptar};
    }
}

QMessageBox::Icon iconoDelEstilo(qint32 estilo)
{
    switch (estilo & 0x70) {
    case 16: return QMessageBox::Critical;
    case 32: return QMessageBox::Question;
    case 48: return QMessageBox::Warning;
    case 64: return QMessageBox::Information;
    default: return QMessageBox::NoIcon;
    }
}

QString referencia(const DatosMensaje &datos)
{
    QStringList partes;
    for (const QString &parte : {datos.modulo, datos.idError}) {
        if (!parte.isEmpty())
            partes << parte.toHtmlEscaped();
    }
    if (partes.isEmpty())
        return {};
    return QStringLiteral("<span style=\"color:gray; font-size:small\">%1</span>")
        .arg(partes.join(QStringLiteral(" · ")));
}

void preparaCaja(QMessageBox &caja, const DatosMensaje &datos, const std::vector<Boton> &botones)
{
    caja.setObjectName(QStringLiteral("Mensaje"));
    caja.setWindowTitle(datos.titulo.isEmpty() ? QStringLiteral("Teqvaro") : datos.titulo);
    caja.setIcon(iconoDelEstilo(datos.estilo));
    caja.setTextFormat(Qt::PlainText); // a message quoting user data must show it as typed
    caja.setText(datos.texto);
    caja.setInformativeText(referencia(datos));
    caja.setWindowModality(datos.propietario ? Qt::WindowModal : Qt::ApplicationModal);
    for (const Boton &boton : botones) {
        QPushButton *creado = caja.addButton(boton.estandar);
        creado->setText(boton.texto);
        creado->setObjectName(boton.nombre);
    }
    const size_t predeterminado = size_t((datos.estilo & 0x300) >> 8);
    if (predeterminado < botones.size())
        caja.setDefaultButton(botones[predeterminado].estandar);
}

} // namespace

qint32 muestraMensaje(const DatosMensaje &datos)
{
    const std::vector<Boton> botones = botonesDelEstilo(datos.estilo);
    // The owner may go away while the box waits (the host can close a screen), and takes
    // the box with it; the guard knows.
    QPointer<QMessageBox> caja = new QMessageBox(datos.propietario ? datos.propietario->window() : nullptr);
    preparaCaja(*caja, datos, botones);
    caja->exec();
    if (caja.isNull())
        return botones.back().codigo;
    const QMessageBox::StandardButton pulsado = caja->standardButton(caja->clickedButton());
    delete caja.data();
    for (const Boton &boton : botones) {
        if (boton.estandar == pulsado)
            return boton.codigo;
    }
    return botones.back().codigo;
}

} // namespace Servicios
