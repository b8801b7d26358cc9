// The other user's desktop in the tests of two users: the board on a shared PostgreSQL
// database, signed in as an operator, acting on one folio. What its user was told goes to
// standard output, one message a line ("ERR-ID:… text"); it fails when it could not act.
//   kld251_otro_usuario URL OPERADOR cancela|gana|estado:<clave> FOLIO [CANDADO]
// It runs in the test's environment (offscreen, the test's settings folders).
// With CANDADO the user stops at the board's question until the test releases that advisory
// lock, so that two users answer it at the same moment.
#include "grabadores.h"
#include "tablero.h"

#include "ado/session.h"
#include "publico.h"

#include <QApplication>
#include <QTest>
#include <QTextStream>
#include <QToolButton>

namespace {

// Selects the folio and presses the action's button; false when the folio is not listed.
bool actua(frmKLD251 &tablero, const QString &accion, const QString &folio)
{
    auto &lista = *tablero.findChild<Kit::ListView *>("lvOrdenes");
    for (int renglon = 1; renglon <= lista.itemCount(); ++renglon)
        if (lista.itemText(renglon) == folio)
            lista.selectItem(renglon);
    if (lista.selectedIndex() == 0)
        return false;
    if (accion.startsWith("estado:"))
        Pruebas::eligeEstado(accion.section(':', 1));
    const QString boton = accion == "cancela" ? "imgCancelar" : accion == "gana" ? "imgGanada" : "imgEstadoOp";
    tablero.findChild<QToolButton *>(boton)->click();
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication aplicacion(argc, argv);
    const QStringList argumentos = QApplication::arguments();
    const QString url = argumentos.value(1);
    Ado::Session::configure(Ado::DatabaseAddress::parse(url));
    Servicios::estableceOperador(argumentos.value(2));
    Pruebas::EntornoGrabador &entorno = Pruebas::iniciaModuloConGrabador();
    entorno.alMostrar = [&url, candado = argumentos.value(5)](const Pruebas::MensajeMostrado &mensaje) {
        if (candado.isEmpty() || !(mensaje.estilo & Servicios::Estilo::SiNo))
            return;
        Ado::Connection cerrojo(Ado::DatabaseAddress::parse(url));
        cerrojo.Execute("SELECT pg_advisory_lock_shared(" + candado + ")");
        cerrojo.Execute("SELECT pg_advisory_unlock_shared(" + candado + ")");
    };
    Pruebas::AnfitrionGrabador anfitrion;
    bool actuo = false;
    {
        frmKLD251 tablero;
        tablero.setPadre(&anfitrion);
        tablero.show();
        QApplication::setActiveWindow(&tablero);
        actuo = QTest::qWaitForWindowActive(&tablero, 10000)
                && actua(tablero, argumentos.value(3), argumentos.value(4));
    }
    QTextStream salida(stdout);
    for (const Pruebas::MensajeMostrado &mensaje : entorno.mensajes)
        salida << mensaje.idError << ' ' << QString(mensaje.texto).replace("\r\n", " / ") << '\n';
    salida.flush();
    Publico::Termina();
    Ado::Session::reset();
    return actuo ? 0 : 1;
}
