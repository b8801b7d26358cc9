#pragma once

#include "basedeprueba.h"
#include "grabadores.h"
#include "listas.h"
#include "mensajes.h"

#include "controles/listview.h"
#include "frmKLD251.h"

#include <QLabel>
#include <QStringList>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

class frmLogin;

namespace Pruebas {

// Types a code and a password as a user does, and leaves the focus on the password box.
void escribeLogin(frmLogin &login, const QString &codigo, const QString &contrasena);

// Picks the tile of a state (its key exactly, whatever it holds) in the state picker once it
// opens, and closes the picker with the named button; `mientras` runs first, as something
// that happens while the user looks at the picker.
void eligeEstado(const QString &clave, const QString &boton = QStringLiteral("cmdAceptar"),
                 const std::function<void()> &mientras = {});

// The board on a small, known database: states with their looks, salespeople of every
// level, the operators that map to them, one stored view and a few opportunities.
//   OP1 → V1 (level 1), OP2 → V2 (level 2), OP3 → V9 (level 3), OP4 → V4 (level 4),
//   OP5 → V5 (no level), OP0 → no salesperson (the login is asked).
class TableroDePrueba : public testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    // Creates, shows and activates the board as the host does.
    frmKLD251 &abre(const QString &operador = QStringLiteral("OP3"));
    void activa();
    void cierra() { tablero->close(); }

    Kit::ListView &lista() const { return *tablero->findChild<Kit::ListView *>("lvOrdenes"); }
    QStringList folios() const { return columna(lista()); }
    QString cuenta() const { return tablero->findChild<QLabel *>("lbOrdenes")->text(); }
    QWidget *control(const QString &nombre) const { return tablero->findChild<QWidget *>(nombre); }

    // A column of an opportunity as stored.
    QString campo(const QString &columna, const QString &folio) const;
    void variable(const QString &nombre, const QString &valor) const;
    void oportunidad(const QString &folio, const QString &vendedor, const QString &estado,
                     const QString &descripcion = QStringLiteral("Oportunidad")) const;
    // The only message shown so far, as expected.
    testing::AssertionResult soloMensaje(const MensajeEsperado &esperado) const;
    // Ticks of the refresh timer; each waits for the reading it starts to be shown, unless told not to.
    void tic(int veces = 1, bool espera = true) const;

    BaseDePrueba base;
    AnfitrionGrabador anfitrion;
    EntornoGrabador *entorno = nullptr;
    std::unique_ptr<frmKLD251> tablero;
};

} // namespace Pruebas
