#pragma once

#include "servicios/servicios.h"

#include <QString>

#include <memory>

class QWidget;

// The module's standard module: start-up and the state every form of the module shares.
namespace Publico {

// The three service objects, created once by Main, in this order, before the module's first
// object is used; the module keeps them while it is loaded.
extern std::unique_ptr<Servicios::Entorno> Entorno;
extern std::unique_ptr<Servicios::Funciones> Funciones;
extern std::unique_ptr<Servicios::Procesos> Procesos;

// The one buffer in which the module's routines build the SQL they execute. A routine
// builds its statement here and executes it before it calls anything that could run
// another routine (a message box, a reload).
extern QString TextoSql;

// Module code handed to the message box, and product name of the suite.
inline const QString Modulo = QStringLiteral("KLD251");
inline const QString Producto = QStringLiteral("Teqvaro");

// Every message of the module goes through Entorno here, which knows while one is open (the
// user reading it in its own event loop): the board applies no reading meanwhile.
qint32 Mensaje(const QString &texto, qint32 estilo, const QString &titulo, QWidget *propietario, const QString &modulo,
               const QString &idError);
bool HayMensajeAbierto();

void Main();
bool Iniciado();

// Lets the module start afresh (a test, or a host that unloads the module): the service
// objects are released and the next object created runs Main again.
void Termina();

} // namespace Publico
