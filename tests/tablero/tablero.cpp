#include "tablero.h"

#include "controles/txtzel.h"
#include "frmLogin.h"
#include "publico.h"
#include "respuestas.h"
#include "runtime/settings.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <QTimerEvent>

namespace Pruebas {

void eligeEstado(const QString &clave, const QString &boton, const std::function<void()> &mientras)
{
    alAparecer("frmEstados", [clave, boton, mientras](QWidget &selector) {
        if (mientras)
            mientras();
        for (QWidget *cuadro : selector.findChildren<QWidget *>()) {
            const QString tag = cuadro->property("Tag").toString();
            if (cuadro->objectName().startsWith("picEstado_") && tag.left(tag.lastIndexOf(QLatin1Char('|'))) == clave)
                QTest::mouseClick(cuadro, Qt::LeftButton);
        }
        pulsa(selector, boton);
    });
}

void escribeLogin(frmLogin &login, const QString &codigo, const QString &contrasena)
{
    login.txtVn_Cve_Vendedor->editor()->setFocus();
    login.txtVn_Cve_Vendedor->setTexto(codigo);
    login.txtVn_Cve_Vendedor->Valida();
    login.txtContraseña->setTexto(contrasena);
    login.txtContraseña->editor()->setFocus();
}

void TableroDePrueba::SetUp()
{
    const QStringList siembra = {
        "INSERT INTO Estado_Oportunidad VALUES ('ROJO', 'Urgente', '&HFF', 'SI'), "
        "('AZUL', 'En curso', '16711680', 'NO'), ('GRIS', 'Pausada', '&H808080', 'si')",
        "INSERT INTO Vendedor VALUES ('V1', 'Uno', 1, NULL, 'AC'), ('V2', 'Dos', 2, NULL, 'AC'), "
        "('V3', 'Tres', 2, NULL, 'AC'), ('V4', 'Cuatro', 4, NULL, 'AC'), ('V5', 'Cinco', NULL, NULL, 'AC'), "
        "('V9', 'Nueve', 3, NULL, 'AC')",
        "INSERT INTO Operador VALUES ('OP0', 'Sin vendedor', NULL), ('OP1', 'Uno', 'V1'), ('OP2', 'Dos', 'V2'), "
        "('OP3', 'Nueve', 'V9'), ('OP4', 'Cuatro', 'V4'), ('OP5', 'Cinco', 'V5')",
        "INSERT INTO Consulta VALUES ('CONTROL', 'Todas', 'SELECT Oportunidad.Op_Folio AS \"Folio\", "
        "Oportunidad.Op_Descripcion AS \"Descripción\", Vendedor.Vn_Descripcion AS \"Vendedor\" FROM Oportunidad "
        "INNER JOIN Vendedor ON Vendedor.Vn_Cve_Vendedor = Oportunidad.Op_Cve_Vendedor "
        "WHERE Oportunidad.Es_Cve_Estado <> ''CA'' AND {PARAMETROS} ORDER BY Oportunidad.Op_Folio')",
        "INSERT INTO Variable VALUES ('CRM_VISTA_CONTROL_OPORTUNIDADES', 'TODOS|CONTROL')",
        "INSERT INTO Variable VALUES ('CRM_TIEMPO_ACTUALIZAR_OPORTUNIDADES', '30000')",
    };
    for (const QString &sentencia : siembra)
        base.ejecuta(sentencia);
    oportunidad("F1", "V1", "ROJO", "Licencias");
    oportunidad("F2", "V2", "AZUL", "Servidores");
    oportunidad("F3", "V3", "GRIS", "Capacitación");
    oportunidad("F4", "V9", "SINESTADO", "Soporte");
    entorno = &iniciaModuloConGrabador();
    // Each test starts without a remembered view, or layout of the list, of an earlier one.
    Runtime::saveSetting("KLD251", "Settings", "VISTA", "0");
    Runtime::removeSettings("KLD251", "lvOrdenes");
}

void TableroDePrueba::TearDown()
{
    tablero.reset();
    Publico::Termina();
}

frmKLD251 &TableroDePrueba::abre(const QString &operador)
{
    Servicios::estableceOperador(operador);
    tablero = std::make_unique<frmKLD251>();
    tablero->setPadre(&anfitrion);
    anfitrion.pantalla = tablero.get();
    tablero->show();
    activa();
    return *tablero;
}

void TableroDePrueba::activa()
{
    QApplication::setActiveWindow(tablero.get());
    // A board that closed itself (a cancelled login) never becomes active: no failure here.
    [[maybe_unused]] const bool activo = QTest::qWaitForWindowActive(tablero.get(), 1000);
    QCoreApplication::processEvents();
}

QString TableroDePrueba::campo(const QString &columna, const QString &folio) const
{
    return base.valor(QStringLiteral("SELECT %1 FROM Oportunidad WHERE Op_Folio = '%2'").arg(columna, folio));
}

void TableroDePrueba::variable(const QString &nombre, const QString &valor) const
{
    base.ejecuta(QStringLiteral("DELETE FROM Variable WHERE Va_Nombre = '%1'").arg(nombre));
    base.ejecuta(QStringLiteral("INSERT INTO Variable VALUES ('%1', '%2')").arg(nombre, valor));
}

void TableroDePrueba::oportunidad(const QString &folio, const QString &vendedor, const QString &estado,
                                  const QString &descripcion) const
{
    base.ejecuta(QStringLiteral("INSERT INTO Oportunidad (Op_Folio, Op_Descripcion, Op_Cve_Vendedor, "
                                "Op_Estado_Oportunidad, Es_Cve_Estado) VALUES ('%1', '%2', '%3', '%4', 'AC')")
                     .arg(folio, descripcion, vendedor, estado));
}

testing::AssertionResult TableroDePrueba::soloMensaje(const MensajeEsperado &esperado) const
{
    if (entorno->mensajes.size() != 1)
        return testing::AssertionFailure() << "mensajes: " << entorno->identificadores().join(' ').toStdString();
    return esComo(entorno->mensajes.front(), esperado);
}

void TableroDePrueba::tic(int veces, bool espera) const
{
    auto *reloj = tablero->findChild<QTimer *>("TmrRefresh");
    for (int i = 0; i < veces; ++i) {
        QTimerEvent tick(reloj->timerId());
        QCoreApplication::sendEvent(reloj, &tick);
        if (espera) {
            EXPECT_TRUE(QTest::qWaitFor([&] { return !tablero->recargaEnCurso(); }, 10000));
        }
    }
}

} // namespace Pruebas
